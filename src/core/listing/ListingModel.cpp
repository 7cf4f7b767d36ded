#include "listing/ListingModel.h"

#include <algorithm>

std::optional<Colour> MarkColour(EntryMark mark, const MarkColours& colours) {
    if (mark == EntryMark::Skip && colours.skipOn)
        return colours.skip;
    if (mark == EntryMark::Favourite)
        return colours.favourite;
    return std::nullopt;
}

ListingModel::ListingModel(QObject* parent) : QAbstractTableModel(parent) {}

DirEntry ListingModel::ParentEntry() {
    DirEntry e;
    e.name = QStringLiteral("..");
    e.kind = EntryKind::Parent;
    return e;
}

void ListingModel::beginListing() {
    beginResetModel();
    m_cut.clear();
    m_entries.clear();
    m_entries.push_back(ParentEntry());
    m_pending.clear();
    m_loading = true;
    endResetModel();
}

void ListingModel::AddListEntry(DirEntry entry) {
    if (m_loading) {
        m_pending.push_back(std::move(entry));
        return;
    }
    const int row = count();
    beginInsertRows(QModelIndex(), row, row);
    m_entries.push_back(std::move(entry));
    endInsertRows();
}

void ListingModel::endListing() {
    if (!m_loading)
        return;
    m_loading = false;
    if (m_pending.empty())
        return;
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + int(m_pending.size()) - 1);
    if (m_entries.size() == 1) {
        // Only ".." so far: the collected entries become the list as they are.
        m_pending.insert(m_pending.begin(), std::move(m_entries.front()));
        m_entries.swap(m_pending);
    } else {
        m_entries.insert(m_entries.end(), std::make_move_iterator(m_pending.begin()),
                         std::make_move_iterator(m_pending.end()));
    }
    endInsertRows();
    m_pending.clear();
    m_pending.shrink_to_fit();
}

void ListingModel::clear() {
    beginResetModel();
    m_cut.clear();
    m_entries.clear();
    m_pending.clear();
    m_loading = false;
    endResetModel();
}

void ListingModel::SortList(const SortOrder& order, const QLocale& locale) {
    const std::vector<int> perm = SortPermutation(m_entries, order, locale);
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_cut.clear();
    std::vector<DirEntry> sorted;
    sorted.reserve(m_entries.size());
    std::vector<int> newRow(perm.size(), 0);
    for (size_t i = 0; i < perm.size(); ++i) {
        sorted.push_back(std::move(m_entries[size_t(perm[i])]));
        newRow[size_t(perm[i])] = int(i);
    }
    m_entries = std::move(sorted);
    // Selections and other persistent indexes follow their entries.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& idx : before)
        after.append(index(newRow[size_t(idx.row())], idx.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ListingModel::setMarkColours(const MarkColours& colours) {
    m_colours = colours;
    if (count() > 0)
        Q_EMIT dataChanged(index(0, 0), index(count() - 1, ColumnCount - 1),
                           {MarkColourRole});
}

void ListingModel::setCut(int row, bool cut) {
    if (row < 0 || row >= count() || isCut(row) == cut)
        return;
    if (cut)
        m_cut.insert(row);
    else
        m_cut.remove(row);
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1), {CutRole});
}

int ListingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int ListingModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ListingModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const DirEntry& e = entry(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn: return e.name;
        case SizeColumn: return e.sizeText;
        case DateColumn: return e.dateText;
        case OwnerColumn: return e.owner;
        case GroupColumn: return e.group;
        case AttribColumn: return e.attributes;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == SizeColumn)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case KindRole: return int(e.kind);
    case CutRole: return isCut(index.row());
    case MarkRole: return int(e.mark);
    case MarkColourRole:
        if (const auto c = MarkColour(e.mark, m_colours))
            return QVariant::fromValue(*c);
        return {};
    }
    return {};
}

QVariant ListingModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const captions[ColumnCount] = {"Name",  "Size",  "Date",
                                                      "Owner", "Group", "Attrib"};
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromLatin1(captions[section]);
    if (role == Qt::TextAlignmentRole && section == SizeColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags ListingModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

void ListingModel::RemoveEntries(std::vector<int> rows) {
    if (rows.empty())
        return;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    beginResetModel();
    m_cut.clear();
    std::vector<DirEntry> kept;
    kept.reserve(m_entries.size() - std::min(m_entries.size(), rows.size()));
    size_t next = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (next < rows.size() && rows[next] == int(i)) {
            ++next;
            continue;
        }
        kept.push_back(std::move(m_entries[i]));
    }
    m_entries = std::move(kept);
    endResetModel();
}
