#include "net/FtpSession.h"

#include "net/NetErrors.h"
#include "net/WireText.h"

using namespace FtpReplies;

namespace {

// A reply longer than this is no reply but a flood.
constexpr int MaxReplyLines = 10000;
constexpr qsizetype MaxReplyBytes = 4 * 1024 * 1024;

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
    // The server announcing its close or a broken data connection, or any
    // refusal while data should flow (425 can't open data connection), means
    // no more data will come: waiting on would never end. The reply itself
    // is read as the transfer's reply.
    const QByteArray head = receiveBuffer().peek(4);
    if (head.size() < 4)
        return;
    if (head.startsWith("421") || head.startsWith("426") ||
        (m_inDataPhase && IsErrorReply(head))) {
        m_serverEndedTransfer = true;
        if (m_data)
            m_data->Cancel();
    }
}

void FtpSession::Abort() {
    if (m_data)
        m_data->Cancel();
    Cancel();
}

QByteArray FtpSession::Transaction(const QByteArray& command) {
    reportStatus(QStringLiteral("Transaction"), 8);
    setLastReply({}, 0);
    Writeln(command);
    return ReadReply();
}

QByteArray FtpSession::ReadReply() {
    return ReadReply(timeOutDeadline());
}

QByteArray FtpSession::ReadReply(QDeadlineTimer deadline) {
    m_replyOwed = false;
    m_replyLines.clear();
    try {
        const QByteArray first = replyLine(deadline);
        setLastReply(first, ReplyCode(first));
        m_replyLines.append(first);
        reportStatus(first, 1);
        if (!OpensMultiLine(first))
            return first;
        qsizetype bytes = first.size();
        for (;;) {
            const QByteArray line = replyLine(deadline);
            bytes += line.size();
            if (m_replyLines.size() >= MaxReplyLines || bytes > MaxReplyBytes) {
                CloseSocket();
                throw SocketError(QStringLiteral("Reply from server too long (over %1 lines or "
                                                 "%2 MiB): connection closed")
                                      .arg(MaxReplyLines)
                                      .arg(MaxReplyBytes / (1024 * 1024)));
            }
            m_replyLines.append(line);
            reportStatus(line, 1);
            if (ClosesMultiLine(first, line))
                return first;
        }
    } catch (const TimeOutError&) {
        // A late reply would pass for the answer to the next command.
        CloseSocket();
        throw;
    }
}

QByteArray FtpSession::replyLine(QDeadlineTimer deadline) {
    const QByteArray line = ReadLn(deadline);
    if (!line.isEmpty())
        return line;
    // No reply is never a success: the user aborted or the server left.
    if (isCancelled())
        throw SocketAbortError(QString::fromLatin1(ReadAbortedText));
    throw SocketError(QStringLiteral("Connection closed by server"));
}

void FtpSession::drain() {
    // Lines nobody waited for are still the server's words: show them. A
    // partial line stays, it is a reply still arriving.
    while (receiveBuffer().hasLine()) {
        const QByteArray line = receiveBuffer().takeLine();
        reportStatus(line, 1);
        if (line.startsWith("421")) {
            setLastReply(line, 421);
            CloseSocket();
            throw FtpException(LineText(line));
        }
    }
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
    try {
        login();
    } catch (...) {
        // Not logged in means not connected: a later Connect logs in afresh.
        if (isConnected())
            CloseSocket();
        throw;
    }
}

void FtpSession::login() {
    // A new login starts in the server's default type.
    m_imageType = false;
    ReadReply();
    // A server that refuses us in its greeting (421 too many users) says so
    // better than the failed USER that would follow.
    if (IsErrorReply(lastReply()))
        refuseLogin();

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
        // No answer to QUIT (closed, aborted, timed out): the session ends either way.
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

QByteArray FtpSession::beginCommand(const QString& text) {
    const QByteArray bytes = commandBytes(text);
    setCancelled(false);
    CheckConnection();
    reportStatus(text, 1);
    drain();
    return bytes;
}

void FtpSession::DoCommand(const QString& text) {
    const CommandKind kind = Classify(text);
    Transaction(beginCommand(text));
    if (InRange(replyNumber(), 400, 599)) {
        fail(kind, true);
        return;
    }
    // Byte counts are exact only in image type; remember which one is in force.
    if (text.startsWith(QLatin1String("TYPE "), Qt::CaseInsensitive))
        m_imageType = !text.mid(5).trimmed().startsWith(QLatin1Char('A'), Qt::CaseInsensitive);
    Q_EMIT success(kind);
}

void FtpSession::SendCommand(const QString& text) {
    const QByteArray bytes = beginCommand(text);
    setLastReply({}, 0);
    Writeln(bytes);
    m_replyOwed = true;
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
