#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QFileSystemModel;
class QSortFilterProxyModel;
class QTreeView;

// One side's view of the local disk: the files and folders of one folder
// with their size in kilobytes, a path box, multiple selection and drag.
class LocalPane : public QWidget {
    Q_OBJECT
public:
    // listName is the list's object name (LlocalList or RlocalList).
    LocalPane(const QString& listName, QWidget* parent = nullptr);

    QString path() const { return m_path; }
    // Switches to a folder; false (and no change) when it does not exist.
    bool setPath(const QString& path);
    bool goToParent();
    void refresh();
    QStringList selectedPaths() const;
    QTreeView* list() const { return m_list; }

Q_SIGNALS:
    // The folder's entries are loaded; carries the folder's path.
    void filled(const QString& path);
    void pathChanged(const QString& path);

private:
    void openIndex(const QModelIndex& index);

    QComboBox* m_pathBox;
    QTreeView* m_list;
    QFileSystemModel* m_model;
    QSortFilterProxyModel* m_view;
    QString m_path;
};
