#pragma once

#include "app/SideState.h"

// Where a drag onto the queue or a remote list came from.
enum class DragSource { LeftList, RightList, LeftTree, RightTree, LeftLocal, RightLocal, Other };

// What the window looks like when the drop happens.
struct DropContext {
    bool leftLocalVisible = false; // the pane shows its local list
    bool rightLocalVisible = false;
    bool leftConnected = false;
    bool rightConnected = false;
    bool ontoQueue = false; // dropped on the queue itself, not on a remote list
    int onDragDrop = 0;     // "On DragDrop": 0 queue, 1 transfer
};

// What a drop queues: a list's selection site to site or as downloads (when
// the other pane shows its local list), a tree's node, or a local pane's
// selection as uploads; and whether the queue then starts.
struct DropPlan {
    enum Kind { Nothing, SiteToSite, Download, TreeNode, Upload };
    Kind kind = Nothing;
    SideId side = SideId::Left; // the side the items come from
    bool startQueue = false;
};

// Where a drag may end.
enum class DropTarget { Queue, LeftList, RightList, LeftLocal, RightLocal, None };

DropPlan PlanQueueDrop(DragSource source, const DropContext& context);
// Whether the queue view takes a drag from this source.
bool AcceptQueueDrag(DragSource source, const DropContext& context);
// Whether a target takes the drag: only what queues something; a list never
// takes its own side's items, and a local list only the other side's remote
// list (a download into its folder).
bool AcceptsDrop(DropTarget target, DragSource source, const DropContext& context);
