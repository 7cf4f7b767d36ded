#include "widgets/StatusPanelLabel.h"

StatusPanelLabel::StatusPanelLabel(QWidget* parent) : QLabel(parent) {
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

QSize StatusPanelLabel::sizeHint() const {
    const int frame = 2 * frameWidth();
    return {frame, fontMetrics().height() + frame};
}

QSize StatusPanelLabel::minimumSizeHint() const {
    return sizeHint();
}
