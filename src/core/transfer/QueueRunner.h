#pragma once

#include "app/Colour.h"
#include "app/SideState.h"
#include "transfer/DirectoryExpansion.h"
#include "transfer/FxpTransfer.h"
#include "transfer/QueueEntry.h"

#include <QObject>

class App;
class Side;

// Works through the transfer queue from its head until it is empty or the
// run is stopped: files are transferred and removed, directories expanded
// into the entries behind them. Owns the run's bookkeeping: busy sides,
// buttons, stop requests, totals, and what happens when the queue is done.
class QueueRunner : public QObject {
    Q_OBJECT
public:
    // How a run ended.
    enum class RunEnd {
        Completed,    // the queue ran empty
        Stopped,      // a stop request or a lost session
        NotConnected, // a site-to-site entry found a side disconnected
        UnknownEntry, // an entry of no known direction stays at the head
    };
    Q_ENUM(RunEnd)

    explicit QueueRunner(App& app, QObject* parent = nullptr);

    // Starts a run and returns when it has ended, pumping events meanwhile.
    // Does nothing while a side is busy, the queue is empty or the Transfer
    // buttons are off.
    void Transfer1Click();
    // Both Stop buttons: the run stops once the current file is done.
    void AbortClick();
    bool running() const { return m_running; }
    // "Action STOPPED!": buttons, panels and flags back to idle; the summary
    // of the files counted so far unless the stop was not a transfer's.
    void ActionStopped(bool summary = true);
    // Both Stop buttons: in use (image 7, enabled) or idle.
    void setStopButtons(bool active);
    // The queue menu's "&Transfer": off while a run holds it.
    bool queueMenuTransferEnabled() const { return m_queueMenuTransfer; }

Q_SIGNALS:
    void runEnded(QueueRunner::RunEnd how);
    void queueMenuTransferChanged(bool enabled);

private:
    enum class Step { Next, EndRun };

    void run();
    bool claimSides(const QueueEntry& entry);
    Step processHead(const QueueEntry& entry);
    Step processSiteToSiteFile(const QueueEntry& entry);
    // The entry behind the head is a file going the same way between the
    // same two directories.
    bool nextFileSharesDirectories(const QueueEntry& entry) const;
    Step processDirectory(const QueueEntry& entry);
    Step processLocalFile(const QueueEntry& entry, bool download);
    // The entry is done: it leaves the queue unless the user removed it meanwhile.
    void removeHead(const QueueEntry& entry);
    void Completion();
    void finishRun(RunEnd how);
    void setQueueMenuTransfer(bool enabled);
    void setTransferButtons(bool enabled);
    void logSummary(const QString& prefix);
    void log(const QString& text, Colour colour);
    void playErrorSound();

    App& m_app;
    FxpTransfer m_fxp;
    DirectoryExpansion m_expansion;
    bool m_running = false;
    bool m_queueMenuTransfer = true;
};
