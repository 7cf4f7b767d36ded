#pragma once

#include "app/Colour.h"
#include "listing/DirEntry.h"
#include "listing/ListSorting.h"

#include <QAbstractTableModel>
#include <QSet>

#include <optional>
#include <vector>

// How marked entries are drawn: skip matches only while "Skip" is on.
struct MarkColours {
    bool skipOn = false;
    Colour skip = clRed;      // "SkipColor"
    Colour favourite = clRed; // "FColor"
};
std::optional<Colour> MarkColour(EntryMark mark, const MarkColours& colours);

// A side's remote listing: the one store of its DirEntry records. Views show
// it; logic reads entries here, never from a widget.
class ListingModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, SizeColumn, DateColumn, OwnerColumn, GroupColumn, AttribColumn };
    static constexpr int ColumnCount = 6;
    enum Role {
        KindRole = Qt::UserRole + 1, // int EntryKind
        MarkRole,                    // int EntryMark
        MarkColourRole,              // Colour of a marked entry; invalid for plain ones
        CutRole,                     // bool: queued, drawn dimmed
    };

    explicit ListingModel(QObject* parent = nullptr);

    // The synthetic first entry of every listing.
    static DirEntry ParentEntry();

    // A listing starts: the list holds only "..", and entries added until
    // endListing are collected and shown in one insert.
    void beginListing();
    void AddListEntry(DirEntry entry);
    void endListing();
    bool isLoading() const { return m_loading; }
    // Entries collected by the listing that is loading (".." not counted).
    qsizetype pendingCount() const { return qsizetype(m_pending.size()); }
    void clear();

    int count() const { return int(m_entries.size()); }
    const DirEntry& entry(int row) const { return m_entries[size_t(row)]; }
    const std::vector<DirEntry>& entries() const { return m_entries; }

    // These rows go, in one change of the model; the cut marks drop as with
    // a refill.
    void RemoveEntries(std::vector<int> rows);
    // Rows move; selections and other persistent indexes follow their entries.
    void SortList(const SortOrder& order, const QLocale& locale);

    void setMarkColours(const MarkColours& colours);
    // A queued entry is drawn dimmed until the list is filled again.
    void setCut(int row, bool cut);
    bool isCut(int row) const { return m_cut.contains(row); }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<DirEntry> m_entries;
    std::vector<DirEntry> m_pending;
    bool m_loading = false;
    MarkColours m_colours;
    QSet<int> m_cut; // rows; a refill or sort drops the marks
};
