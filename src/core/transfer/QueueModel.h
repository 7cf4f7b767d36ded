#pragma once

#include "transfer/QueueEntry.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QLocale>

#include <vector>

// The transfer queue: the one store of its entries, head first. Views show
// it; the runner takes the head and puts a directory's contents behind it.
class QueueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { NameColumn, TargetColumn, SizeColumn };
    enum Role { IconRole = Qt::UserRole + 1, DirectionRole };

    explicit QueueModel(QObject* parent = nullptr);

    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.empty(); }
    const QueueEntry& entry(int row) const { return m_entries[size_t(row)]; }
    const std::vector<QueueEntry>& entries() const { return m_entries; }

    // Whether this exact pair (case-sensitive) is queued already.
    bool IsQueued(const QString& sourcePath, const QString& targetPath) const;

    void append(const QueueEntry& entry);
    // Several at the end in one insert (a loaded queue file).
    void append(const std::vector<QueueEntry>& entries);
    // Right behind the head entry, in this order (a directory's contents).
    void insertBehindHead(const std::vector<QueueEntry>& entries);
    void removeEntries(QList<int> rows);
    void removeHead();
    void clear();
    void setTargetPath(int row, const QString& target);
    // One place up or down; while a run is active the head entry is being
    // transferred and keeps its place. The entry's new row, or -1.
    int MoveUp(int row, bool runActive);
    int MoveDown(int row, bool runActive);

    // "Queue Summary\n\nFiles: 2\nDirs:  1\nSize:  3,072 bytes"
    QString QueueInfoText(const QLocale& locale) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    static QString pairKey(const QString& source, const QString& target);
    void remember(const QueueEntry& entry);
    void forget(const QueueEntry& entry);
    int move(int row, int to);

    std::vector<QueueEntry> m_entries;
    // Queued pairs with their counts (uploads may queue a pair twice).
    QHash<QString, int> m_pairs;
};
