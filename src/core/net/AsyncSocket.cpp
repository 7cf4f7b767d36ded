#include "net/AsyncSocket.h"

#include "net/NetErrors.h"
#include "net/SocketErrorText.h"

#include <QHostInfo>
#include <QTcpServer>
#include <QTcpSocket>

#include <unistd.h>

// A listening server that hands out raw handles, so an accepted connection
// can be adopted by another AsyncSocket with Dup.
class HandleServer : public QTcpServer {
public:
    using QTcpServer::QTcpServer;
    ~HandleServer() override {
        while (!handles.isEmpty())
            ::close(int(handles.dequeue()));
    }
    QQueue<qintptr> handles;
    std::function<void()> onIncoming;

protected:
    void incomingConnection(qintptr handle) override {
        handles.enqueue(handle);
        if (onIncoming)
            onIncoming();
    }
};

AsyncSocket::AsyncSocket(QObject* parent) : QObject(parent) {}

AsyncSocket::~AsyncSocket() {
    if (m_socket)
        m_socket->disconnect(this);
}

void AsyncSocket::requireClosed(const char* what) const {
    if (m_state != State::Closed)
        throw SocketError(
            QStringLiteral("Cannot change %1 if not closed").arg(QLatin1String(what)));
}

void AsyncSocket::setAddr(const QString& addr) {
    requireClosed("Addr");
    m_addr = addr;
}

void AsyncSocket::setPort(const QString& port) {
    requireClosed("Port");
    m_port = port;
}

void AsyncSocket::setProto(const QString& proto) {
    requireClosed("Proto");
    m_proto = proto;
}

void AsyncSocket::setState(State state) {
    if (state == m_state)
        return;
    const State old = m_state;
    m_state = state;
    Q_EMIT changeState(old, state);
}

void AsyncSocket::attach(QTcpSocket* socket) {
    m_socket = socket;
    socket->setParent(this);
    connect(socket, &QTcpSocket::connected, this, [this] {
        setState(State::Connected);
        Q_EMIT sessionConnected(0);
    });
    connect(socket, &QTcpSocket::readyRead, this, [this] { Q_EMIT dataAvailable(0); });
    connect(socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_socket && m_socket->bytesToWrite() == 0)
            Q_EMIT dataSent(0);
    });
    connect(socket, &QTcpSocket::disconnected, this, [this] {
        // Whatever is still buffered stays readable until Close.
        setState(State::Closed);
        Q_EMIT sessionClosed(0);
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError qtError) {
        if (qtError == QAbstractSocket::RemoteHostClosedError)
            return;
        m_lastError = SocketErrorText::NumberFor(qtError);
        Q_EMIT error(m_lastError, SocketErrorText::Describe(m_lastError));
        if (m_state == State::Connecting) {
            setState(State::Closed);
            Q_EMIT sessionConnected(m_lastError);
        }
    });
}

void AsyncSocket::Connect() {
    if (m_state != State::Closed)
        throw SocketError(QStringLiteral("Connect: Socket already in use"));
    if (m_port.isEmpty())
        throw SocketError(QStringLiteral("Connect: No Port Specified"));
    if (m_addr.isEmpty())
        throw SocketError(QStringLiteral("Connect: No IP Address Specified"));
    if (m_proto.isEmpty())
        throw SocketError(QStringLiteral("Connect: No Protocol Specified"));
    if (m_proto.compare(QLatin1String("tcp"), Qt::CaseInsensitive) != 0)
        throw SocketError(SocketErrorText::Describe(10043));
    bool portOk = false;
    const uint port = m_port.toUInt(&portOk);
    if (!portOk || port > 65535)
        throw SocketError(QStringLiteral("Connect: No Port Specified"));
    QHostAddress address;
    const bool numeric = address.setAddress(m_addr);
    if (!numeric && m_addr.contains(QLatin1Char(' ')))
        throw SocketError(QStringLiteral("SetAddr: Cannot convert host address '%1'").arg(m_addr));
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->deleteLater();
    }
    attach(new QTcpSocket(this));
    setState(State::Connecting);
    if (numeric)
        m_socket->connectToHost(address, quint16(port));
    else
        m_socket->connectToHost(m_addr, quint16(port));
}

void AsyncSocket::Close() {
    if (m_server) {
        m_server->close();
        m_server->deleteLater();
        m_server = nullptr;
    }
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->close();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    setState(State::Closed);
}

void AsyncSocket::Listen() {
    if (m_addr.isEmpty())
        throw SocketError(QStringLiteral("listen: address not assigned"));
    if (m_port.isEmpty())
        throw SocketError(QStringLiteral("listen: port not assigned"));
    if (m_proto.isEmpty())
        throw SocketError(QStringLiteral("listen: protocol not assigned"));
    QHostAddress address;
    if (!address.setAddress(m_addr))
        throw SocketError(QStringLiteral("SetAddr: Cannot convert host address '%1'").arg(m_addr));
    Close();
    m_server = new HandleServer(this);
    m_server->onIncoming = [this] { Q_EMIT sessionAvailable(0); };
    if (!m_server->listen(address, quint16(m_port.toUInt()))) {
        m_lastError = SocketErrorText::NumberFor(m_server->serverError());
        const QString text = SocketErrorText::Describe(m_lastError);
        m_server->deleteLater();
        m_server = nullptr;
        throw SocketError(text);
    }
    setState(State::Listening);
}

qintptr AsyncSocket::Accept() {
    if (m_state != State::Listening || !m_server)
        throw SocketError(QStringLiteral("not a listening socket"));
    return m_server->handles.isEmpty() ? -1 : m_server->handles.dequeue();
}

void AsyncSocket::Dup(qintptr handle) {
    Close();
    auto* socket = new QTcpSocket(this);
    attach(socket);
    if (!socket->setSocketDescriptor(handle)) {
        ::close(int(handle));
        m_lastError = SocketErrorText::NumberFor(socket->error());
        throw SocketError(SocketErrorText::Describe(m_lastError));
    }
    setState(State::Connected);
}

qint64 AsyncSocket::Send(const QByteArray& data) {
    if (!m_socket || m_state != State::Connected)
        return -1;
    return m_socket->write(data);
}

qint64 AsyncSocket::Receive(char* buffer, qint64 length) {
    if (!m_socket)
        return -1;
    return m_socket->read(buffer, length);
}

QByteArray AsyncSocket::ReceiveAll() {
    return m_socket ? m_socket->readAll() : QByteArray();
}

void AsyncSocket::ShutDown(int how) {
    if (!m_socket)
        return;
    if (how >= 1)
        m_socket->disconnectFromHost();
}

QHostAddress AsyncSocket::GetPeerName() const {
    return m_socket ? m_socket->peerAddress() : QHostAddress();
}

quint16 AsyncSocket::peerPort() const {
    return m_socket ? m_socket->peerPort() : 0;
}

quint16 AsyncSocket::localPort() const {
    if (m_server)
        return m_server->serverPort();
    return m_socket ? m_socket->localPort() : 0;
}

QHostAddress AsyncSocket::localAddress() const {
    if (m_server)
        return m_server->serverAddress();
    return m_socket ? m_socket->localAddress() : QHostAddress();
}

void AsyncSocket::DnsLookup(const QString& host) {
    if (host.trimmed().isEmpty())
        throw SocketError(QStringLiteral("DNS lookup: invalid host name."));
    QHostInfo::lookupHost(host, this, [this](const QHostInfo& info) {
        m_dnsResult.clear();
        for (const QHostAddress& a : info.addresses()) {
            if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                m_dnsResult = a.toString();
                break;
            }
        }
        const int code = (info.error() == QHostInfo::NoError && !m_dnsResult.isEmpty()) ? 0 : 11001;
        m_lastError = code;
        Q_EMIT dnsLookupDone(code);
    });
}
