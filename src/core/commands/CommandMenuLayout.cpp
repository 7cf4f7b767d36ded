#include "commands/CommandMenuLayout.h"

namespace {

constexpr int MaxColumnBreaks = 4;

using Kind = CommandMenuEntry::Kind;

// The child of kind `kind` captioned `caption` (any letter case), made when missing.
CommandMenuEntry& FindOrAdd(QList<CommandMenuEntry>& entries, Kind kind, const QString& caption) {
    for (CommandMenuEntry& entry : entries)
        if (entry.kind == kind && entry.caption.compare(caption, Qt::CaseInsensitive) == 0)
            return entry;
    entries.append({kind, caption, {}, {}, {}, {}});
    return entries.last();
}

} // namespace

QList<CommandMenuEntry> LayOutCommandsMenu(const QList<CommandRecord>& records, int itemCount) {
    QList<CommandMenuEntry> entries;
    int placed = 0; // commands directly in the menu
    int lastBreakAt = 0;
    for (const CommandRecord& record : records) {
        if (!record.exists())
            continue;
        // Checked before every command, also a grouped one, which does not
        // raise the count; a second break at one count would leave an empty column.
        if (itemCount > 0 && placed > 0 && placed % itemCount == 0 &&
            placed / itemCount <= MaxColumnBreaks && placed != lastBreakAt) {
            entries.append({Kind::ColumnBreak, {}, {}, {}, {}, {}});
            lastBreakAt = placed;
        }
        CommandMenuEntry command{
            Kind::Command, record.caption, record.shortcut.trimmed().left(1).toUpper(), {}, {}, {}};
        if (!record.isGrouped()) {
            entries.append(command);
            ++placed;
            continue;
        }
        CommandMenuEntry& group = FindOrAdd(entries, Kind::Group, record.group);
        if (record.subMenu.isEmpty()) {
            command.parentCaption = group.caption;
            group.children.append(command);
            continue;
        }
        CommandMenuEntry& sub = FindOrAdd(group.children, Kind::SubMenu, record.subMenu);
        command.parentCaption = sub.caption;
        command.grandParentCaption = group.caption;
        sub.children.append(command);
    }
    // A break with nothing after it would only add an empty column.
    if (!entries.isEmpty() && entries.last().kind == Kind::ColumnBreak)
        entries.removeLast();
    return entries;
}
