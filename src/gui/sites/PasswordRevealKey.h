#pragma once

#include <QObject>

#include <functional>

// Shift+Ctrl+P in the watched widget runs reveal (shows a masked password).
// Handled as a key event, and claimed ahead of any shortcut with the same
// keys, so it works wherever the focus sits in that widget.
class PasswordRevealKey : public QObject {
    Q_OBJECT
public:
    PasswordRevealKey(QWidget* watched, std::function<void()> reveal);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_reveal;
};
