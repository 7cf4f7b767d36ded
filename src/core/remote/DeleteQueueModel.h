#pragma once

#include "listing/DirEntry.h"

#include <QAbstractListModel>

#include <vector>

// One path to delete: a file, or anything else, which goes as a directory.
struct DeleteItem {
    QString path;
    EntryKind kind = EntryKind::File;
    // A link goes with DELE: entering it would delete where it points.
    bool isFile() const { return kind == EntryKind::File || kind == EntryKind::Link; }
};

// The delete queue ("Delete Queue"): what a deletion still has to remove. It
// takes the transfer queue's place while a deletion runs.
class DeleteQueueModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { ImageRole = Qt::UserRole + 1 };

    using QAbstractListModel::QAbstractListModel;

    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    const DeleteItem& item(int row) const { return m_items[size_t(row)]; }
    void append(const DeleteItem& item);
    void prepend(const DeleteItem& item);
    void removeAt(int row);
    void clear();

    bool shown() const { return m_shown; }
    void setShown(bool shown);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    void shownChanged(bool shown);

private:
    void insertAt(int row, const DeleteItem& item);

    std::vector<DeleteItem> m_items;
    bool m_shown = false;
};
