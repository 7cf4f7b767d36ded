#pragma once

#include "commands/CommandRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

class CommandEditor;
class CommandTable;
class UserPrompts;

// The rules of "Import Custom Commands": the rows another commands file
// offers, their sorting, and taking the selected ones into the table.
class CommandImport {
public:
    enum Column { Group, Name, SubMenu, Command, ShortCut, ColumnCount };
    static constexpr int MaxRows = 10000;

    CommandImport(CommandTable& table, CommandEditor& editor, UserPrompts& prompts);

    // The open button: asks for a file and lists its rows. False when
    // cancelled or unreadable (the reason is shown).
    bool OpenFile(const QString& directory);
    bool LoadFile(const QString& path);

    const QList<CommandRecord>& rows() const { return m_rows; }
    // What a cell shows: an empty sub menu, command or shortcut as " ".
    QString cellText(int row, int column) const;
    // "Group", "Name", "Sub Menu", "Command", "ShortCut"; the sorted column
    // carries "+" (ascending) or "-".
    QStringList headers() const;
    // A click on "Group", "Name" or "Sub Menu": sorts by it, each click
    // the other way round.
    void SortBy(int column);

    struct Result {
        int added = 0;
        int skipped = 0;
    };
    // "Import Selected": rows whose name and group a command already has
    // (letter case aside) are skipped; the others are appended and their
    // groups listed in the editor. Ends with the "Import Complete" message.
    Result ImportRows(const QList<int>& rows);

private:
    CommandTable& m_table;
    CommandEditor& m_editor;
    UserPrompts& m_prompts;
    QList<CommandRecord> m_rows;
    int m_sortColumn = -1;
    bool m_ascending = false;
};
