#pragma once

#include "app/SideState.h"
#include "transfer/TransferProgress.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <array>

// The program-wide flags of a queue run that waits and reconnects test.
struct TransferRunState {
    static int index(SideId side) { return side == SideId::Left ? 0 : 1; }

    bool StopRequested = false;
    // The head entry runs again after an automatic reconnect.
    bool RetryCurrent = false;
    // Set for both sides while a run is under way; a stopped run leaves
    // them set, so a reconnected side restarts the queue.
    std::array<bool, 2> RunActive{};
    bool& runActive(SideId side) { return RunActive[index(side)]; }
    // Each side's directory when the run started; an idle end returns there.
    std::array<QString, 2> StartPath;

    // Files done or skipped as present since the runner last expanded a
    // directory (an empty target directory is removed afterwards).
    int FilesSinceDirStart = 0;
    // The directory the last site-to-site expansion created and entered.
    QString LastCreatedDir;
    SideId LastCreatedDirSide = SideId::Right;
    // Entries the current expansion put behind the head.
    int ExpandInsertCount = 0;
    // Seconds of the current site-to-site file, counted by the transfer timer.
    qint64 ElapsedSeconds = 0;
    RunTotals totals;
    // Source paths of this run's files (or whole directories) that did not
    // arrive: failed, refused, cut short. An unattended run names them and
    // reports failure when there are any.
    QStringList abandoned;

    // A download or upload through this program is under way.
    bool LocalBusy = false;
    QElapsedTimer localStart;
    std::array<qint64, 2> LocalBytes{};
    // The side whose session moves the file; its listings stay out of the count.
    std::array<bool, 2> localTransfer{};
    // The side's local transfer is an upload.
    std::array<bool, 2> sending{};
    // The download's size as the listing showed it: the progress total when
    // the server announces none.
    std::array<qint64, 2> listedSize{};
    void startLocal(SideId side, bool upload) {
        LocalBusy = true;
        localStart.start();
        localTransfer[size_t(index(side))] = true;
        sending[size_t(index(side))] = upload;
    }
    void resetLocal() {
        LocalBusy = false;
        LocalBytes = {};
        localTransfer = {};
        sending = {};
        listedSize = {};
    }
};
