#include "sites/PasswordRevealKey.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

bool IsRevealKey(const QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                           Qt::AltModifier | Qt::MetaModifier);
    return key->key() == Qt::Key_P && mods == (Qt::ShiftModifier | Qt::ControlModifier);
}

} // namespace

PasswordRevealKey::PasswordRevealKey(QWidget* watched, std::function<void()> reveal)
    : QObject(watched), m_reveal(std::move(reveal)) {
    watched->installEventFilter(this);
}

bool PasswordRevealKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && IsRevealKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress && IsRevealKey(static_cast<QKeyEvent*>(event))) {
        m_reveal();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
