#include "net/FtpSession.h"

#include "net/NetErrors.h"
#include "net/WireText.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

using namespace FtpReplies;

namespace {

// How long to listen for the server's answer after a transfer was cut short.
constexpr int AbortReplyWaitMs = 1500;

bool startsWithErrorDigit(const QByteArray& line) {
    return !line.isEmpty() && (line.at(0) == '4' || line.at(0) == '5');
}

} // namespace

FtpSession::FtpSession(QObject* parent) : PumpingSocket(parent) {
    setPort(21);
    // Unread control lines are bounded too, however long nobody reads them.
    receiveBuffer().setSizeLimit(8 * 1024 * 1024);
    // A lost control connection ends any data wait too.
    connect(this, &PumpingSocket::disconnected, this, [this] {
        if (m_data)
            m_data->Cancel();
    });
}

FtpSession::~FtpSession() = default;

void FtpSession::dataReceived() {
    // The server announcing its close or a broken data connection stops
    // whatever this session waits for.
    const QByteArray head = receiveBuffer().peek(4);
    if (head.size() < 4)
        return;
    if (head.startsWith("421") || head.startsWith("426"))
        Abort();
    // While data flows, any refusal (425 can't open data connection) means
    // no data will come; waiting on would never end.
    else if (m_inDataPhase && (head.at(0) == '4' || head.at(0) == '5'))
        Abort();
}

void FtpSession::Abort() {
    if (m_data)
        m_data->Cancel();
    Cancel();
}

QByteArray FtpSession::Transaction(const QByteArray& command) {
    const QByteArray first = PumpingSocket::Transaction(command);
    readContinuation(first);
    return first;
}

QByteArray FtpSession::ReadReply() {
    const QByteArray first = ReadLn();
    if (!first.isEmpty()) {
        setLastReply(first, ReplyCode(first));
        reportStatus(first, 1);
    }
    readContinuation(first);
    return first;
}

void FtpSession::readContinuation(const QByteArray& first) {
    m_replyLines.clear();
    if (first.isEmpty()) {
        // No reply is never a success: the user aborted or the server left.
        if (isCancelled())
            throw SocketAbortError(QString::fromLatin1(ReadAbortedText));
        throw SocketError(QStringLiteral("Connection closed by server"));
    }
    m_replyLines.append(first);
    QByteArray line = first;
    while (IsContinuation(line)) {
        line = ReadLn();
        if (line.isEmpty())
            break;
        m_replyLines.append(line);
        reportStatus(line, 1);
    }
}

void FtpSession::drain() {
    receiveBuffer().take(0);
}

void FtpSession::fail(CommandKind kind, bool unsupportedToo) {
    const int code = replyNumber();
    if (unsupportedToo && code >= 500 && code <= 502)
        Q_EMIT unsupportedFunction(kind);
    if (m_failureHandler && m_failureHandler(kind))
        return;
    throw FtpException(LastReplyText());
}

bool FtpSession::sendAndCheck(const QString& command, int failLow, CommandKind kind,
                              bool unsupportedToo) {
    const QByteArray bytes = commandBytes(command);
    reportStatus(command, 1);
    Transaction(bytes);
    if (InRange(replyNumber(), failLow, 599)) {
        fail(kind, unsupportedToo);
        return false;
    }
    return true;
}

// ---- login and logout -----------------------------------------------------------

void FtpSession::Connect() {
    setCancelled(false);
    if (isConnected())
        return;
    receiveBuffer().clear();
    PumpingSocket::Connect();

    // The greeting ends with its code and a blank ("220 "), whatever the
    // lines between look like; stopping earlier would take its last line
    // for the reply to USER.
    QByteArray line(" ");
    QByteArray finalPrefix;
    while (IsContinuation(line) || (!finalPrefix.isEmpty() && !line.startsWith(finalPrefix))) {
        line = ReadLn();
        if (line.isEmpty())
            break;
        if (finalPrefix.isEmpty() && ReplyCode(line) > 0 && line.size() > 3 && line.at(3) == '-')
            finalPrefix = line.left(3) + ' ';
        reportStatus(line, 1);
    }
    if (line.isEmpty()) {
        if (isCancelled())
            throw SocketAbortError(QString::fromLatin1(ReadAbortedText));
        throw SocketError(QStringLiteral("Connection closed by server"));
    }
    // A server that refuses us in its greeting (421 too many users) says so
    // better than the failed USER that would follow.
    if (startsWithErrorDigit(line)) {
        setLastReply(line, ReplyCode(line));
        refuseLogin();
    }

    if ((UserID.isEmpty() || Password.isEmpty()) && m_authenticationNeeded)
        m_authenticationNeeded();

    reportStatus(QStringLiteral("USER ") + UserID, 1);
    drain();
    if (proxy().isEmpty())
        Transaction(commandBytes(QStringLiteral("USER ") + UserID));
    else
        Transaction(commandBytes(QStringLiteral("USER ") + UserID + QLatin1Char('@') + host() +
                                 QLatin1Char(':') + QString::number(port())));
    if (InRange(replyNumber(), 401, 599))
        refuseLogin();
    if (replyNumber() == 331) {
        reportStatus(QStringLiteral("PASS "), 1);
        Transaction(commandBytes(QStringLiteral("PASS ") + Password));
        if (InRange(replyNumber(), 401, 599))
            refuseLogin();
    }
    Q_EMIT connected();
}

void FtpSession::refuseLogin() {
    const QString reply = LastReplyText();
    Q_EMIT connectionFailed();
    // Not logged in means not connected: a later Connect must log in afresh.
    CloseSocket();
    throw FtpException(reply);
}

void FtpSession::Disconnect() {
    if (!isConnected())
        return;
    Vendor = VendorUnknown;
    while (receiveBuffer().hasLine())
        reportStatus(receiveBuffer().takeLine(), 1);
    reportStatus(QStringLiteral("QUIT"), 1);
    int code = 0;
    try {
        setCancelled(false);
        Transaction("QUIT");
        code = replyNumber();
    } catch (const NetError&) {
        // No answer to QUIT (closed or aborted): the session ends either way.
    } catch (...) {
        CloseSocket();
        throw;
    }
    const QString reply = LastReplyText();
    CloseSocket();
    if (InRange(code, 301, 599))
        throw FtpException(reply);
}

// ---- commands ---------------------------------------------------------------------

void FtpSession::DoCommand(const QString& text) {
    const CommandKind kind = Classify(text);
    const QByteArray bytes = commandBytes(text);
    setCancelled(false);
    CheckConnection();
    reportStatus(text, 1);
    drain();
    Transaction(bytes);
    if (InRange(replyNumber(), 400, 599))
        fail(kind, true);
    else
        Q_EMIT success(kind);
}

void FtpSession::ChangeDir(const QString& path) {
    DoCommand(QStringLiteral("CWD ") + path);
}
void FtpSession::MakeDir(const QString& name) {
    DoCommand(QStringLiteral("MKD ") + name);
}
void FtpSession::Delete(const QString& name) {
    DoCommand(QStringLiteral("DELE ") + name);
}
void FtpSession::RemoveDir(const QString& name) {
    DoCommand(QStringLiteral("RMD ") + name);
}

void FtpSession::Rename(const QString& from, const QString& to) {
    setCancelled(false);
    CheckConnection();
    drain();
    // Without an accepted RNFR the RNTO would only earn a 503.
    if (!sendAndCheck(QStringLiteral("RNFR ") + from, 352, CommandKind::Rename, false))
        return;
    if (sendAndCheck(QStringLiteral("RNTO ") + to, 301, CommandKind::Rename, true))
        Q_EMIT success(CommandKind::Rename);
}

QString FtpSession::CurrentDir() {
    DoCommand(QStringLiteral("PWD"));
    return QuotedPath(LastReplyText());
}

void FtpSession::Mode(TransferType type) {
    switch (type) {
    case TransferType::Ascii:
        DoCommand(QStringLiteral("TYPE A"));
        break;
    case TransferType::Image:
        DoCommand(QStringLiteral("TYPE I"));
        break;
    case TransferType::Local8:
        DoCommand(QStringLiteral("TYPE L 8"));
        break;
    }
}

// ---- data connections ---------------------------------------------------------------

QByteArray FtpSession::commandBytes(const QString& text) {
    const QByteArray bytes = WireText::Encode(text);
    // A line break inside a name would let the rest pass as a second command.
    if (bytes.contains('\r') || bytes.contains('\n') || bytes.contains('\0'))
        throw SocketError(
            QStringLiteral("Command not sent: it contains a line break or a NUL byte"));
    if (bytes.size() > MaxCommandBytes)
        throw SocketError(
            QStringLiteral("Command not sent: longer than %1 bytes").arg(MaxCommandBytes));
    return bytes;
}

void FtpSession::newDataConnection() {
    // One data operation at a time: a second one started from inside the
    // first one's wait would take its connection away.
    if (m_data)
        throw SocketError(
            QStringLiteral("Busy: a listing or transfer already runs on this session"));
    m_data = new PumpingSocket(this);
    connect(m_data, &PumpingSocket::packetReceived, this, &FtpSession::dataPacketReceived);
    connect(m_data, &PumpingSocket::packetSent, this, &FtpSession::dataPacketSent);
}

void FtpSession::beginDataPhase() {
    m_inDataPhase = true;
    Q_EMIT transactionStart();
}

bool FtpSession::acceptData() {
    try {
        m_data->Accept();
        return true;
    } catch (const SocketError&) {
        // Cancelled by the user or by the server's refusal: the transfer's
        // end reports what the server said.
        if (transferCancelled())
            return false;
        throw;
    }
}

void FtpSession::abandonDataPhase() {
    if (m_inDataPhase) {
        m_inDataPhase = false;
        Q_EMIT transactionStop();
    }
    releaseDataConnection();
}

void FtpSession::releaseDataConnection() {
    if (!m_data)
        return;
    PumpingSocket* data = m_data;
    m_data = nullptr;
    data->CloseSocket();
    data->deleteLater();
}

bool FtpSession::transferCancelled() const {
    return isCancelled() || (m_data && m_data->isCancelled());
}

bool FtpSession::openDataConnection(bool passive, const QHostAddress& address, CommandKind kind,
                                    qint64 restartAt) {
    // Appending a whole file to a partial one would corrupt it, so a resume
    // goes no further unless the server accepted the restart point.
    if (restartAt > 0) {
        const CommandKind restartKind =
            kind == CommandKind::Upload ? CommandKind::UploadRestore : CommandKind::DownloadRestore;
        if (!sendAndCheck(QStringLiteral("REST %1").arg(restartAt), 400, restartKind, true))
            return false;
        if (replyNumber() != 350) {
            fail(restartKind, false);
            return false;
        }
    }
    if (!passive) {
        m_data->setTimeOut(timeOut());
        m_data->setPort(0);
        // Listen where the server reaches us: the control connection's address.
        m_data->Listen(localAddress());
        m_data->setAcceptFrom(remoteAddress());
        return sendAndCheck(QStringLiteral("PORT ") + m_data->PortArgument(localAddress()), 301,
                            kind, false);
    }
    // Sent as part of the transfer: a user's Abort stays in force and a
    // refusal is the transfer's failure.
    if (!sendAndCheck(QStringLiteral("PASV"), 400, kind, false))
        return false;
    QByteArray line = lastReply();
    while (!line.startsWith("227")) {
        if (startsWithErrorDigit(line)) {
            setLastReply(line, ReplyCode(line));
            fail(kind, false);
            return false;
        }
        line = ReadLn();
        if (line.isEmpty()) {
            if (isCancelled())
                throw SocketAbortError(QString::fromLatin1(ReadAbortedText));
            throw SocketError(QStringLiteral("Connection closed by server"));
        }
        reportStatus(line, 1);
    }
    const auto dataPort = PassivePort(line);
    if (!dataPort)
        throw FtpException(QStringLiteral("Unrecognized passive mode reply: ") + LineText(line));
    // Without an address given, the data comes from where the control does.
    m_data->setHost((address.isNull() ? remoteAddress() : address).toString());
    m_data->setPort(*dataPort);
    m_data->setTimeOut(timeOut());
    m_data->Connect();
    return true;
}

void FtpSession::waitForAbortReply() {
    QDeadlineTimer deadline(AbortReplyWaitMs);
    QTimer wake;
    wake.setSingleShot(true);
    connect(&wake, &QTimer::timeout, this, &PumpingSocket::wakeUp);
    wake.start(AbortReplyWaitMs);
    while (!deadline.hasExpired()) {
        pumpUntil(
            [&] { return receiveBuffer().hasLine() || deadline.hasExpired() || !isConnected(); });
        if (!receiveBuffer().hasLine())
            break;
        const QByteArray line = receiveBuffer().takeLine();
        reportStatus(line, 1);
        if (line.startsWith('2') && !IsContinuation(line))
            break;
    }
}

void FtpSession::finishTransfer(CommandKind kind, bool cancelled, const QString& countText) {
    m_inDataPhase = false;
    Q_EMIT transactionStop();
    if (m_data)
        m_data->CloseSocket();
    reportStatus(countText, 1);
    if (cancelled || timedOut()) {
        waitForAbortReply();
        releaseDataConnection();
        throw SocketAbortError(QStringLiteral("Socket send aborted"));
    }
    releaseDataConnection();
    ReadReply();
    if (startsWithErrorDigit(lastReply()))
        fail(kind, false);
    else
        Q_EMIT success(kind);
}

void FtpSession::List(const QString& argument) {
    setCancelled(false);
    CheckConnection();
    newDataConnection();
    drain();
    try {
        if (ParseList && Vendor == VendorUnknown) {
            reportStatus(QStringLiteral("SYST"), 1);
            Transaction("SYST");
            Vendor = VendorFromSyst(lastReply());
        }
        if (!openDataConnection(false, QHostAddress(), CommandKind::List, 0) ||
            !sendAndCheck(QStringLiteral("LIST") + argument, 301, CommandKind::List, true)) {
            releaseDataConnection();
            return;
        }
        m_announcedSize = AnnouncedSize(lastReply());
        beginDataPhase();
        if (acceptData()) {
            for (;;) {
                QByteArray line = m_data->ReadLn();
                if (line.isEmpty())
                    break;
                while (line.endsWith('\n') || line.endsWith('\r'))
                    line.chop(1);
                Q_EMIT listItem(WireText::Decode(line));
            }
        }
    } catch (const NetError&) {
        abandonDataPhase();
        throw;
    }
    const qint64 count = m_data ? m_data->bytesReceived() : 0;
    finishTransfer(CommandKind::List, transferCancelled(),
                   QStringLiteral("Received %1 Bytes").arg(count));
}

void FtpSession::Download(const QString& remote, const QString& local, bool resume, bool passive,
                          const QHostAddress& address) {
    setCancelled(false);
    CheckConnection();
    newDataConnection();
    // File data is not lines: no line-length limit while it may arrive early.
    m_data->receiveBuffer().setLineLimit(std::numeric_limits<qsizetype>::max());
    m_announcedSize = 0;
    drain();
    const qint64 restartAt = resume ? QFileInfo(local).size() : 0;
    QFile file(local);
    bool cancelled = false;
    try {
        if (!openDataConnection(passive, address, CommandKind::Download, restartAt) ||
            !sendAndCheck(QStringLiteral("RETR ") + remote, 301, CommandKind::Download, false)) {
            releaseDataConnection();
            return;
        }
        for (const QByteArray& line : m_replyLines) {
            m_announcedSize = AnnouncedSize(line);
            if (m_announcedSize > 0)
                break;
        }
        beginDataPhase();
        if (!passive && !acceptData())
            cancelled = true;
        // Opened only now, so a refused RETR never truncates an existing file.
        const QIODevice::OpenMode mode = restartAt > 0 ? QIODevice::WriteOnly | QIODevice::Append
                                                       : QIODevice::WriteOnly | QIODevice::Truncate;
        if (!cancelled && !file.open(mode)) {
            Abort();
            throw SocketError(QStringLiteral("Unable to write the local file: ") +
                              file.errorString());
        }
        try {
            if (!cancelled)
                m_data->CaptureToDevice(&file);
        } catch (const SocketAbortError&) {
            cancelled = true;
        }
    } catch (const NetError&) {
        abandonDataPhase();
        throw;
    }
    file.close();
    cancelled = cancelled || transferCancelled();
    const qint64 count = m_data ? m_data->bytesReceived() : 0;
    finishTransfer(CommandKind::Download, cancelled,
                   QStringLiteral("Received %1 Bytes").arg(count));
}

void FtpSession::Upload(const QString& local, const QString& remote, bool passive,
                        const QHostAddress& address) {
    setCancelled(false);
    CheckConnection();
    QFile file(local);
    if (!file.open(QIODevice::ReadOnly))
        throw SocketError(QStringLiteral("Unable to read the local file: ") + file.errorString());
    newDataConnection();
    m_announcedSize = file.size();
    drain();
    bool cancelled = false;
    try {
        if (!openDataConnection(passive, address, CommandKind::Upload, 0) ||
            !sendAndCheck(QStringLiteral("STOR ") + remote, 301, CommandKind::Upload, false)) {
            releaseDataConnection();
            return;
        }
        beginDataPhase();
        if (!passive && !acceptData())
            cancelled = true;
        try {
            if (!cancelled) {
                m_data->SendFromDevice(&file);
                m_data->FinishSending();
            }
        } catch (const SocketAbortError&) {
            cancelled = true;
        }
    } catch (const NetError&) {
        abandonDataPhase();
        throw;
    }
    cancelled = cancelled || transferCancelled();
    const qint64 count = m_data ? m_data->bytesSent() : 0;
    finishTransfer(CommandKind::Upload, cancelled, QStringLiteral("Sent %1 Bytes").arg(count));
}
