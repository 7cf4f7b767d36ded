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
    // A local list's items go up to the other side's server: that it is
    // connected is what counts, whatever the other pane shows.
    if (source == DragSource::LeftLocal)
        return c.rightConnected;
    if (source == DragSource::RightLocal)
        return c.leftConnected;
    // From outside the program nothing could be queued.
    if (source == DragSource::Other)
        return false;
    const bool bothConnected = c.leftConnected && c.rightConnected;
    if (!bothConnected && !c.leftLocalVisible && !c.rightLocalVisible)
        return false;
    return !c.leftLocalVisible || !c.rightLocalVisible;
}

bool AcceptsDrop(DropTarget target, DragSource source, const DropContext& c) {
    if (target == DropTarget::None || source == DragSource::Other)
        return false;
    const DropPlan plan = PlanQueueDrop(source, c);
    switch (target) {
    case DropTarget::Queue:
        return plan.kind != DropPlan::Nothing && AcceptQueueDrag(source, c);
    case DropTarget::LeftList:
    case DropTarget::RightList:
        // A drag that ends on its own side is not a transfer.
        return plan.kind != DropPlan::Nothing &&
               plan.side != (target == DropTarget::LeftList ? SideId::Left : SideId::Right);
    case DropTarget::LeftLocal:
    case DropTarget::RightLocal:
        return plan.kind == DropPlan::Download &&
               plan.side != (target == DropTarget::LeftLocal ? SideId::Left : SideId::Right);
    case DropTarget::None:
        break;
    }
    return false;
}
