// The runner's downloads and uploads: one file between a server and the
// local disk, framed by the progress display and the "Transfer done: " line.
#include "app/App.h"
#include "app/RemotePath.h"
#include "net/FtpSession.h"
#include "transfer/QueueRunner.h"

#include <QFileInfo>
#include <QLocale>

namespace {
// A reconnect during a download asks for it again at once; never without end.
constexpr int MaxDownloadRepeats = 3;
} // namespace

QueueRunner::Step QueueRunner::processLocalFile(const QueueEntry& entry, bool download) {
    TransferRunState& run = m_app.runState();
    const bool onLeft = download ? entry.direction == Direction::DownloadFromLeft
                                 : entry.direction == Direction::UploadToLeft;
    Side& side = onLeft ? m_app.left() : m_app.right();
    side.session().DoCommand(QStringLiteral("TYPE I"));
    side.state().Busy = true;
    run.startLocal(side.id(), !download);
    m_app.transferTimer().start();

    LocalTransfer& local = m_app.localTransfer();
    LocalTransfer::Result result;
    if (download) {
        for (int repeat = 0; repeat < MaxDownloadRepeats; ++repeat) {
            result = local.LocalDownload(side.id(), entry.SourcePath, false, entry.TargetPath,
                                         entry.SizeText);
            if (!onLeft || !run.RetryCurrent)
                break;
        }
    } else {
        result = local.LocalUpload(side.id(), entry.SourcePath, entry.TargetPath);
    }
    const qint64 elapsed = run.localStart.elapsed();
    m_app.transferTimer().stop();
    run.resetLocal();
    side.setStatusBarText(QStringLiteral("Idle."));

    const QString name = FileNamePart(download ? result.localPath : entry.TargetPath);
    switch (result.outcome) {
    case LocalTransfer::Outcome::Done: {
        const qint64 size = QFileInfo(download ? result.localPath : entry.SourcePath).size();
        log(FormatTransferDone(elapsed, size, name, run.totals, QLocale()), clMaroon);
        break;
    }
    case LocalTransfer::Outcome::Skipped:
        // Nothing moved: not a "Transfer done: " line, and not in the totals.
        log(QStringLiteral("File Skipped: %1 (%2)").arg(name, result.message), clMaroon);
        break;
    case LocalTransfer::Outcome::Failed:
        log(QStringLiteral("Transfer failed: %1: %2").arg(name, result.message), clRed);
        run.abandoned.append(entry.SourcePath);
        break;
    case LocalTransfer::Outcome::Stopped:
        log(QStringLiteral("Transfer failed: %1: %2").arg(name, result.message), clRed);
        // The entry stays at the head for the restart.
        run.StopRequested = true;
        return Step::Next;
    }
    // A right-side download a reconnect cut runs again as the next round.
    if (entry.direction == Direction::DownloadFromRight && run.RetryCurrent) {
        run.RetryCurrent = false;
        return Step::Next;
    }
    if (side.session().isConnected())
        removeHead(entry);
    return Step::Next;
}
