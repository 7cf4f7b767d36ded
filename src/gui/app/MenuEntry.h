#pragma once

#include <QList>

#include <initializer_list>
#include <vector>

class QAction;
class QMenu;
class QObject;
class QWidget;

// One menu item as the window defines it: its object name, caption and
// shortcut, and how it starts out. Built into QActions by BuildMenu.
struct MenuEntry {
    enum Flag : unsigned {
        None = 0,
        Checkable = 1u << 0,
        Checked = 1u << 1,
        Disabled = 1u << 2, // its command arrives with a later feature
        Hidden = 1u << 3,
        Separator = 1u << 4,
        Default = 1u << 5,
    };
    const char* name = nullptr;
    const char* caption = nullptr;
    const char* shortcut = nullptr;
    unsigned flags = None;
    int radioGroup = 0; // items with the same non-zero group are exclusive
    std::vector<MenuEntry> children;
};

// Fills menu with the items; every QAction gets its object name and
// parent `owner`, so findChild finds it. Submenus are named too.
void BuildMenu(QMenu* menu, const std::vector<MenuEntry>& items, QObject* owner);

// The separator item.
inline MenuEntry MenuSeparator(const char* name = nullptr, unsigned flags = 0) {
    return MenuEntry{name, nullptr, nullptr, MenuEntry::Separator | flags, 0, {}};
}
