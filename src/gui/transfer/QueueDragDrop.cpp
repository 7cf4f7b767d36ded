#include "transfer/QueueDragDrop.h"

#include "app/App.h"
#include "app/SidePanel.h"
#include "local/LocalPane.h"
#include "net/FtpSession.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeView>

QueueDragDrop::QueueDragDrop(App& app, SidePanel& left, SidePanel& right, QTreeView& queue,
                             QObject* parent)
    : QObject(parent), m_app(app), m_left(left), m_right(right), m_queue(queue) {
    for (SidePanel* panel : {&m_left, &m_right}) {
        // The views drag and take drops, but a drop never reaches their
        // models (eventFilter takes it), so nothing is moved or inserted;
        // Copy keeps a view from removing what it dragged.
        for (QTreeView* view : {panel->list(), panel->localPane()->list()}) {
            view->setDragDropMode(QAbstractItemView::DragDrop);
            view->setDefaultDropAction(Qt::CopyAction);
            view->viewport()->setAcceptDrops(true);
            view->viewport()->installEventFilter(this);
        }
        // The tree's model offers no drag, so its drags start here.
        panel->tree()->viewport()->installEventFilter(this);
    }
    // The queue's own drag mode stays as the queue view sets it.
    m_queue.viewport()->setAcceptDrops(true);
    m_queue.viewport()->installEventFilter(this);
}

DragSource QueueDragDrop::sourceOf(const QObject* dragSource) const {
    if (!dragSource)
        return DragSource::Other;
    const std::pair<const QObject*, DragSource> known[] = {
        {m_left.list(), DragSource::LeftList},
        {m_right.list(), DragSource::RightList},
        {m_left.tree(), DragSource::LeftTree},
        {m_right.tree(), DragSource::RightTree},
        {m_left.localPane()->list(), DragSource::LeftLocal},
        {m_right.localPane()->list(), DragSource::RightLocal},
    };
    for (auto [view, source] : known)
        if (view == dragSource)
            return source;
    return DragSource::Other;
}

QueueDragDrop::Target QueueDragDrop::targetOf(const QWidget* widget) const {
    auto is = [widget](const QTreeView* view) {
        return widget && (widget == view || widget == view->viewport());
    };
    if (is(&m_queue))
        return Target::Queue;
    if (is(m_left.list()))
        return Target::LeftList;
    if (is(m_right.list()))
        return Target::RightList;
    if (is(m_left.localPane()->list()))
        return Target::LeftLocal;
    if (is(m_right.localPane()->list()))
        return Target::RightLocal;
    return Target::None;
}

DropContext QueueDragDrop::context(bool ontoQueue) const {
    DropContext c;
    c.leftLocalVisible = m_app.left().localView();
    c.rightLocalVisible = m_app.right().localView();
    c.leftConnected = m_app.left().session().isConnected();
    c.rightConnected = m_app.right().session().isConnected();
    c.ontoQueue = ontoQueue;
    c.onDragDrop = m_app.settings().onDragDrop;
    return c;
}

bool QueueDragDrop::accepts(const QWidget* target, const QObject* dragSource) const {
    return accepts(targetOf(target), sourceOf(dragSource));
}

bool QueueDragDrop::accepts(Target target, DragSource source) const {
    return AcceptsDrop(target, source, context(target == Target::Queue));
}

bool QueueDragDrop::drop(const QWidget* target, const QObject* dragSource) {
    const Target where = targetOf(target);
    const DragSource source = sourceOf(dragSource);
    if (!accepts(where, source))
        return false;
    dropFrom(where, source);
    return true;
}

void QueueDragDrop::dropFrom(Target target, DragSource source) {
    // The window may have changed since the drop was accepted.
    if (!accepts(target, source))
        return;
    const DropPlan plan = PlanQueueDrop(source, context(target == Target::Queue));
    m_app.RunGuarded([this, plan] {
        QueueAdding& adding = m_app.queueAdding();
        bool added = true;
        switch (plan.kind) {
        case DropPlan::SiteToSite:
            added = adding.AddToQueue(plan.side, false, QueueAdding::Mode::SiteToSite);
            break;
        case DropPlan::Download:
            added = adding.AddToQueue(plan.side, false, QueueAdding::Mode::Download);
            break;
        case DropPlan::TreeNode:
            adding.QueueTreeSelection(plan.side);
            break;
        case DropPlan::Upload:
            adding.AddUploads(plan.side, selectedLocalItems(plan.side));
            break;
        case DropPlan::Nothing:
            return;
        }
        // Nothing was queued when a directory could not be determined.
        if (added && plan.startQueue)
            startQueue();
    });
}

std::vector<LocalItem> QueueDragDrop::selectedLocalItems(SideId side) const {
    const SidePanel& panel = side == SideId::Left ? m_left : m_right;
    std::vector<LocalItem> items;
    for (const QString& path : panel.localPane()->selectedPaths()) {
        const QFileInfo info(path);
        // Whole kilobytes rounded up, as the local list shows them; a
        // folder shows no size.
        const qint64 kb = info.isDir() ? 0 : (info.size() + 1023) / 1024;
        items.push_back(LocalItem{path, info.isDir(), kb});
    }
    return items;
}

void QueueDragDrop::startQueue() {
    if (m_startQueue)
        m_startQueue();
}

bool QueueDragDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (auto* viewport = qobject_cast<QWidget*>(watched)) {
            auto* drag = static_cast<QDropEvent*>(event);
            return dragEvent(viewport, drag, drag->source());
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        for (QTreeView* tree : {m_left.tree(), m_right.tree()})
            if (watched == tree->viewport())
                return handleTreeMouse(tree, event);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool QueueDragDrop::dragEvent(const QWidget* target, QDropEvent* event,
                              const QObject* dragSource) {
    const Target where = targetOf(target);
    if (where == Target::None)
        return false;
    // The queue's drags inside itself are the queue view's business.
    if (where == Target::Queue && dragSource == &m_queue)
        return false;
    const DragSource source = sourceOf(dragSource);
    if (!accepts(where, source)) {
        event->ignore();
        return true;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (event->type() == QEvent::Drop) {
        // Queueing may wait on a server or ask a question, and starting the
        // queue runs the transfers: neither belongs inside the drag's own
        // event handling, so they run once the drag has ended.
        QMetaObject::invokeMethod(
            this, [this, where, source] { dropFrom(where, source); }, Qt::QueuedConnection);
    }
    return true;
}

bool QueueDragDrop::handleTreeMouse(QTreeView* tree, QEvent* event) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_pressedTree = nullptr;
        if (mouse->button() == Qt::LeftButton && tree->indexAt(at).isValid()) {
            m_pressedTree = tree;
            m_pressedAt = at;
        }
        return false;
    case QEvent::MouseMove:
        if (m_pressedTree != tree)
            return false;
        if (!(mouse->buttons() & Qt::LeftButton)) {
            m_pressedTree = nullptr;
            return false;
        }
        // Until the drag starts the view must not see these moves: it would
        // select the node under the mouse instead of the one pressed.
        if ((at - m_pressedAt).manhattanLength() >= QApplication::startDragDistance()) {
            m_pressedTree = nullptr;
            Side& side = tree == m_left.tree() ? m_app.left() : m_app.right();
            auto* data = new QMimeData;
            data->setData(QString::fromLatin1(TreeNodeMime),
                          side.tree().NodePath(side.treeSelection().currentIndex()).toUtf8());
            auto* drag = new QDrag(tree);
            drag->setMimeData(data);
            drag->exec(Qt::CopyAction, Qt::CopyAction);
        }
        return true;
    default:
        m_pressedTree = nullptr;
        return false;
    }
}
