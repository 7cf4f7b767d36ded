#pragma once

#include <QFrame>
#include <QString>

// A status bar panel whose text never lays the window out again. A run
// changes the text several times per file; a QLabel asks its parents for a
// new layout on every change, which relaid the whole main window each time.
// This panel only repaints. One line of the font is its height; its width
// comes from the status bar.
class StatusPanelLabel : public QFrame {
    Q_OBJECT

public:
    explicit StatusPanelLabel(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};
