#include "transfer/QueueModel.h"

#include "app/RemotePath.h"
#include "listing/ListingParser.h"

#include <algorithm>

QueueModel::QueueModel(QObject* parent) : QAbstractTableModel(parent) {}

QString QueueModel::pairKey(const QString& source, const QString& target) {
    // U+0000 never occurs in a path, so no two pairs share a key.
    return source + QChar(u'\0') + target;
}

void QueueModel::remember(const QueueEntry& e) {
    ++m_pairs[pairKey(e.SourcePath, e.TargetPath)];
}

void QueueModel::forget(const QueueEntry& e) {
    const auto it = m_pairs.find(pairKey(e.SourcePath, e.TargetPath));
    if (it != m_pairs.end() && --it.value() <= 0)
        m_pairs.erase(it);
}

bool QueueModel::IsQueued(const QString& sourcePath, const QString& targetPath) const {
    return m_pairs.contains(pairKey(sourcePath, targetPath));
}

void QueueModel::append(const QueueEntry& entry) {
    append(std::vector<QueueEntry>{entry});
}

void QueueModel::append(const std::vector<QueueEntry>& entries) {
    if (entries.empty())
        return;
    beginInsertRows(QModelIndex(), count(), count() + int(entries.size()) - 1);
    for (const QueueEntry& e : entries) {
        m_entries.push_back(e);
        remember(e);
    }
    endInsertRows();
}

void QueueModel::insertBehindHead(const std::vector<QueueEntry>& entries) {
    if (entries.empty())
        return;
    const int at = isEmpty() ? 0 : 1;
    beginInsertRows(QModelIndex(), at, at + int(entries.size()) - 1);
    m_entries.insert(m_entries.begin() + at, entries.begin(), entries.end());
    for (const QueueEntry& e : entries)
        remember(e);
    endInsertRows();
}

void QueueModel::removeEntries(QList<int> rows) {
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) {
        if (row < 0 || row >= count())
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        forget(entry(row));
        m_entries.erase(m_entries.begin() + row);
        endRemoveRows();
    }
}

void QueueModel::removeHead() {
    removeEntries({0});
}

void QueueModel::clear() {
    beginResetModel();
    m_entries.clear();
    m_pairs.clear();
    endResetModel();
}

void QueueModel::setTargetPath(int row, const QString& target) {
    if (row < 0 || row >= count())
        return;
    QueueEntry& e = m_entries[size_t(row)];
    forget(e);
    e.TargetPath = target;
    remember(e);
    Q_EMIT dataChanged(index(row, TargetColumn), index(row, TargetColumn));
}

int QueueModel::move(int row, int to) {
    // Qt's move counts the destination before the move: one further down.
    if (!beginMoveRows(QModelIndex(), row, row, QModelIndex(), to > row ? to + 1 : to))
        return -1;
    std::swap(m_entries[size_t(row)], m_entries[size_t(to)]);
    endMoveRows();
    return to;
}

int QueueModel::MoveUp(int row, bool runActive) {
    if (row <= 0 || row >= count() || (runActive && row == 1))
        return -1;
    return move(row, row - 1);
}

int QueueModel::MoveDown(int row, bool runActive) {
    if (row < 0 || row + 1 >= count() || (runActive && row == 0))
        return -1;
    return move(row, row + 1);
}

QString QueueModel::QueueInfoText(const QLocale& locale) const {
    int files = 0;
    qint64 bytes = 0;
    for (const QueueEntry& e : m_entries) {
        if (!e.isFile())
            continue;
        ++files;
        // 64-bit: a queue of large files passes 2 GB quickly.
        bytes += DigitsOnly(e.SizeText).toLongLong();
    }
    return QStringLiteral("Queue Summary\n\nFiles: %1\nDirs:  %2\nSize:  %3 bytes")
        .arg(files)
        .arg(count() - files)
        .arg(FormatSizeText(bytes, locale));
}

int QueueModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int QueueModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant QueueModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return {};
    const QueueEntry& e = entry(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn: return e.SourcePath;
        case TargetColumn: return e.TargetPath;
        case SizeColumn: return e.SizeText;
        }
        return {};
    case IconRole: return e.Icon;
    case DirectionRole: return int(e.direction);
    }
    return {};
}

QVariant QueueModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn: return QStringLiteral("Name") + QString(16, QLatin1Char(' '));
    case TargetColumn: return QStringLiteral("Target") + QString(7, QLatin1Char(' '));
    case SizeColumn: return QStringLiteral("Size");
    }
    return {};
}

Qt::ItemFlags QueueModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}
