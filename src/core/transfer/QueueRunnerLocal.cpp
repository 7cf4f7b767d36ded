// The runner's downloads and uploads: one file between a server and the
// local disk, framed by the progress display and the "Transfer done: " line.
#include "app/App.h"
#include "app/RemotePath.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"
#include "transfer/QueueRunner.h"

#include <QFileInfo>
#include <QHostAddress>
#include <QLocale>

#include <optional>

namespace {

// The side's data connection: 1 active, 2 passive, 3 as "Alt List" says.
std::optional<bool> PassiveFor(const Side& side, const Settings& settings) {
    switch (side.state().ListMode) {
    case 1:
        return false;
    case 2:
        return true;
    case 3:
        return settings.altList;
    default:
        return std::nullopt;
    }
}

} // namespace

QueueRunner::Step QueueRunner::processLocalFile(const QueueEntry& entry, bool download) {
    TransferRunState& run = m_app.runState();
    const bool onLeft = download ? entry.direction == Direction::DownloadFromLeft
                                 : entry.direction == Direction::UploadToLeft;
    Side& side = onLeft ? m_app.left() : m_app.right();
    FtpSession& session = side.session();
    session.DoCommand(QStringLiteral("TYPE I"));
    side.state().Busy = true;
    run.startLocal(side.id(), !download);
    m_app.transferTimer().start();

    QString failure;
    bool runEnds = false;
    const std::optional<bool> passive = PassiveFor(side, m_app.settings());
    const QHostAddress address(side.state().RemoteAddress);
    if (!passive) {
        failure = QStringLiteral("the site's data connection mode is unknown");
    } else {
        try {
            if (download) {
                // After a reconnect the cut file is resumed, not fetched again.
                const bool resume = run.RetryCurrent;
                run.RetryCurrent = false;
                session.Download(entry.SourcePath, entry.TargetPath, resume, *passive, address);
            } else {
                session.Upload(entry.SourcePath, entry.TargetPath, *passive, address);
            }
            if (FtpReplies::IsErrorReply(session.lastReply()))
                failure = session.LastReplyText();
        } catch (const SocketAbortError& e) {
            failure = e.message();
            runEnds = true;
        } catch (const NetError& e) {
            failure = e.message();
            runEnds = !session.isConnected();
        }
    }
    const qint64 elapsed = run.localStart.elapsed();
    m_app.transferTimer().stop();
    run.resetLocal();
    side.setStatusBarText(QStringLiteral("Idle."));

    const QString name = FileNamePart(entry.TargetPath);
    if (failure.isEmpty()) {
        // A file that is not there counts as empty; the run goes on.
        const qint64 size = QFileInfo(download ? entry.TargetPath : entry.SourcePath).size();
        log(FormatTransferDone(elapsed, size, name, run.totals, QLocale()), clMaroon);
    } else {
        log(QStringLiteral("Transfer failed: ") + name + QStringLiteral(": ") + failure, clRed);
    }
    if (runEnds) {
        // The entry stays at the head for the restart.
        run.StopRequested = true;
        return Step::Next;
    }
    // A file that failed while the run goes on is not retried.
    if (!failure.isEmpty())
        ++run.abandonedFiles;
    if (session.isConnected())
        removeHead(entry);
    return Step::Next;
}
