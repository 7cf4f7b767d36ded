#pragma once

#include "transfer/QueueAdding.h"
#include "transfer/QueueDrop.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>
#include <vector>

class App;
class QDropEvent;
class QTreeView;
class QWidget;
class SidePanel;

// Drag and drop between the panes and the transfer queue. The lists, trees
// and local lists are drag sources; the remote lists, the local lists and
// the queue view take drops. What a drop queues is the core's QueueDrop rule;
// only the program's own views count as sources.
class QueueDragDrop : public QObject {
    Q_OBJECT
public:
    // The format of a tree node's drag; the lists drag their models' data.
    static constexpr const char* TreeNodeMime = "application/x-korvane-tree-node";

    QueueDragDrop(App& app, SidePanel& left, SidePanel& right, QTreeView& queue,
                  QObject* parent = nullptr);

    // Runs the queue after a drop when "On DragDrop" asks for it.
    void setStartQueue(std::function<void()> start) { m_startQueue = std::move(start); }

    // Which view a drag came from (a drop event's source()); a drag from
    // outside the program, or from any other widget, is Other.
    DragSource sourceOf(const QObject* dragSource) const;
    // Whether target (Llv, Rlv, a local list or LvQueue) takes the drag.
    bool accepts(const QWidget* target, const QObject* dragSource) const;
    // What a drop of the drag onto target does: queues through the core and
    // starts the queue when the rules say so. False when it was refused.
    bool drop(const QWidget* target, const QObject* dragSource);
    // A drag entering, moving over or dropped on target (a view or its
    // viewport), with the drag's source: accepted as a copy or ignored; an
    // accepted drop queues once the drag has ended. False when the event is
    // left to the view.
    bool dragEvent(const QWidget* target, QDropEvent* event, const QObject* dragSource);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using Target = DropTarget;

    Target targetOf(const QWidget* widget) const;
    DropContext context(bool ontoQueue) const;
    bool accepts(Target target, DragSource source) const;
    void dropFrom(Target target, DragSource source);
    std::vector<LocalItem> selectedLocalItems(SideId side) const;
    bool handleTreeMouse(QTreeView* tree, QEvent* event);
    void startQueue();

    App& m_app;
    SidePanel& m_left;
    SidePanel& m_right;
    QTreeView& m_queue;
    std::function<void()> m_startQueue;
    // A press on a tree node that may become a drag.
    QPointer<QTreeView> m_pressedTree;
    QPoint m_pressedAt;
};
