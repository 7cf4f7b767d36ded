#include "transfer/QueueDrop.h"

DropPlan PlanQueueDrop(DragSource source, const DropContext& c) {
    DropPlan plan;
    switch (source) {
    case DragSource::LeftList:
        plan = {c.rightLocalVisible ? DropPlan::Download : DropPlan::SiteToSite, SideId::Left};
        break;
    case DragSource::RightList:
        plan = {c.leftLocalVisible ? DropPlan::Download : DropPlan::SiteToSite, SideId::Right};
        break;
    case DragSource::LeftTree:
        plan = {DropPlan::TreeNode, SideId::Left};
        break;
    case DragSource::RightTree:
        plan = {DropPlan::TreeNode, SideId::Right};
        break;
    case DragSource::LeftLocal:
        if (c.rightConnected)
            plan = {DropPlan::Upload, SideId::Left};
        break;
    case DragSource::RightLocal:
        if (c.leftConnected)
            plan = {DropPlan::Upload, SideId::Right};
        break;
    case DragSource::Other:
        break;
    }
    plan.startQueue = !c.ontoQueue && c.onDragDrop == 1;
    return plan;
}

bool AcceptQueueDrag(DragSource source, const DropContext& c) {
    if (source == DragSource::LeftLocal)
        return c.rightLocalVisible && c.rightConnected;
    if (source == DragSource::RightLocal)
        return c.leftLocalVisible && c.leftConnected;
    const bool bothConnected = c.leftConnected && c.rightConnected;
    if (!bothConnected && !c.leftLocalVisible && !c.rightLocalVisible)
        return false;
    return !c.leftLocalVisible || !c.rightLocalVisible;
}
