#include "app/PaneLayout.h"

void PaneLayout::adoptPositions(const PaneSplits& splits) {
    m_queueShown = splits.bottom > 0;
    m_statusShown = splits.bottom < splits.bottomSize;
    if (splits.clientSize > 0 && splits.client >= splits.clientSize) {
        m_queueShown = false;
        m_statusShown = false;
    }
}

PaneSplits PaneLayout::hideBoth(PaneSplits splits) {
    if (splits.client < splits.clientSize)
        m_lastClient = splits.client;
    splits.client = splits.clientSize;
    return splits;
}

PaneSplits PaneLayout::leaveHiddenArea(PaneSplits splits) const {
    if (splits.client >= splits.clientSize)
        splits.client = m_lastClient;
    return splits;
}

PaneSplits PaneLayout::toggleStatus(PaneSplits splits) {
    if (m_statusShown) {
        m_statusShown = false;
        splits.bottom = splits.bottomSize;
        return m_queueShown ? splits : hideBoth(splits);
    }
    m_statusShown = true;
    splits.bottom = m_queueShown ? splits.bottomSize / 2 : 0;
    return leaveHiddenArea(splits);
}

PaneSplits PaneLayout::toggleQueue(PaneSplits splits) {
    if (m_queueShown) {
        m_queueShown = false;
        splits.bottom = 0;
        return m_statusShown ? splits : hideBoth(splits);
    }
    m_queueShown = true;
    splits.bottom = m_statusShown ? splits.bottomSize / 2 : splits.bottomSize;
    return leaveHiddenArea(splits);
}
