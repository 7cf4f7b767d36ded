#include "FxpServers.h"

#include <QStringList>
#include <QTcpSocket>
#include <QUrl>

QByteArray Endpoint::url(const QString& remotePath) const {
    QString path = remotePath;
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    return "ftp://" + QUrl::toPercentEncoding(user) + ':' + QUrl::toPercentEncoding(password) +
           '@' + host.toUtf8() + ':' + QByteArray::number(port) + "/%2F" +
           QUrl::toPercentEncoding(path, "/");
}

namespace {

QString greeting(const QString& host, quint16 port) {
    QTcpSocket socket;
    socket.connectToHost(host, port);
    if (!socket.waitForConnected(5000))
        return QStringLiteral("(no answer: %1)").arg(socket.errorString());
    if (!socket.canReadLine() && !socket.waitForReadyRead(5000))
        return QStringLiteral("(no greeting)");
    QByteArray line = socket.readLine().trimmed();
    socket.write("QUIT\r\n");
    socket.waitForBytesWritten(1000);
    socket.disconnectFromHost();
    return QString::fromUtf8(line);
}

} // namespace

bool ServerPair::fill(FtpServerFixture& server, const QString& slot, Endpoint& out,
                      QString& error) {
    if (!server.start()) {
        error = QStringLiteral("server %1: %2").arg(slot, server.errorString());
        return false;
    }
    out.slot = slot;
    out.host = server.host();
    out.port = server.port();
    out.user = server.user();
    out.password = server.password();
    out.baseDir = server.baseDir();
    if (!out.baseDir.endsWith(QLatin1Char('/')))
        out.baseDir += QLatin1Char('/');
    out.ownServer = server.isLocal();
    if (server.isLocal()) {
        out.localRoot = server.rootPath();
    } else {
        // Where the URL's directory lies on this machine, when the server is local.
        out.localRoot = QString::fromLocal8Bit(qgetenv(
            slot == u"A" ? "KORVANE_BENCH_FXP_ROOT_A" : "KORVANE_BENCH_FXP_ROOT_B"));
    }
    out.software = greeting(out.host, out.port);
    return true;
}

bool ServerPair::start(QString& error) {
    m_a = std::make_unique<FtpServerFixture>(FtpServerFixture::Slot::A);
    m_b = std::make_unique<FtpServerFixture>(FtpServerFixture::Slot::B);
    // Two addresses, as the site-to-site tests use: an address taken from
    // the wrong side shows.
    m_a->setListenHost(QStringLiteral("127.0.0.2"));
    m_b->setListenHost(QStringLiteral("127.0.0.3"));
    return fill(*m_a, QStringLiteral("A"), m_source, error) &&
           fill(*m_b, QStringLiteral("B"), m_target, error);
}

QByteArray LftpCommonSettings(bool passiveSource) {
    return QByteArray("set cmd:fail-exit yes; set ftp:ssl-allow no; set ftp:use-fxp yes; "
                      "set ftp:fxp-force yes; set ftp:fxp-passive-source ") +
           (passiveSource ? "yes" : "no") +
           "; set net:max-retries 2; set net:timeout 60; set net:reconnect-interval-base 1; "
           "set xfer:clobber yes; ";
}

ProcessRun RunLftp(const QByteArray& script, OutputMode mode, double timeoutSeconds, bool debug) {
    if (debug)
        return runProcess({"lftp", "-d", "-c", script}, mode, timeoutSeconds);
    return runProcess({"lftp", "-c", script}, mode, timeoutSeconds);
}

QByteArray LftpQuoted(const QByteArray& text) {
    QByteArray out = text;
    out.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + out + '"';
}

namespace {

// The last path component of each line "cls -1" printed; "." and ".." left out.
QStringList listedNames(const QByteArray& output) {
    QStringList names;
    for (const QByteArray& line : output.split('\n')) {
        QByteArray entry = line.trimmed();
        while (entry.endsWith('/'))
            entry.chop(1);
        entry = entry.mid(entry.lastIndexOf('/') + 1);
        if (!entry.isEmpty() && entry != "." && entry != "..")
            names << QString::fromUtf8(entry);
    }
    return names;
}

} // namespace

bool RemoveRemoteDir(const Endpoint& server, const QString& remoteDir, QString& error) {
    // Failing when the directory is not there is fine; the listing after it decides.
    const QByteArray script = "set ftp:ssl-allow no; set net:max-retries 2; open " +
                              LftpQuoted(server.url(QStringLiteral("/"))) + "; rm -r -f " +
                              LftpQuoted(remoteDir.toUtf8()) +
                              "; set cmd:fail-exit yes; cls -1 " +
                              LftpQuoted(server.baseDir.toUtf8());
    const ProcessRun run = RunLftp(script, OutputMode::Keep, 120);
    if (!run.ok) {
        error = QStringLiteral("removing %1 on %2: %3 %4")
                    .arg(remoteDir, server.slot, run.error, QString::fromUtf8(run.output));
        return false;
    }
    QString name = remoteDir;
    while (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    if (listedNames(run.output).contains(name)) {
        error = QStringLiteral("%1 is still there on %2 after removing it").arg(remoteDir, server.slot);
        return false;
    }
    return true;
}

bool ResetRemoteDir(const Endpoint& server, const QString& remoteDir, QString& error) {
    if (!RemoveRemoteDir(server, remoteDir, error))
        return false;
    const QByteArray script = "set ftp:ssl-allow no; set net:max-retries 2; "
                              "set cmd:fail-exit yes; open " +
                              LftpQuoted(server.url(QStringLiteral("/"))) + "; mkdir " +
                              LftpQuoted(remoteDir.toUtf8()) + "; cls -1a " + LftpQuoted(remoteDir.toUtf8());
    const ProcessRun run = RunLftp(script, OutputMode::Keep, 120);
    if (!run.ok || !listedNames(run.output).isEmpty()) {
        error = QStringLiteral("making %1 empty on %2: %3 %4")
                    .arg(remoteDir, server.slot, run.error, QString::fromUtf8(run.output));
        return false;
    }
    return true;
}

bool MirrorTree(const Endpoint& server, Mirror way, const QString& localDir,
                const QString& remoteDir, QString& error) {
    const bool upload = way == Mirror::Upload;
    const QByteArray from = (upload ? localDir : remoteDir).toUtf8();
    const QByteArray to = (upload ? remoteDir : localDir).toUtf8();
    const QByteArray script = LftpCommonSettings() + "open " +
                              LftpQuoted(server.url(QStringLiteral("/"))) + "; mirror " +
                              (upload ? "-R " : "") + "--no-perms " + LftpQuoted(from) + ' ' +
                              LftpQuoted(to);
    const ProcessRun run = RunLftp(script, OutputMode::Keep, 3600);
    if (!run.ok)
        error = QStringLiteral("%1 %2: %3 %4")
                    .arg(upload ? u"uploading to" : u"downloading from", server.slot, run.error,
                         QString::fromUtf8(run.output));
    return run.ok;
}
