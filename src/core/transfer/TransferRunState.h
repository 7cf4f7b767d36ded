#pragma once

#include "app/SideState.h"

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
};
