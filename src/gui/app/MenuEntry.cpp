#include "app/MenuEntry.h"

#include <QAction>
#include <QActionGroup>
#include <QHash>
#include <QMenu>

namespace {

void build(QMenu* menu, const std::vector<MenuEntry>& items, QObject* owner,
           QHash<int, QActionGroup*>& groups) {
    for (const MenuEntry& item : items) {
        QAction* action = nullptr;
        if (item.flags & MenuEntry::Separator) {
            action = menu->addSeparator();
        } else if (!item.children.empty()) {
            QMenu* sub = menu->addMenu(QString::fromUtf8(item.caption));
            sub->setObjectName(QString::fromLatin1(item.name) + QStringLiteral("Menu"));
            action = sub->menuAction();
            build(sub, item.children, owner, groups);
        } else {
            action = new QAction(QString::fromUtf8(item.caption), owner);
            menu->addAction(action);
        }
        if (item.name)
            action->setObjectName(QString::fromLatin1(item.name));
        if (item.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
        action->setCheckable(item.flags & MenuEntry::Checkable);
        action->setChecked(item.flags & MenuEntry::Checked);
        action->setEnabled(!(item.flags & MenuEntry::Disabled));
        action->setVisible(!(item.flags & MenuEntry::Hidden));
        if (item.flags & MenuEntry::Default)
            menu->setDefaultAction(action);
        if (item.radioGroup != 0) {
            QActionGroup*& group = groups[item.radioGroup];
            if (!group) {
                group = new QActionGroup(owner);
                group->setExclusive(true);
            }
            action->setCheckable(true);
            group->addAction(action);
        }
    }
}

} // namespace

void BuildMenu(QMenu* menu, const std::vector<MenuEntry>& items, QObject* owner) {
    QHash<int, QActionGroup*> groups;
    build(menu, items, owner, groups);
}
