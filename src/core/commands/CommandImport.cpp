#include "commands/CommandImport.h"

#include "app/UserPrompts.h"
#include "commands/CommandEditor.h"
#include "commands/CommandTable.h"

#include <algorithm>

namespace {

QString Field(const CommandRecord& r, int column) {
    switch (column) {
    case CommandImport::Group:
        return r.group;
    case CommandImport::Name:
        return r.caption;
    case CommandImport::SubMenu:
        return r.subMenu;
    case CommandImport::Command:
        return r.command;
    case CommandImport::ShortCut:
        return r.shortcut;
    default:
        return {};
    }
}

} // namespace

CommandImport::CommandImport(CommandTable& table, CommandEditor& editor, UserPrompts& prompts)
    : m_table(table), m_editor(editor), m_prompts(prompts) {}

bool CommandImport::OpenFile(const QString& directory) {
    const QString path = m_prompts.openFileName(QStringLiteral("Open"), directory,
                                                QStringLiteral("(*.dat) (*.dat);;(All Files) (*)"));
    return !path.isEmpty() && LoadFile(path);
}

bool CommandImport::LoadFile(const QString& path) {
    const CommandTable::FileRead read = CommandTable::ReadImportRows(path, MaxRows);
    if (!read.error.isEmpty()) {
        m_prompts.error(read.error);
        return false;
    }
    m_rows.clear();
    // A row without a name would be a command that does not exist.
    for (const CommandRecord& r : read.records)
        if (r.exists())
            m_rows << r;
    m_sortColumn = -1;
    return true;
}

QString CommandImport::cellText(int row, int column) const {
    const QString text = Field(m_rows.value(row), column);
    return text.isEmpty() && column >= SubMenu ? QStringLiteral(" ") : text;
}

QStringList CommandImport::headers() const {
    QStringList captions{QStringLiteral("Group"), QStringLiteral("Name"),
                         QStringLiteral("Sub Menu"), QStringLiteral("Command"),
                         QStringLiteral("ShortCut")};
    if (m_sortColumn >= 0)
        captions[m_sortColumn] += m_ascending ? QLatin1Char('+') : QLatin1Char('-');
    return captions;
}

void CommandImport::SortBy(int column) {
    if (column < Group || column > SubMenu)
        return;
    m_ascending = !m_ascending;
    m_sortColumn = column;
    const bool ascending = m_ascending;
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [column, ascending](const CommandRecord& a, const CommandRecord& b) {
                         const int order =
                             Field(a, column).compare(Field(b, column), Qt::CaseInsensitive);
                         return ascending ? order < 0 : order > 0;
                     });
}

CommandImport::Result CommandImport::ImportRows(const QList<int>& rows) {
    Result result;
    for (int row : rows) {
        if (row < 0 || row >= m_rows.size())
            continue;
        const CommandRecord& r = m_rows.at(row);
        const bool duplicate = std::any_of(
            m_table.records().cbegin(), m_table.records().cend(), [&](const CommandRecord& have) {
                return have.exists() && have.caption.compare(r.caption, Qt::CaseInsensitive) == 0 &&
                       SameGroup(have.group, r.group);
            });
        if (duplicate) {
            ++result.skipped;
            continue;
        }
        m_editor.AddGroupIfMissing(r.group);
        m_table.records().append(r);
        ++result.added;
    }
    m_editor.RefreshList();
    m_prompts.information(QStringLiteral("Import Complete\n\nAdded: %1\nDuplicates Skiped: %2")
                              .arg(result.added)
                              .arg(result.skipped));
    return result;
}
