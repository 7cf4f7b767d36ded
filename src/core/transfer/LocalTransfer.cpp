#include "transfer/LocalTransfer.h"

#include "app/App.h"
#include "app/DesktopServices.h"
#include "app/RemotePath.h"
#include "app/UserPrompts.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>

std::optional<bool> LocalTransfer::PassiveFor(int listMode, bool altList) {
    switch (listMode) {
    case 1:
        return false;
    case 2:
        return true;
    case 3:
        return altList;
    default:
        return std::nullopt;
    }
}

template <typename Transfer>
LocalTransfer::Result LocalTransfer::run(Side& side, Transfer&& transfer) {
    FtpSession& session = side.session();
    Result result;
    try {
        transfer();
        if (FtpReplies::IsErrorReply(session.lastReply())) {
            result.outcome = Outcome::Failed;
            result.message = session.LastReplyText();
        }
    } catch (const SocketAbortError& e) {
        result = {Outcome::Stopped, e.message(), {}};
    } catch (const NetError& e) {
        result = {session.isConnected() ? Outcome::Failed : Outcome::Stopped, e.message(), {}};
    }
    return result;
}

LocalTransfer::Result LocalTransfer::LocalDownload(SideId id, const QString& remotePath, bool noAsk,
                                                   const QString& givenPath,
                                                   const QString& remoteSizeText) {
    Side& side = m_app.side(id);
    TransferRunState& runState = m_app.runState();
    QString localPath = givenPath;
    bool resume = runState.RetryCurrent;
    // Writing through a link would put the file wherever the link points.
    if (QFileInfo(localPath).isSymLink())
        return {Outcome::Failed, QStringLiteral("a link is in its place; it is not followed"),
                localPath};
    if (QFileInfo::exists(localPath) && !noAsk && !runState.RetryCurrent) {
        const Settings& s = m_app.settings();
        int choice = s.onLocalDuplicate;
        if (choice == 0) {
            FileExistsQuestion question{localPath, QFileInfo(localPath).size(), remoteSizeText,
                                        s.wait};
            const FileExistsChoice answer = m_app.prompts().fileExists(question);
            if (answer == FileExistsChoice::Resume) {
                resume = true;
            } else if (answer == FileExistsChoice::Rename) {
                const auto renamed = m_app.prompts().inputBox(
                    QStringLiteral("File Exists, Saving As"), QStringLiteral("Enter New Filename"),
                    localPath);
                if (renamed && !renamed->isEmpty())
                    localPath = *renamed;
            } else if (answer == FileExistsChoice::Skip) {
                return {Outcome::Skipped, QStringLiteral("the local file exists"), localPath};
            }
        } else if (choice == 2) {
            resume = true;
        } else if (choice == 3) {
            return {Outcome::Skipped, QStringLiteral("the local file exists"), localPath};
        }
    }
    runState.RetryCurrent = false;
    const std::optional<bool> passive = PassiveFor(side.state().ListMode, m_app.settings().altList);
    if (!passive)
        return {Outcome::Failed, QStringLiteral("the site's data connection mode is unknown"),
                localPath};
    const QHostAddress address(side.state().RemoteAddress);
    runState.listedSize[size_t(TransferRunState::index(id))] =
        DigitsOnly(remoteSizeText).toLongLong();
    Result result = run(side, [&] {
        side.session().Download(remotePath, localPath, resume, *passive, address);
    });
    result.localPath = localPath;
    // The side's own local list shows what arrived.
    side.refreshLocalFolder();
    return result;
}

LocalTransfer::Result LocalTransfer::LocalUpload(SideId id, const QString& localPath,
                                                 const QString& remotePath) {
    Side& side = m_app.side(id);
    const std::optional<bool> passive = PassiveFor(side.state().ListMode, m_app.settings().altList);
    if (!passive)
        return {Outcome::Failed, QStringLiteral("the site's data connection mode is unknown"), {}};
    const QHostAddress address(side.state().RemoteAddress);
    return run(side, [&] { side.session().Upload(localPath, remotePath, *passive, address); });
}

void LocalTransfer::UploadFile(SideId id) {
    const QString file = m_app.prompts().openFileName(QStringLiteral("Open"), m_app.startFolder(),
                                                      QStringLiteral("(All Files) (*)"));
    if (file.isEmpty())
        return;
    Side& side = m_app.side(id);
    TransferRunState& runState = m_app.runState();
    side.state().Busy = true;
    runState.startLocal(id, true);
    m_app.transferTimer().start();
    Result result;
    try {
        side.session().Mode(FtpSession::TransferType::Image);
        result = LocalUpload(id, file, FileNamePart(file));
    } catch (const NetError& e) {
        result = {Outcome::Stopped, e.message(), {}};
    }
    side.state().Busy = false;
    m_app.transferTimer().stop();
    runState.resetLocal();
    side.setStatusBarText(QStringLiteral("Idle."));
    if (result.outcome != Outcome::Done)
        m_app.statusLog().AddStatusLine(QStringLiteral("Upload failed: ") + FileNamePart(file) +
                                            QStringLiteral(": ") + result.message,
                                        clRed);
    if (side.session().isConnected())
        m_app.listing().RefreshDirectory(id, false);
}

void LocalTransfer::ViewFile(SideId id) {
    Side& side = m_app.side(id);
    const QList<int> rows = side.selectedRows();
    if (rows.isEmpty() || side.listing().entry(rows.first()).kind != EntryKind::File)
        return;
    const QString name = side.listing().entry(rows.first()).name;
    if (!IsPlainName(name)) {
        m_app.statusLog().AddStatusLine(RefusedNameLine(name), clRed);
        return;
    }
    const Settings& s = m_app.settings();
    QString folder = s.downloadDirectory.trimmed();
    if (s.useTemp || folder.isEmpty())
        folder = QDir::tempPath();
    const QString localPath = QDir(folder).filePath(name);
    side.state().Busy = true;
    side.setListEnabled(false);
    Result result;
    try {
        side.session().Mode(FtpSession::TransferType::Image);
        m_app.runState().sending[size_t(TransferRunState::index(id))] = false;
        result = LocalDownload(id, name, true, localPath);
    } catch (const NetError& e) {
        result = {Outcome::Stopped, e.message(), localPath};
    }
    side.setListEnabled(true);
    side.state().Busy = false;
    if (result.outcome != Outcome::Done) {
        m_app.statusLog().AddStatusLine(QStringLiteral("View File: ") + name + QStringLiteral(": ") +
                                            result.message,
                                        clRed);
        return;
    }
    if (s.viewWithShell)
        m_app.services().openFile(result.localPath);
    else if (!s.fileViewer.isEmpty())
        m_app.services().startProgram(s.fileViewer, {result.localPath});
}
