#pragma once

#include "app/SideState.h"
#include "transfer/TransferProgress.h"

#include <array>

// The program-wide flags of a queue run that waits and reconnects test.
struct TransferRunState {
    bool StopRequested = false;
    // The head entry runs again after an automatic reconnect.
    bool RetryCurrent = false;
    // Set for both sides while a run is under way; a stopped run leaves
    // them set, so a reconnected side restarts the queue.
    std::array<bool, 2> RunActive{};

    bool& runActive(SideId side) { return RunActive[side == SideId::Left ? 0 : 1]; }

    // Files done or skipped as present since the runner last expanded a
    // directory (an empty target directory is removed afterwards).
    int FilesSinceDirStart = 0;
    // Seconds of the current site-to-site file, counted by the transfer timer.
    qint64 ElapsedSeconds = 0;
    RunTotals totals;
};
