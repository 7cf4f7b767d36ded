#include "local/LocalPane.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Shows the size column as whole kilobytes and keeps only name and size.
class KilobyteColumns : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    QVariant data(const QModelIndex& index, int role) const override {
        if (index.column() == 1 && role == Qt::DisplayRole) {
            auto* model = static_cast<QFileSystemModel*>(sourceModel());
            const QModelIndex source = mapToSource(index);
            if (model->isDir(source))
                return QString();
            const qint64 kb = (model->size(source) + 1023) / 1024;
            return QLocale().toString(kb) + QStringLiteral(" KB");
        }
        if (index.column() == 1 && role == Qt::TextAlignmentRole)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return QSortFilterProxyModel::data(index, role);
    }

protected:
    bool filterAcceptsColumn(int column, const QModelIndex&) const override { return column <= 1; }
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        auto* model = static_cast<QFileSystemModel*>(sourceModel());
        // Folders first, then by the column's own order.
        const bool leftDir = model->isDir(left);
        const bool rightDir = model->isDir(right);
        if (leftDir != rightDir)
            return sortOrder() == Qt::AscendingOrder ? leftDir : rightDir;
        if (left.column() == 1)
            return model->size(left) < model->size(right);
        return QString::localeAwareCompare(model->fileName(left), model->fileName(right)) < 0;
    }
};

} // namespace

LocalPane::LocalPane(const QString& listName, QWidget* parent)
    : QWidget(parent), m_pathBox(new QComboBox(this)), m_list(new QTreeView(this)),
      m_model(new QFileSystemModel(this)), m_view(new KilobyteColumns(this)) {
    m_pathBox->setEditable(true);
    m_pathBox->setObjectName(listName + QStringLiteral("Path"));
    m_pathBox->setInsertPolicy(QComboBox::NoInsert);
    m_list->setObjectName(listName);
    m_model->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::AllDirs);
    m_model->setReadOnly(true);
    m_view->setSourceModel(m_model);
    m_view->setDynamicSortFilter(true);
    m_list->setModel(m_view);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setSortingEnabled(true);
    m_list->sortByColumn(0, Qt::AscendingOrder);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setDragEnabled(true);
    m_list->setDragDropMode(QAbstractItemView::DragOnly);
    m_list->setUniformRowHeights(true);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pathBox);
    layout->addWidget(m_list);

    connect(m_model, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (QDir(loaded) == QDir(m_path)) {
            m_list->resizeColumnToContents(1);
            Q_EMIT filled(m_path);
        }
    });
    connect(m_list, &QTreeView::activated, this, &LocalPane::openIndex);
    connect(m_pathBox->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (!setPath(m_pathBox->currentText()))
            m_pathBox->setEditText(m_path);
    });
}

bool LocalPane::setPath(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        return false;
    const QString clean = QDir::cleanPath(info.absoluteFilePath());
    if (clean == m_path)
        return true;
    m_path = clean;
    const QModelIndex root = m_model->setRootPath(m_path);
    m_list->setRootIndex(m_view->mapFromSource(root));
    m_pathBox->setEditText(m_path);
    if (m_pathBox->findText(m_path) < 0)
        m_pathBox->insertItem(0, m_path);
    Q_EMIT pathChanged(m_path);
    return true;
}

bool LocalPane::goToParent() {
    QDir dir(m_path);
    return dir.cdUp() && setPath(dir.absolutePath());
}

void LocalPane::refresh() {
    // A folder deleted meanwhile gives way to its nearest existing parent.
    QString folder = m_path;
    while (!QFileInfo(folder).isDir()) {
        const QString parent = QFileInfo(folder).path();
        if (parent == folder)
            break;
        folder = parent;
    }
    m_path.clear();
    m_model->setRootPath(QString());
    setPath(folder);
}

QStringList LocalPane::selectedPaths() const {
    QStringList paths;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        paths << m_model->filePath(m_view->mapToSource(index));
    return paths;
}

void LocalPane::openIndex(const QModelIndex& index) {
    const QModelIndex source = m_view->mapToSource(index);
    if (m_model->isDir(source))
        setPath(m_model->filePath(source));
}
