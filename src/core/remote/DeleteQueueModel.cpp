#include "remote/DeleteQueueModel.h"

void DeleteQueueModel::insertAt(int row, const DeleteItem& item) {
    beginInsertRows({}, row, row);
    m_items.insert(m_items.begin() + row, item);
    endInsertRows();
}

void DeleteQueueModel::append(const DeleteItem& item) {
    insertAt(count(), item);
}

void DeleteQueueModel::prepend(const DeleteItem& item) {
    insertAt(0, item);
}

void DeleteQueueModel::removeAt(int row) {
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    m_items.erase(m_items.begin() + row);
    endRemoveRows();
}

void DeleteQueueModel::clear() {
    beginResetModel();
    m_items.clear();
    endResetModel();
}

void DeleteQueueModel::setShown(bool shown) {
    if (m_shown == shown)
        return;
    m_shown = shown;
    Q_EMIT shownChanged(shown);
}

int DeleteQueueModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant DeleteQueueModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const DeleteItem& it = item(index.row());
    if (role == Qt::DisplayRole)
        return it.path;
    if (role == ImageRole)
        return int(it.kind);
    return {};
}

QVariant DeleteQueueModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return QStringLiteral("Delete Queue");
    return {};
}
