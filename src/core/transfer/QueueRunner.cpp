#include "transfer/QueueRunner.h"

#include "app/App.h"
#include "app/DesktopServices.h"
#include "app/RemotePath.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"

#include <QCoreApplication>
#include <QLocale>

QueueRunner::QueueRunner(App& app, QObject* parent)
    : QObject(parent), m_app(app), m_fxp(app), m_expansion(app) {}

void QueueRunner::log(const QString& text, Colour colour) {
    m_app.statusLog().AddStatusLine(text, colour);
}

void QueueRunner::playErrorSound() {
    const Settings& s = m_app.settings();
    PlayEventSound(m_app.services(), s.errorWav, SoundKind(s.errorSound));
}

void QueueRunner::setQueueMenuTransfer(bool enabled) {
    if (m_queueMenuTransfer == enabled)
        return;
    m_queueMenuTransfer = enabled;
    Q_EMIT queueMenuTransferChanged(enabled);
}

void QueueRunner::setStopButtons(bool active) {
    for (Side* side : {&m_app.left(), &m_app.right()}) {
        side->setButtonImage(SideButton::Stop, active ? StopImageActive : StopImageIdle);
        side->setButtonEnabled(SideButton::Stop, active);
    }
}

void QueueRunner::setTransferButtons(bool enabled) {
    m_app.left().setButtonEnabled(SideButton::Transfer, enabled);
    m_app.right().setButtonEnabled(SideButton::Transfer, enabled);
}

void QueueRunner::Transfer1Click() {
    Side& left = m_app.left();
    Side& right = m_app.right();
    if (m_running || left.state().Busy || right.state().Busy || m_app.queue().isEmpty() ||
        !left.button(SideButton::Transfer).enabled || !right.button(SideButton::Transfer).enabled)
        return;
    TransferRunState& run = m_app.runState();
    run.runActive(SideId::Left) = run.runActive(SideId::Right) = true;
    run.StartPath = {left.currentPath(), right.currentPath()};
    run.StopRequested = false;
    setTransferButtons(false);
    setQueueMenuTransfer(false);
    run.LastCreatedDir.clear();
    run.totals = RunTotals();
    run.abandoned.clear();
    m_running = true;
    this->run();
}

void QueueRunner::finishRun(RunEnd how) {
    m_running = false;
    // The statistics held back during the run are written when it ends.
    m_app.siteStats().Flush();
    Q_EMIT runEnded(how);
}

void QueueRunner::run() {
    TransferRunState& run = m_app.runState();
    // Every step removes an entry or ends the run; an expansion adds only
    // what a finite listing holds.
    for (;;) {
        if (run.StopRequested) {
            ActionStopped();
            finishRun(RunEnd::Stopped);
            return;
        }
        if (m_app.queue().isEmpty()) {
            Completion();
            finishRun(RunEnd::Completed);
            return;
        }
        const QueueEntry head = m_app.queue().entry(0);
        if (!claimSides(head)) {
            finishRun(RunEnd::NotConnected);
            return;
        }
        try {
            if (processHead(head) == Step::EndRun)
                return;
        } catch (const NetError& e) {
            // A lost session or a wait that failed: the run stops here and
            // the entry stays for the reconnect.
            log(e.message(), clRed);
            run.StopRequested = true;
        }
    }
}

bool QueueRunner::claimSides(const QueueEntry& entry) {
    switch (entry.direction) {
    case Direction::FxpLeftToRight:
    case Direction::FxpRightToLeft:
        if (!m_app.left().session().isConnected() || !m_app.right().session().isConnected()) {
            setStopButtons(false);
            setTransferButtons(true);
            playErrorSound();
            log(QStringLiteral("Error: Not Connected!"), clRed);
            return false;
        }
        setStopButtons(true);
        m_app.left().state().Busy = m_app.right().state().Busy = true;
        break;
    case Direction::UploadToLeft:
    case Direction::DownloadFromLeft:
    case Direction::UploadToRight:
    case Direction::DownloadFromRight: {
        const bool left =
            entry.direction == Direction::UploadToLeft || entry.direction == Direction::DownloadFromLeft;
        Side& side = left ? m_app.left() : m_app.right();
        side.setButtonImage(SideButton::Stop, StopImageActive);
        side.setButtonEnabled(SideButton::Stop, true);
        side.state().Busy = true;
        break;
    }
    }
    return true;
}

void QueueRunner::removeHead(const QueueEntry& entry) {
    QueueModel& queue = m_app.queue();
    // The queue may be edited while a file moves; only this entry goes.
    if (!queue.isEmpty() && queue.entry(0) == entry)
        queue.removeHead();
}

QueueRunner::Step QueueRunner::processHead(const QueueEntry& entry) {
    switch (entry.direction) {
    case Direction::FxpLeftToRight:
    case Direction::FxpRightToLeft:
        return entry.isFile() ? processSiteToSiteFile(entry) : processDirectory(entry);
    case Direction::DownloadFromLeft:
    case Direction::DownloadFromRight:
        return entry.isFile() ? processLocalFile(entry, true) : processDirectory(entry);
    case Direction::UploadToLeft:
    case Direction::UploadToRight:
        return entry.isFile() ? processLocalFile(entry, false) : processDirectory(entry);
    }
    TransferRunState& run = m_app.runState();
    run.runActive(SideId::Left) = run.runActive(SideId::Right) = false;
    m_app.setTitle(QString::fromLatin1(App::Title));
    finishRun(RunEnd::UnknownEntry);
    return Step::EndRun;
}

QueueRunner::Step QueueRunner::processSiteToSiteFile(const QueueEntry& entry) {
    const SideId source =
        entry.direction == Direction::FxpLeftToRight ? SideId::Left : SideId::Right;
    const FxpOutcome outcome = m_fxp.FxpTransferFile(entry.SourcePath, entry.TargetPath, source,
                                                     nextFileSharesDirectories(entry));
    QCoreApplication::processEvents();
    bool failed = false;
    switch (outcome) {
    case FxpOutcome::Failed:
    case FxpOutcome::Skipped:
    case FxpOutcome::NoDirectory:
        failed = true;
        break;
    case FxpOutcome::Stopped:
        // Not done: it stays at the head and runs again after a reconnect.
        return Step::Next;
    case FxpOutcome::Done:
    case FxpOutcome::SkippedExisting:
        break;
    }
    // With the source lost a failed entry stays for the reconnect, so it has
    // not failed yet: counting it too would report a file that arrives
    // later. One that arrived leaves, or it would be copied again.
    if (!failed || m_app.side(source).session().isConnected()) {
        removeHead(entry);
        if (failed)
            m_app.runState().abandoned.append(entry.SourcePath);
    }
    return Step::Next;
}

bool QueueRunner::nextFileSharesDirectories(const QueueEntry& entry) const {
    const QueueModel& queue = m_app.queue();
    if (queue.count() < 2)
        return false;
    const QueueEntry& next = queue.entry(1);
    return next.isFile() && next.direction == entry.direction &&
           DirectoryPart(next.SourcePath) == DirectoryPart(entry.SourcePath) &&
           DirectoryPart(next.TargetPath) == DirectoryPart(entry.TargetPath);
}

QueueRunner::Step QueueRunner::processDirectory(const QueueEntry& entry) {
    TransferRunState& run = m_app.runState();
    SideId source = SideId::Left;
    DirectoryExpansion::Mode mode = DirectoryExpansion::Mode::SiteToSite;
    switch (entry.direction) {
    case Direction::FxpLeftToRight:
    case Direction::FxpRightToLeft:
        source = entry.direction == Direction::FxpLeftToRight ? SideId::Left : SideId::Right;
        m_expansion.CleanUpBefore(entry);
        run.FilesSinceDirStart = 0;
        break;
    case Direction::DownloadFromLeft:
    case Direction::DownloadFromRight:
        source = entry.direction == Direction::DownloadFromLeft ? SideId::Left : SideId::Right;
        mode = DirectoryExpansion::Mode::Download;
        break;
    case Direction::UploadToLeft:
    case Direction::UploadToRight:
        // The local list of the other pane holds an upload's source.
        source = entry.direction == Direction::UploadToRight ? SideId::Left : SideId::Right;
        mode = DirectoryExpansion::Mode::Upload;
        break;
    }
    m_expansion.ExpandQueuedDirectory(entry.SourcePath, source, mode);
    if (run.StopRequested) {
        ActionStopped();
        finishRun(RunEnd::Stopped);
        return Step::EndRun;
    }
    removeHead(entry);
    return Step::Next;
}

void QueueRunner::logSummary(const QString& prefix) {
    const RunTotals& totals = m_app.runState().totals;
    if (totals.files <= 1)
        return;
    const QLocale locale;
    const qint64 seconds = totals.seconds > 0 ? totals.seconds : 1;
    const double rate = double(totals.bytes) / double(seconds) / 1024.0;
    log(prefix + QString::number(totals.files) + QStringLiteral(" Files  Total Size: ") +
            locale.toString(totals.bytes) + QStringLiteral("  bytes in ") +
            FormatDuration(seconds) + QStringLiteral(" (") + locale.toString(rate, 'f', 2) +
            QStringLiteral(" k/sec)"),
        clMaroon);
}

void QueueRunner::Completion() {
    TransferRunState& run = m_app.runState();
    const Settings& s = m_app.settings();
    PlayEventSound(m_app.services(), s.queueWav, SoundKind(s.queueSound));
    m_app.setTitle(QString::fromLatin1(App::Title));
    setStopButtons(false);
    setQueueMenuTransfer(true);
    logSummary(QStringLiteral("Queue done: Transfered "));
    m_expansion.FinalCleanUp();
    Side* sides[] = {&m_app.left(), &m_app.right()};
    if (!m_app.onCompleteIdle()) {
        for (Side* side : sides)
            side->state().UserDisconnect = true;
        log(QStringLiteral("Transfers Done, Logging off Sites"), clFuchsia);
        for (Side* side : sides) {
            if (!side->session().isConnected())
                continue;
            try {
                side->session().DoCommand(QStringLiteral("QUIT"));
            } catch (const NetError&) {
                // Going anyway: the disconnect handler resets the side.
            }
        }
    } else {
        for (Side* side : sides) {
            if (!side->session().isConnected())
                continue;
            const QString start = run.StartPath[size_t(TransferRunState::index(side->id()))];
            try {
                if (!start.isEmpty() && side->currentPath() != start)
                    side->session().ChangeDir(start);
                else
                    m_app.listing().RefreshDirectory(side->id(), false);
            } catch (const NetError& e) {
                log(e.message(), clRed);
            }
        }
    }
    // A finished run has nothing to restart, whichever way it ended.
    for (Side* side : sides)
        side->state().Busy = false;
    run.runActive(SideId::Left) = run.runActive(SideId::Right) = false;
}

void QueueRunner::ActionStopped(bool summary) {
    log(QStringLiteral("Action STOPPED!"), clRed);
    playErrorSound();
    m_app.transferTimer().stop();
    m_app.left().setStatusBarText(QString());
    m_app.right().setStatusBarText(QString());
    setStopButtons(false);
    if (!m_app.left().button(SideButton::Transfer).enabled && !m_app.queue().isEmpty()) {
        setTransferButtons(true);
        setQueueMenuTransfer(true);
    }
    m_app.deletion().queue().setShown(false);
    if (summary)
        logSummary(QStringLiteral("Transfered "));
    m_app.left().state().Busy = m_app.right().state().Busy = false;
}

void QueueRunner::AbortClick() {
    m_app.runState().StopRequested = true;
    setStopButtons(false);
    setTransferButtons(true);
    m_app.deletion().queue().setShown(false);
}
