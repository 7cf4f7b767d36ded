#include "listing/ListNavigation.h"

#include "app/App.h"
#include "app/DesktopServices.h"
#include "app/RemotePath.h"
#include "app/UserPrompts.h"
#include "listing/SelectionSummary.h"
#include "net/FtpSession.h"

ListNavigation::ListNavigation(App& app) : QObject(nullptr), m_app(app) {
    m_multiTimer.setObjectName(QStringLiteral("MultiTimer"));
    m_multiTimer.setSingleShot(true);
    m_multiTimer.setInterval(400);
    connect(&m_multiTimer, &QTimer::timeout, this, [this] {
        Side& side = m_app.side(m_app.activeSide());
        if (!side.state().ListingActive)
            UpdateSelectionSummary(side);
    });
}

void ListNavigation::ResetColumns(bool owner, bool group, bool attrib) {
    m_columns = ColumnChoice{true, true, owner, group, attrib};
    Q_EMIT columnsChanged();
}

void ListNavigation::enterDirectory(Side& side, const QString& name, bool absolute) {
    if (name == QLatin1String("..")) {
        side.session().DoCommand(QStringLiteral("CDUP"));
        m_app.listing().RefreshDirectory(side.id(), true);
        return;
    }
    side.session().ChangeDir(absolute ? side.currentPath() + name : name);
}

void ListNavigation::ListDoubleClick(SideId id, int row) {
    Side& side = m_app.side(id);
    if (row < 0 || row >= side.listing().count() || side.state().ListingActive)
        return;
    const DirEntry& entry = side.listing().entry(row);
    if (entry.kind == EntryKind::File) {
        const int action = m_app.settings().onDoubleClick;
        if (action == 1 || action == 2)
            Q_EMIT fileActivated(id, row, action == 2 && !side.button(SideButton::Stop).enabled);
        return;
    }
    if (side.button(SideButton::Stop).enabled)
        return;
    // A name with a leading blank would lose it in a relative CWD on many
    // servers; the absolute path keeps it.
    enterDirectory(side, QString(entry.name), entry.name.startsWith(QLatin1Char(' ')));
}

void ListNavigation::ListEnter(SideId id) {
    Side& side = m_app.side(id);
    restartMultiTimer();
    const QList<int> rows = side.selectedRows();
    const QModelIndex current = side.listSelection().currentIndex();
    const int row = current.isValid() && side.listSelection().isRowSelected(current.row())
                        ? current.row()
                        : (rows.isEmpty() ? -1 : rows.first());
    if (row < 0 || !side.button(SideButton::Disconnect).enabled || side.state().ListingActive)
        return;
    const DirEntry& entry = side.listing().entry(row);
    if (entry.kind == EntryKind::File)
        return;
    enterDirectory(side, QString(entry.name), false);
}

void ListNavigation::PathBoxEnter(SideId id, const QString& text) {
    Side& side = m_app.side(id);
    if (!side.button(SideButton::Disconnect).enabled || text.isEmpty())
        return;
    side.AddPathHistory(text);
    side.session().ChangeDir(text);
}

QString ListNavigation::TreeNodePath(SideId id, const QModelIndex& node) const {
    return m_app.side(id).tree().NodePath(node);
}

void ListNavigation::TreeDoubleClick(SideId id, const QModelIndex& node) {
    Side& side = m_app.side(id);
    if (side.button(SideButton::Stop).enabled || !node.isValid())
        return;
    const QString path = side.tree().NodePath(node);
    if (EnsureTrailingSeparator(path) != side.currentPath())
        side.session().ChangeDir(path);
}

void ListNavigation::ColumnClick(SideId id, int column) {
    Side& side = m_app.side(id);
    SortOrder& order = m_app.listSortOrder();
    if (column < 0 || column > int(SortColumn::None))
        return;
    order.column = SortColumn(column);
    if (order.column == SortColumn::None)
        return;
    bool& toggle = side.sortToggles[size_t(column)];
    order.direction = toggle ? 0 : 1;
    toggle = !toggle;
    side.listing().SortList(order, QLocale());
}

void ListNavigation::DeleteKey() {
    const SideId id = m_app.activeSide();
    if (m_app.side(id).session().isConnected() && !m_app.deletion().queue().shown())
        Q_EMIT deleteRequested(id);
}

bool ListNavigation::findFrom(Side& side, int start) {
    const ListingModel& list = side.listing();
    for (int row = start; row < list.count(); ++row) {
        if (!list.entry(row).name.contains(m_searchText, Qt::CaseInsensitive))
            continue;
        side.listSelection().setCurrentIndex(
            list.index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        side.searchPosition = row + 1;
        return true;
    }
    m_app.prompts().information(QStringLiteral("Search not found!"));
    return false;
}

bool ListNavigation::Find(const QString& text) {
    m_searchText = text;
    Side& side = m_app.side(m_app.activeSide());
    side.searchPosition = 0;
    return findFrom(side, 0);
}

bool ListNavigation::FindNext() {
    Side& side = m_app.side(m_app.activeSide());
    if (side.searchPosition >= side.listing().count())
        side.searchPosition = 0;
    return findFrom(side, side.searchPosition);
}

QString ListNavigation::RawDirectoryText(SideId id) const {
    return m_app.side(id).rawListing().join(QLatin1Char('\n'));
}

QString ListNavigation::RawDirectoryCaption(SideId id) const {
    return QStringLiteral("Directory of ") + m_app.side(id).currentPath();
}

void ListNavigation::CopyDirectoryToClipboard(SideId id) {
    m_app.services().setClipboardText(RawDirectoryText(id));
}

void ListNavigation::SetColumnShown(int column, bool shown) {
    switch (column) {
    case ListingModel::SizeColumn: m_columns.size = shown; break;
    case ListingModel::DateColumn: m_columns.date = shown; break;
    case ListingModel::OwnerColumn: m_columns.owner = shown; break;
    case ListingModel::GroupColumn: m_columns.group = shown; break;
    case ListingModel::AttribColumn: m_columns.attrib = shown; break;
    default: return;
    }
    Q_EMIT columnsChanged();
}

void ListNavigation::ClearCache() {
    m_app.left().cache().Clear();
    m_app.right().cache().Clear();
}
