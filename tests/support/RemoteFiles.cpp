#include "RemoteFiles.h"

#include "net/FtpSession.h"

#include <QFile>
#include <QTemporaryFile>

bool PutRemoteFile(FtpSession& session, const QString& remote, const QByteArray& content) {
    QTemporaryFile local;
    if (!local.open() || local.write(content) != content.size())
        return false;
    local.close();
    session.Mode(FtpSession::TransferType::Image);
    session.Upload(local.fileName(), remote, true, session.remoteAddress());
    if (!FtpReplies::IsErrorReply(session.lastReply()))
        return true;
    qWarning("upload of %s refused: %s", qPrintable(remote), session.lastReply().constData());
    return false;
}

QByteArray FetchRemoteFile(FtpSession& session, const QString& remote) {
    QTemporaryFile local;
    if (!local.open())
        return "(failed: no temporary file)";
    local.close();
    try {
        session.Mode(FtpSession::TransferType::Image);
        session.Download(remote, local.fileName(), false, true, session.remoteAddress());
    } catch (const std::exception& e) {
        return QByteArray("(failed: ") + e.what() + ')';
    }
    if (FtpReplies::IsErrorReply(session.lastReply()))
        return "(failed: " + session.lastReply() + ')';
    QFile file(local.fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(failed: unreadable)");
}
