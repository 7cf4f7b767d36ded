#include "listing/DirectoryTree.h"

#include <algorithm>
#include <utility>

namespace {
bool IsRootPath(const QString& path) {
    return path == u"/" || path == u"\\";
}
} // namespace

DirectoryTreeModel::DirectoryTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

DirectoryTreeModel::~DirectoryTreeModel() {
    releaseNodes();
}

QChar DirectoryTreeModel::TreeSeparator(const QString& pathBoxText) {
    return pathBoxText.contains(u'/') ? QChar(u'/') : QChar(u'\\');
}

QString DirectoryTreeModel::keyOf(const QString& name) {
    return name.toCaseFolded();
}

DirectoryTreeModel::Node* DirectoryTreeModel::nodeOf(const QModelIndex& index) const {
    if (!index.isValid())
        return const_cast<Node*>(&m_top);
    return static_cast<Node*>(index.internalPointer());
}

QModelIndex DirectoryTreeModel::indexOf(Node* node) const {
    if (!node || node == &m_top)
        return {};
    return createIndex(node->row, 0, node);
}

DirectoryTreeModel::Node* DirectoryTreeModel::rootNode() const {
    return m_top.children.empty() ? nullptr : m_top.children.front().get();
}

DirectoryTreeModel::Node* DirectoryTreeModel::addChild(Node* parent, const QString& text, int image,
                                                       EntryMark mark) {
    auto node = std::make_unique<Node>();
    node->text = text;
    node->image = image;
    node->mark = mark;
    node->parent = parent;
    node->row = int(parent->children.size());
    Node* added = node.get();
    parent->byKey.insert(keyOf(text), added);
    if (m_updateDepth > 0) {
        // Announced with the parent's other new children at endUpdate.
        if (parent->shown == int(parent->children.size()))
            m_pendingParents.append(parent);
        parent->children.push_back(std::move(node));
        return added;
    }
    beginInsertRows(indexOf(parent), added->row, added->row);
    parent->children.push_back(std::move(node));
    parent->shown = int(parent->children.size());
    endInsertRows();
    return added;
}

DirectoryTreeModel::Node* DirectoryTreeModel::step(Node* node, const QString& component) const {
    // A path that is not canonical still names one directory; ".." at the
    // root stays there, as a server does.
    if (component == u".")
        return node;
    if (component == u"..")
        return node->parent == &m_top ? node : node->parent;
    return node->byKey.value(keyOf(component));
}

QModelIndex
DirectoryTreeModel::AddPathNodes(const QString& currentPath, QChar separator,
                                 const std::function<EntryMark(const QString& name)>& markOf) {
    const QStringList components = currentPath.split(separator, Qt::SkipEmptyParts);
    Node* node = rootNode();
    if (!node)
        node = addChild(&m_top, QString(separator), components.isEmpty() ? 1 : 4, EntryMark::None);
    for (const QString& component : components) {
        Node* next = step(node, component);
        node = next ? next
                    : addChild(node, component, 1, markOf ? markOf(component) : EntryMark::None);
    }
    m_current = node;
    return indexOf(node);
}

void DirectoryTreeModel::AddDirectoryNode(const QString& name, EntryMark mark,
                                          const QString& currentPath) {
    // An empty name would give a path with an empty component.
    if (name.isEmpty() || name == u"." || name == u"..")
        return;
    // Without a node for the current directory the entry's place is unknown;
    // a guess would later send the user to a wrong path.
    Node* parent = IsRootPath(currentPath) ? rootNode() : m_current;
    if (!parent || parent->byKey.contains(keyOf(name)))
        return;
    addChild(parent, name, 1, mark);
}

QModelIndex DirectoryTreeModel::currentNode() const {
    return indexOf(m_current);
}

QString DirectoryTreeModel::NodePath(const QModelIndex& node) const {
    if (!node.isValid() || node.model() != this)
        return QStringLiteral("unknown");
    std::vector<const Node*> chain;
    for (const Node* n = nodeOf(node); n != &m_top; n = n->parent)
        chain.push_back(n);
    std::reverse(chain.begin(), chain.end());
    if (chain.size() == 1)
        return chain.front()->text;
    // The root's text is the separator the tree was built with.
    const QString& separator = chain.front()->text;
    QString path = separator == u"/" ? separator : QString();
    for (size_t i = 1; i + 1 < chain.size(); ++i)
        path += chain[i]->text + separator;
    return path + chain.back()->text;
}

QModelIndex DirectoryTreeModel::FindPath(const QString& path, QChar separator) const {
    Node* node = rootNode();
    if (!node)
        return {};
    for (const QString& component : path.split(separator, Qt::SkipEmptyParts)) {
        node = step(node, component);
        if (!node)
            return {};
    }
    return indexOf(node);
}

void DirectoryTreeModel::sortAll() {
    // No recursion: a server's PWD reply decides how deep the tree gets.
    std::vector<Node*> todo{&m_top};
    while (!todo.empty()) {
        auto& children = todo.back()->children;
        todo.pop_back();
        std::stable_sort(children.begin(), children.end(), [](const auto& a, const auto& b) {
            return QString::compare(a->text, b->text, Qt::CaseInsensitive) < 0;
        });
        for (size_t row = 0; row < children.size(); ++row) {
            children[row]->row = int(row);
            todo.push_back(children[row].get());
        }
    }
}

void DirectoryTreeModel::releaseNodes() {
    std::vector<std::unique_ptr<Node>> nodes = std::move(m_top.children);
    m_top = Node();
    freeNodes(std::move(nodes));
}

void DirectoryTreeModel::freeNodes(std::vector<std::unique_ptr<Node>> todo) {
    while (!todo.empty()) {
        std::unique_ptr<Node> node = std::move(todo.back());
        todo.pop_back();
        for (auto& child : node->children)
            todo.push_back(std::move(child));
    }
}

void DirectoryTreeModel::SortAlphabetically() {
    // Sorted once the batch is announced, so its nodes are in order too.
    if (m_updateDepth > 0) {
        m_sortPending = true;
        return;
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    sortAll();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& idx : before) {
        Node* n = nodeOf(idx);
        after.append(createIndex(n->row, idx.column(), n));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void DirectoryTreeModel::beginUpdate() {
    ++m_updateDepth;
}

void DirectoryTreeModel::endUpdate() {
    if (m_updateDepth == 0 || --m_updateDepth > 0)
        return;
    // A parent's first new child came after the parent itself was added, so
    // every parent is announced before its own new children.
    const QList<Node*> parents = std::exchange(m_pendingParents, {});
    for (Node* parent : parents) {
        const int count = int(parent->children.size());
        beginInsertRows(indexOf(parent), parent->shown, count - 1);
        parent->shown = count;
        endInsertRows();
    }
    if (std::exchange(m_sortPending, false))
        SortAlphabetically();
}

void DirectoryTreeModel::clear() {
    beginResetModel();
    releaseNodes();
    m_current = nullptr;
    m_pendingParents.clear();
    endResetModel();
}

QModelIndex DirectoryTreeModel::index(int row, int column, const QModelIndex& parent) const {
    const Node* p = nodeOf(parent);
    if (column != 0 || row < 0 || row >= p->shown)
        return {};
    return createIndex(row, 0, p->children[size_t(row)].get());
}

QModelIndex DirectoryTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid())
        return {};
    return indexOf(nodeOf(child)->parent);
}

int DirectoryTreeModel::rowCount(const QModelIndex& parent) const {
    return nodeOf(parent)->shown;
}

int DirectoryTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant DirectoryTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const Node* n = nodeOf(index);
    const bool isRoot = n->parent == &m_top;
    switch (role) {
    case Qt::DisplayRole:
        return n->text;
    case ImageRole:
        return n->image;
    case SelectedImageRole:
        return isRoot ? n->image : 5;
    case MarkRole:
        return int(n->mark);
    case CutRole:
        return n->cut;
    default:
        return {};
    }
}

void DirectoryTreeModel::setCut(const QModelIndex& node, bool cut) {
    if (!node.isValid() || nodeOf(node)->cut == cut)
        return;
    nodeOf(node)->cut = cut;
    Q_EMIT dataChanged(node, node, {CutRole});
}

void DirectoryTreeModel::RemoveNode(const QModelIndex& index) {
    // Nodes still waiting to be announced belong to a listing in progress.
    if (!index.isValid() || m_updateDepth > 0)
        return;
    Node* node = nodeOf(index);
    Node* parent = node->parent;
    if (parent == &m_top)
        return;
    for (Node* n = m_current; n; n = n->parent)
        if (n == node) {
            m_current = parent;
            break;
        }
    const int row = node->row;
    beginRemoveRows(indexOf(parent), row, row);
    const QString key = keyOf(node->text);
    if (parent->byKey.value(key) == node)
        parent->byKey.remove(key);
    std::vector<std::unique_ptr<Node>> removed;
    removed.push_back(std::move(parent->children[size_t(row)]));
    parent->children.erase(parent->children.begin() + row);
    for (size_t r = size_t(row); r < parent->children.size(); ++r)
        parent->children[r]->row = int(r);
    parent->shown = int(parent->children.size());
    endRemoveRows();
    freeNodes(std::move(removed));
}
