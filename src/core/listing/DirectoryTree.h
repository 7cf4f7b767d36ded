#pragma once

#include "listing/DirEntry.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QList>

#include <functional>
#include <memory>
#include <vector>

// A side's remote directory tree: the directories visited and the ones their
// listings showed. It only grows; a refresh never empties it.
class DirectoryTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    enum Role {
        ImageRole = Qt::UserRole + 1, // 1 directory, 4 root (1 for a root of a bare "/")
        SelectedImageRole,            // 5, except the root, which keeps its image
        MarkRole,                     // int EntryMark; the root has none
        CutRole,                      // bool: queued, drawn dimmed
    };

    explicit DirectoryTreeModel(QObject* parent = nullptr);
    ~DirectoryTreeModel() override;

    // "/" when the side's path box text holds one, else "\".
    static QChar TreeSeparator(const QString& pathBoxText);

    // The nodes of the side's current directory, found or added component by
    // component under the root; the last becomes the current node. markOf is
    // asked only for nodes that are new.
    QModelIndex AddPathNodes(const QString& currentPath, QChar separator,
                             const std::function<EntryMark(const QString& name)>& markOf);
    // A directory of the listing of currentPath, unless its parent already
    // has a child of that name ignoring case.
    void AddDirectoryNode(const QString& name, EntryMark mark, const QString& currentPath);
    QModelIndex currentNode() const;

    // The path a change of directory to the node uses; "unknown" for none.
    QString NodePath(const QModelIndex& node) const;
    // Invalid when a component of the path is not in the tree.
    QModelIndex FindPath(const QString& path, QChar separator) const;

    // Every level by name ignoring case, equal names keeping their order.
    void SortAlphabetically();
    // A node and everything below it, after the directory went from the
    // server; the root stays.
    void RemoveNode(const QModelIndex& node);
    // A queued directory's node is drawn dimmed.
    void setCut(const QModelIndex& node, bool cut);

    // Nodes added until endUpdate are announced then, one insert per parent.
    void beginUpdate();
    void endUpdate();
    void clear();

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Node {
        QString text;
        int image = 1;
        EntryMark mark = EntryMark::None;
        bool cut = false;
        Node* parent = nullptr;
        int row = 0;
        // Children beyond this count are collected but not yet announced.
        int shown = 0;
        std::vector<std::unique_ptr<Node>> children;
        QHash<QString, Node*> byKey; // children by case-folded text
    };

    static QString keyOf(const QString& name);
    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(Node* node) const;
    Node* rootNode() const;
    Node* addChild(Node* parent, const QString& text, int image, EntryMark mark);
    // The node a path component leads to from node; null when not in the tree.
    Node* step(Node* node, const QString& component) const;
    void sortAll();
    void releaseNodes();
    // Frees nodes level by level; unique_ptr's own teardown recurses once per level.
    static void freeNodes(std::vector<std::unique_ptr<Node>> todo);

    Node m_top; // invisible parent of the root
    Node* m_current = nullptr;
    int m_updateDepth = 0;
    bool m_sortPending = false;
    QList<Node*> m_pendingParents; // in the order their first new child came
};
