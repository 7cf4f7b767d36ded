#include "net/PumpingSocket.h"

#include "net/FtpReplies.h"
#include "net/NetErrors.h"
#include "net/SocketErrorText.h"
#include "net/WireText.h"

#include <QEventLoop>
#include <QHostInfo>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

// Notes each connection's peer as it arrives. A server that sends an empty
// listing may close before we take the connection, and a closed socket no
// longer tells its peer, so the check of where the data came from would
// refuse the server's own connection.
class PeerNotingServer : public QTcpServer {
public:
    using QTcpServer::QTcpServer;
    static constexpr const char* PeerProperty = "korvanePeer";

protected:
    void incomingConnection(qintptr handle) override {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(handle)) {
            delete socket;
            return;
        }
        socket->setProperty(PeerProperty, QVariant::fromValue(socket->peerAddress()));
        addPendingConnection(socket);
    }
};

} // namespace

namespace {

// The safety net for flags raised without a signal; waits wake on events.
constexpr int SafetyIntervalMs = 50;
constexpr qsizetype MaxWriteBytes = 16385;

bool isDottedIPv4(const QString& name, QHostAddress& address) {
    QHostAddress candidate;
    if (!candidate.setAddress(name) || candidate.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    address = candidate;
    return true;
}

} // namespace

PumpingSocket::PumpingSocket(QObject* parent) : QObject(parent) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &PumpingSocket::timeOutFired);
    reportStatus(QStringLiteral("Create"), 8);
    freshSocket();
}

PumpingSocket::~PumpingSocket() {
    closeShadow();
    closeOwnDescriptor();
    m_destroying = true;
    m_cancel = true;
    Q_EMIT wakeUp();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

void PumpingSocket::reportStatus(const QString& text, int level) {
    if (level > m_reportLevel)
        return;
    m_lastStatus = text;
    Q_EMIT status(text);
}

void PumpingSocket::reportStatus(const QByteArray& text, int level) {
    reportStatus(WireText::Decode(text), level);
}

void PumpingSocket::pumpUntil(const std::function<bool()>& done) {
    if (done())
        return;
    QPointer<PumpingSocket> guard(this);
    QEventLoop loop;
    auto check = [&] {
        if (!guard || m_destroying || done())
            loop.quit();
    };
    const auto wake = connect(this, &PumpingSocket::wakeUp, &loop, check);
    QTimer safety;
    safety.setInterval(SafetyIntervalMs);
    connect(&safety, &QTimer::timeout, &loop, check);
    safety.start();
    ++m_waitDepth;
    loop.exec();
    if (!guard)
        throw SocketAbortError(QStringLiteral("Connection Canceled"));
    --m_waitDepth;
    disconnect(wake);
}

// ---- socket ownership -------------------------------------------------------

void PumpingSocket::freshSocket() {
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->deleteLater();
    }
    attachSocket(new QTcpSocket(this));
}

void PumpingSocket::attachSocket(QTcpSocket* socket) {
    m_socket = socket;
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &PumpingSocket::readIncoming);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_connecting = false;
        m_connected = true;
        m_peerClosed = false;
        m_lastActivity.restart();
        watchForReset();
        socketConnected();
        Q_EMIT wakeUp();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, &PumpingSocket::socketDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &PumpingSocket::socketError);
    if (m_dataMode)
        m_socket->setReadBufferSize(DataWindow);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this](qint64 written) {
        m_bytesSent += written;
        m_lastActivity.restart();
        Q_EMIT packetSent();
        Q_EMIT wakeUp();
    });
}

void PumpingSocket::readIncoming() {
    if (!m_socket)
        return;
    const qint64 before = m_bytesReceived;
    pullIncoming();
    dataReceived();
    if (m_bytesReceived != before) {
        m_lastActivity.restart();
        Q_EMIT packetReceived();
    }
    Q_EMIT wakeUp();
}

void PumpingSocket::pullIncoming() {
    if (!m_socket || !m_socket->isOpen())
        return;
    qint64 wanted = m_socket->bytesAvailable();
    // A closed data connection hands over what is left: Qt's buffer is
    // bounded too, and the socket goes away next.
    if (m_dataMode && m_socket->state() == QAbstractSocket::ConnectedState)
        wanted = qMin<qint64>(wanted, DataWindow - m_buffer.size());
    if (wanted <= 0)
        return;
    const QByteArray data = m_socket->read(wanted);
    m_bytesReceived += data.size();
    m_buffer.append(data);
}

void PumpingSocket::socketDisconnected() {
    readIncoming();
    if (m_shadowFd >= 0) {
        // A peer that closed in order leaves our side waiting to close;
        // after a reset or an error the kernel has closed it already.
        tcp_info info{};
        socklen_t length = sizeof info;
        if (::getsockopt(m_shadowFd, IPPROTO_TCP, TCP_INFO, &info, &length) == 0)
            m_closedByReset = info.tcpi_state != TCP_CLOSE_WAIT;
    }
    closeShadow();
    const bool wasConnected = m_connected;
    m_connected = false;
    m_peerClosed = true;
    m_socket->disconnect(this);
    m_socket->deleteLater();
    attachSocket(new QTcpSocket(this));
    if (wasConnected && !m_destroying)
        Q_EMIT disconnected();
    Q_EMIT wakeUp();
}

void PumpingSocket::socketError() {
    const auto qtError = m_socket->error();
    if (m_connecting) {
        m_connectError = true;
        m_lastError = SocketErrorText::NumberFor(qtError);
        Q_EMIT wakeUp();
        return;
    }
    // A peer's close arrives as its own notification; "would block" is no failure.
    if (qtError == QAbstractSocket::RemoteHostClosedError ||
        qtError == QAbstractSocket::TemporaryError)
        return;
    m_lastError = SocketErrorText::NumberFor(qtError);
    Q_EMIT error(m_lastError, SocketErrorText::Describe(m_lastError));
    Q_EMIT wakeUp();
}

[[noreturn]] void PumpingSocket::raiseSocketError(int number) {
    m_lastError = number;
    const QString text = SocketErrorText::Describe(number);
    Q_EMIT error(number, text);
    throw SocketError(text);
}

[[noreturn]] void PumpingSocket::raiseTimeOut(const QString& text) {
    m_timedOut = true;
    throw TimeOutError(text);
}

QDeadlineTimer PumpingSocket::timeOutDeadline() const {
    return m_timeOut > 0 ? QDeadlineTimer(m_timeOut) : QDeadlineTimer(QDeadlineTimer::Forever);
}

// ---- time-out ---------------------------------------------------------------

void PumpingSocket::startTimeOut() {
    m_timedOut = false;
    if (m_timeOut > 0) {
        reportStatus(QStringLiteral("Timer On"), 8);
        m_timer.start(m_timeOut);
    }
}

void PumpingSocket::stopTimeOut() {
    if (m_timer.isActive()) {
        reportStatus(QStringLiteral("Timer Off"), 8);
        m_timer.stop();
    }
}

void PumpingSocket::timeOutFired() {
    reportStatus(QStringLiteral("Timer Triggered"), 8);
    m_timedOut = true;
    Abort();
}

// ---- lookup and connect -----------------------------------------------------

void PumpingSocket::startLookup(const QString& name) {
    m_lookupId = QHostInfo::lookupHost(name, this, [this](const QHostInfo& info) {
        lookupFinished(info.lookupId(), info.addresses(), info.error() == QHostInfo::NoError);
    });
}

void PumpingSocket::lookupFinished(int id, const QList<QHostAddress>& addresses, bool ok) {
    if (id != m_lookupId)
        return;
    m_lookupDone = true;
    m_lookupFailed = !ok;
    m_lookupAddresses = addresses;
    Q_EMIT wakeUp();
}

QHostAddress PumpingSocket::ResolveHost(bool report) {
    reportStatus(QStringLiteral("Resolve Host"), 8);
    const QString name = m_proxy.isEmpty() ? m_host : m_proxy;
    QHostAddress dotted;
    if (isDottedIPv4(name, dotted)) {
        m_remoteAddress = dotted;
        return m_remoteAddress;
    }
    m_remoteAddress.clear();
    m_lookupDone = false;
    m_lookupFailed = false;
    m_lookupAddresses.clear();
    m_cancel = false;
    startTimeOut();
    startLookup(name);
    pumpUntil([this] { return m_lookupDone || m_timedOut || m_cancel; });
    stopTimeOut();
    if (!m_lookupDone) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    if (m_timedOut)
        throw SocketError(QStringLiteral("Host Lookup Timed Out"));
    if (m_cancel)
        throw SocketError(QStringLiteral("Host Lookup Canceled"));
    if (m_lookupFailed)
        throw SocketError(QStringLiteral("Host Lookup Failed"));
    for (const QHostAddress& address : m_lookupAddresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) {
            m_remoteAddress = address;
            break;
        }
    }
    if (m_remoteAddress.isNull())
        return m_remoteAddress;
    if (report)
        reportStatus(QStringLiteral("Remote Address: ") + name, 1);
    Q_EMIT hostResolved();
    return m_remoteAddress;
}

void PumpingSocket::Connect() {
    reportStatus(QStringLiteral("Connecting"), 8);
    m_cancel = false;
    if (m_connected)
        throw SocketError(QStringLiteral("Already connected"));

    ResolveHost(false);
    if (m_remoteAddress.isNull()) {
        if (m_invalidHost && m_invalidHost())
            ResolveHost(false);
        if (m_remoteAddress.isNull())
            throw SocketError(QStringLiteral("Null Remote Address"));
    }

    const quint16 port = m_proxy.isEmpty() ? m_port : m_proxyPort;
    m_connectError = false;
    m_timedOut = false;
    m_peerClosed = false;
    m_connecting = true;
    m_socket->connectToHost(m_remoteAddress, port);
    startTimeOut();
    pumpUntil([this] { return m_connected || m_timedOut || m_cancel || m_connectError; });
    stopTimeOut();
    m_connecting = false;

    if (m_connected && !m_timedOut && !m_cancel && !m_connectError)
        return;
    m_connected = false;
    freshSocket();
    Q_EMIT connectionFailed();
    if (m_timedOut)
        throw SocketError(QStringLiteral("Connection Timed out"));
    if (m_cancel)
        throw SocketError(QStringLiteral("Connection Canceled"));
    throw SocketError(QStringLiteral("Connection Failed"));
}

void PumpingSocket::Disconnect() {
    reportStatus(QStringLiteral("Disconnecting"), 8);
    CloseSocket();
}

void PumpingSocket::CloseSocket() {
    reportStatus(QStringLiteral("Request Close Socket"), 4);
    closeShadow();
    const bool wasOpen = m_connected || m_socket->state() != QAbstractSocket::UnconnectedState;
    m_connected = false;
    closeOwnDescriptor();
    if (m_server) {
        m_server->close();
        m_server->deleteLater();
        m_server = nullptr;
    }
    m_socket->disconnect(this);
    m_socket->close();
    m_socket->deleteLater();
    m_socket = nullptr;
    if (m_destroying)
        return;
    attachSocket(new QTcpSocket(this));
    if (wasOpen)
        Q_EMIT disconnected();
    Q_EMIT wakeUp();
}

void PumpingSocket::Cancel() {
    reportStatus(QStringLiteral("Canceling"), 8);
    m_cancel = true;
    Q_EMIT wakeUp();
}

void PumpingSocket::CheckConnection() {
    if (m_connected)
        return;
    const bool handled = m_connectionRequired && m_connectionRequired();
    if (!handled || !m_connected)
        throw NotConnectedError();
}

// ---- reading ------------------------------------------------------------------

QByteArray PumpingSocket::ReadLn() {
    return ReadLn(timeOutDeadline());
}

QByteArray PumpingSocket::ReadLn(QDeadlineTimer deadline) {
    reportStatus(QStringLiteral("ReadLn"), 8);
    // A closed connection ends the wait too: no line can come any more.
    pumpUntil([&] {
        pullIncoming();
        return m_buffer.hasLine() || m_buffer.overflowPending() || m_cancel || !m_connected ||
               deadline.hasExpired();
    });
    if (m_buffer.takeOverflow())
        throw SocketError(QStringLiteral("Data from server discarded: a line without its end over "
                                         "%1 KiB, or too much unread data")
                              .arg(ReceiveBuffer::DefaultLineLimit / 1024));
    if (m_buffer.hasLine())
        return m_buffer.takeLine();
    // The peer closed after a last line without its line end.
    if (!m_connected && !m_cancel && !m_buffer.isEmpty())
        return m_buffer.take(0);
    if (!m_connected || m_cancel)
        return {};
    if (m_dataMode)
        raiseTimeOut(idleTimeOutText());
    raiseTimeOut(QStringLiteral("Timed out: no complete reply from the server within %1 s")
                     .arg(SecondsText(m_timeOut)));
}

QByteArray PumpingSocket::Read(qsizetype n) {
    reportStatus(QStringLiteral("Read( %1 )").arg(n), 8);
    const QDeadlineTimer deadline = timeOutDeadline();
    if (n > 0) {
        pumpUntil([&] {
            pullIncoming();
            return m_buffer.size() >= n || m_cancel || !m_connected || deadline.hasExpired();
        });
    } else {
        pullIncoming();
    }
    return m_buffer.take(n);
}

QByteArray PumpingSocket::Transaction(const QByteArray& command) {
    reportStatus(QStringLiteral("Transaction"), 8);
    m_replyNumber = 0;
    Writeln(command);
    const QByteArray line = ReadLn();
    m_lastReply = line;
    if (!line.isEmpty()) {
        reportStatus(line, 1);
        m_replyNumber = FtpReplies::ReplyCode(line);
    }
    return line;
}

// ---- writing ------------------------------------------------------------------

void PumpingSocket::Writeln(const QByteArray& text) {
    reportStatus(QStringLiteral("Writeln"), 8);
    Write(text + "\r\n");
}

void PumpingSocket::Write(const QByteArray& data) {
    reportStatus(QStringLiteral("Write"), 8);
    QByteArray chunk = data.left(MaxWriteBytes);
    const qsizetype zero = chunk.indexOf('\0');
    if (zero >= 0)
        chunk.truncate(zero);
    reportStatus(QStringLiteral("Sending Buffer"), 4);
    if (!m_connected)
        raiseSocketError(10057);
    ++m_writeCount;
    m_socket->write(chunk);
    // Hand it to the kernel now: a command need not wait a turn of the event
    // loop, and the wait below is then usually over before it starts.
    m_socket->flush();
    const QDeadlineTimer deadline = timeOutDeadline();
    pumpUntil([&] {
        return m_socket->bytesToWrite() == 0 || m_cancel || !m_connected || deadline.hasExpired();
    });
    if (m_cancel) {
        m_cancel = false;
        Q_EMIT sendAborted();
        throw SocketAbortError(QStringLiteral("Socket send aborted"));
    }
    if (!m_connected)
        raiseSocketError(10058);
    if (m_socket->bytesToWrite() > 0)
        raiseTimeOut(QStringLiteral("Timed out: the server took nothing we sent for %1 s")
                         .arg(SecondsText(m_timeOut)));
}

// ---- listening ----------------------------------------------------------------

void PumpingSocket::Listen(const QHostAddress& address) {
    reportStatus(QStringLiteral("Listening"), 8);
    if (m_server) {
        m_server->close();
        m_server->deleteLater();
    }
    m_acceptReady = false;
    m_server = new PeerNotingServer(this);
    m_server->setMaxPendingConnections(1);
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        m_acceptReady = true;
        Q_EMIT wakeUp();
    });
    if (!m_server->listen(address, m_port))
        raiseSocketError(SocketErrorText::NumberFor(m_server->serverError()));
}

void PumpingSocket::Accept() {
    reportStatus(QStringLiteral("Accepting"), 4);
    if (!m_server)
        throw SocketError(QStringLiteral("Error creating Data Connection"));
    QTcpSocket* accepted = nullptr;
    // Refused foreign connections do not extend the wait.
    const QDeadlineTimer deadline = timeOutDeadline();
    while (!accepted) {
        pumpUntil([&] { return m_acceptReady || m_cancel || deadline.hasExpired(); });
        if (m_cancel)
            throw SocketError(QStringLiteral("Accepting Canceled"));
        if (!m_acceptReady)
            raiseTimeOut(
                QStringLiteral("Timed out: the server did not open the data connection within %1 s")
                    .arg(SecondsText(m_timeOut)));
        accepted = m_server->nextPendingConnection();
        m_acceptReady = m_server->hasPendingConnections();
        if (!accepted)
            break;
        // Only the server we talk to may deliver our data.
        const auto peer = accepted->property(PeerNotingServer::PeerProperty).value<QHostAddress>();
        if (!m_acceptFrom.isNull() && !peer.isEqual(m_acceptFrom)) {
            accepted->abort();
            accepted->deleteLater();
            accepted = nullptr;
        }
    }
    m_server->close();
    m_server->deleteLater();
    m_server = nullptr;
    if (!accepted)
        throw SocketError(QStringLiteral("Error creating Data Connection"));
    m_socket->disconnect(this);
    m_socket->deleteLater();
    attachSocket(accepted);
    m_remoteAddress = accepted->property(PeerNotingServer::PeerProperty).value<QHostAddress>();
    m_connected = accepted->state() == QAbstractSocket::ConnectedState;
    m_peerClosed = !m_connected;
    m_lastActivity.restart();
    watchForReset();
    readIncoming();
}

QHostAddress PumpingSocket::localAddress() const {
    return m_socket ? m_socket->localAddress() : QHostAddress();
}

quint16 PumpingSocket::listeningPort() const {
    return m_server ? m_server->serverPort() : 0;
}

QString PumpingSocket::PortArgument(const QHostAddress& local) const {
    QString address = QHostAddress(local.toIPv4Address()).toString();
    address.replace(QLatin1Char('.'), QLatin1Char(','));
    const quint16 port = listeningPort();
    return address + QStringLiteral(",%1,%2").arg(port >> 8).arg(port & 0xFF);
}
