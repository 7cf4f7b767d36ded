#include "widgets/StatusPanelLabel.h"

#include <QPainter>

namespace {
// Space between the frame and the text, as a label's margin would leave.
constexpr int TextIndent = 2;
} // namespace

StatusPanelLabel::StatusPanelLabel(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void StatusPanelLabel::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(text);
    update(contentsRect());
}

QSize StatusPanelLabel::sizeHint() const {
    const int frame = 2 * frameWidth();
    return {frame, fontMetrics().height() + frame};
}

QSize StatusPanelLabel::minimumSizeHint() const {
    return sizeHint();
}

void StatusPanelLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (m_text.isEmpty())
        return;
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(TextIndent, 0, -TextIndent, 0);
    painter.setClipRect(area);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}
