#pragma once

#include "commands/CommandRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

// The program's defined commands, loaded from "command.dat" once and kept in
// memory; the editor changes them here and "&Close" writes them back.
class CommandTable {
public:
    // The file's one section.
    static constexpr const char* Section = "_Commands_";

    // What a read of a commands file found.
    struct FileRead {
        QList<CommandRecord> records;
        QString error; // the file exists but could not be read
    };
    // Records numbered from 1 up to the first number whose caption is empty.
    static FileRead ReadCommandFile(const QString& path);
    // Records 1..count as numbered in the file; missing ones come back empty.
    static FileRead ReadNumbered(const QString& path, int count);
    // Rows for the import: 1..maxRows up to the first number without a group.
    static FileRead ReadImportRows(const QString& path, int maxRows);

    // Replaces the table by the file's records; an error leaves it empty.
    QString LoadCommands(const QString& path);
    // Sorts the table (by caption, then ungrouped first; both stable) and
    // writes it in one step, deleted slots left out. Returns an error text,
    // empty on success; the file is then left as it was.
    QString SaveCommands(const QString& path);

    // The first existing record whose caption is caption and whose group is
    // that of the entry's parent or grandparent; an empty parentCaption is
    // the "&Commands" menu itself, which holds the ungrouped ones.
    const CommandRecord* FindCommand(const QString& caption, const QString& parentCaption,
                                     const QString& grandParentCaption) const;
    // The existing record of caption (exactly) in group (any letter case).
    int indexOf(const QString& caption, const QString& group) const;

    // "<none>" and every distinct group of the table, in table order.
    QStringList groupList() const;

    QList<CommandRecord>& records() { return m_records; }
    const QList<CommandRecord>& records() const { return m_records; }
    qsizetype size() const { return m_records.size(); }

    // Puts a record into the first deleted slot, else at the end.
    void AddRecord(const CommandRecord& record);

private:
    QList<CommandRecord> m_records;
};
