#pragma once

#include <QLabel>

// A status bar panel whose size does not follow its text: a run changes the
// text for every file, and a size hint measured from the text would lay the
// whole status bar out again each time. One line of the font is its height;
// its width comes from the status bar.
class StatusPanelLabel : public QLabel {
    Q_OBJECT

public:
    explicit StatusPanelLabel(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};
