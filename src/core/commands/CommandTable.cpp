#include "commands/CommandTable.h"

#include "app/IniFile.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <utility>

namespace {

using Entries = QList<std::pair<QByteArray, QByteArray>>;

// The five keys of record n, in the order they are written.
const char* const FieldKeys[] = {"t", "c", "x", "y", "s"};

QByteArray Key(const char* field, int n) {
    return QByteArray(field) + QByteArray::number(n);
}

QByteArray Folded(QByteArray key) {
    return key.toLower();
}

// The section's values by folded key name.
struct SectionValues {
    QHash<QByteArray, QByteArray> values;
    QString error;

    explicit SectionValues(const QString& path) {
        const IniFile ini(path);
        if (!ini.isReadable()) {
            error = QStringLiteral("Unable to read %1").arg(path);
            return;
        }
        for (const auto& [key, value] : ini.readSectionEntries(CommandTable::Section))
            values.insert(Folded(key), value);
    }
    QString text(const char* field, int n) const {
        return QString::fromUtf8(values.value(Key(field, n)));
    }
    CommandRecord record(int n) const {
        CommandRecord r{text("t", n), text("c", n), text("x", n), text("y", n), text("s", n)};
        // A hand-edited file may leave the group out: such a command is
        // shown, sorted and run as an ungrouped one.
        if (r.group.isEmpty())
            r.group = CommandRecord::NoGroup;
        return r;
    }
};

QList<QByteArray> FieldValues(const CommandRecord& r) {
    return {r.caption.toUtf8(), r.command.toUtf8(), r.group.toUtf8(), r.subMenu.toUtf8(),
            r.shortcut.toUtf8()};
}

// An ordered key list that finds keys by folded name, for the save.
class KeyList {
public:
    explicit KeyList(const Entries& entries) {
        for (const auto& [key, value] : entries)
            set(key, value);
    }
    bool has(const QByteArray& key) const { return m_index.contains(Folded(key)); }
    void set(const QByteArray& key, const QByteArray& value) {
        const auto found = m_index.constFind(Folded(key));
        if (found != m_index.constEnd()) {
            m_entries[*found].second = value;
            return;
        }
        m_index.insert(Folded(key), m_entries.size());
        m_entries.append({key, value});
    }
    void remove(const QByteArray& key) {
        const auto found = m_index.constFind(Folded(key));
        if (found == m_index.constEnd())
            return;
        m_removed.insert(*found);
        m_index.erase(found);
    }
    Entries entries() const {
        Entries kept;
        for (qsizetype i = 0; i < m_entries.size(); ++i)
            if (!m_removed.contains(i))
                kept.append(m_entries.at(i));
        return kept;
    }

private:
    Entries m_entries;
    QHash<QByteArray, qsizetype> m_index;
    QSet<qsizetype> m_removed;
};

} // namespace

CommandTable::FileRead CommandTable::ReadCommandFile(const QString& path) {
    const SectionValues file(path);
    FileRead read{{}, file.error};
    // Each number read needs its own key, so the loop ends with the file.
    for (int n = 1;; ++n) {
        const CommandRecord record = file.record(n);
        if (record.caption.isEmpty())
            break;
        read.records.append(record);
    }
    return read;
}

CommandTable::FileRead CommandTable::ReadNumbered(const QString& path, int count) {
    const SectionValues file(path);
    FileRead read{{}, file.error};
    for (int n = 1; n <= count; ++n)
        read.records.append(file.record(n));
    return read;
}

CommandTable::FileRead CommandTable::ReadImportRows(const QString& path, int maxRows) {
    const SectionValues file(path);
    FileRead read{{}, file.error};
    for (int n = 1; n <= maxRows; ++n) {
        if (file.text("x", n).isEmpty())
            break;
        read.records.append(file.record(n));
    }
    return read;
}

QString CommandTable::LoadCommands(const QString& path) {
    FileRead read = ReadCommandFile(path);
    m_records = std::move(read.records);
    return read.error;
}

QString CommandTable::SaveCommands(const QString& path) {
    // Neighbours change places only when out of order, so equal captions
    // keep their order: a stable sort by the caption's bytes.
    std::stable_sort(m_records.begin(), m_records.end(),
                     [](const CommandRecord& a, const CommandRecord& b) {
                         return a.caption.toUtf8() < b.caption.toUtf8();
                     });
    std::stable_partition(m_records.begin(), m_records.end(),
                          [](const CommandRecord& r) { return !r.isGrouped(); });

    IniFile ini(path);
    if (!ini.isReadable())
        return QStringLiteral("Unable to read %1; the commands were not saved").arg(path);
    KeyList keys(ini.readSectionEntries(Section));
    int n = 0;
    for (const CommandRecord& record : std::as_const(m_records)) {
        if (!record.exists())
            continue;
        ++n;
        const QList<QByteArray> values = FieldValues(record);
        for (int f = 0; f < 5; ++f) {
            if (values.at(f).isEmpty())
                keys.remove(Key(FieldKeys[f], n));
            else
                keys.set(Key(FieldKeys[f], n), values.at(f));
        }
    }
    // Records of an earlier, longer save would be read back after ours.
    for (int m = n + 1; keys.has(Key("t", m)); ++m)
        for (const char* field : FieldKeys)
            keys.remove(Key(field, m));
    if (!ini.replaceSectionEntries(Section, keys.entries()))
        return QStringLiteral("Unable to write %1; the commands were not saved").arg(path);
    return {};
}

const CommandRecord* CommandTable::FindCommand(const QString& caption, const QString& parentCaption,
                                               const QString& grandParentCaption) const {
    for (const CommandRecord& record : m_records) {
        if (!record.exists() || record.caption != caption)
            continue;
        const bool matches = parentCaption.isEmpty()
                                 ? !record.isGrouped()
                                 : SameGroup(record.group, parentCaption) ||
                                       (!grandParentCaption.isEmpty() &&
                                        SameGroup(record.group, grandParentCaption));
        if (matches)
            return &record;
    }
    return nullptr;
}

int CommandTable::indexOf(const QString& caption, const QString& group) const {
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        const CommandRecord& r = m_records.at(i);
        if (r.exists() && r.caption == caption && SameGroup(r.group, group))
            return int(i);
    }
    return -1;
}

QStringList CommandTable::groupList() const {
    QStringList groups{CommandRecord::NoGroup};
    for (const CommandRecord& r : m_records) {
        if (!r.exists())
            continue;
        const bool listed = std::any_of(groups.cbegin(), groups.cend(),
                                        [&](const QString& g) { return SameGroup(g, r.group); });
        if (!listed)
            groups.append(r.group);
    }
    return groups;
}

void CommandTable::AddRecord(const CommandRecord& record) {
    for (CommandRecord& slot : m_records) {
        if (slot.caption == CommandRecord::DeletedCaption) {
            slot = record;
            return;
        }
    }
    m_records.append(record);
}
