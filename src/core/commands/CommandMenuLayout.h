#pragma once

#include "commands/CommandRecord.h"

#include <QList>
#include <QString>

// One entry of the "&Commands" menu after its fixed items.
struct CommandMenuEntry {
    enum class Kind { ColumnBreak, Command, Group, SubMenu } kind = Kind::Command;
    QString caption;
    // A command's key: Ctrl+Shift+this upper-case character, or empty.
    QString shortcut;
    // A command's parent and grandparent captions, as FindCommand takes
    // them: empty when the parent is "&Commands" itself.
    QString parentCaption;
    QString grandParentCaption;
    QList<CommandMenuEntry> children; // of a group or sub-menu
};

// The custom entries, from the records in file order (those without a
// caption left out). Ungrouped commands go directly into the menu; a column
// break comes before the command placed while itemCount, 2, 3 or 4 times
// itemCount of them are there (at most one per count; none when itemCount
// is 0 or less). A grouped command goes into its group's entry and, when
// it names one, into the sub-menu there; both are matched without regard to
// letter case and made when missing. Only groups and sub-menus are matched,
// so a command never becomes a sub-menu.
QList<CommandMenuEntry> LayOutCommandsMenu(const QList<CommandRecord>& records, int itemCount);
