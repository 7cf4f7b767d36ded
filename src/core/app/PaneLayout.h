#pragma once

// Splitter positions of the lower area: BottomSplit divides queue (first)
// and status window (second); ClientSplit divides the sides (above) from
// that area (below). A pane is hidden by moving its splitter to an end.
struct PaneSplits {
    int bottom = 0;     // BottomSplit position
    int bottomSize = 0; // BottomSplit's whole length
    int client = 0;     // ClientSplit position
    int clientSize = 0; // ClientSplit's whole length
};

// Decides where the splitters go for "Show Status" and "Show Queue".
class PaneLayout {
public:
    bool statusShown() const { return m_statusShown; }
    bool queueShown() const { return m_queueShown; }
    int lastClient() const { return m_lastClient; }

    // Reads the check marks off restored splitter positions.
    void adoptPositions(const PaneSplits& splits);
    PaneSplits toggleStatus(PaneSplits splits);
    PaneSplits toggleQueue(PaneSplits splits);

private:
    PaneSplits hideBoth(PaneSplits splits);
    PaneSplits leaveHiddenArea(PaneSplits splits) const;

    bool m_statusShown = true;
    bool m_queueShown = true;
    int m_lastClient = 320;
};
