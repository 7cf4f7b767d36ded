#include "FakeFtpServer.h"

#include <QHostAddress>
#include <QTimer>

#include <memory>

#include <sys/socket.h>

namespace {
// What the fake queues ahead of a slow client: its own memory stays flat.
constexpr qint64 StreamQueue = 256 * 1024;
} // namespace

FakeFtpServer::FakeFtpServer(QObject* parent) : QObject(parent) {
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        QTcpSocket* socket = m_server.nextPendingConnection();
        // One client at a time; a closed one makes room for a reconnect.
        if (m_client && m_client->state() == QAbstractSocket::ConnectedState) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        if (m_client)
            m_client->disconnect(this);
        m_client = socket;
        m_inbox.clear();
        connect(socket, &QTcpSocket::readyRead, this, &FakeFtpServer::clientReadable);
        Q_EMIT clientArrived();
        if (!m_greeting.isEmpty())
            socket->write(m_greeting);
    });
    connect(&m_dataServer, &QTcpServer::newConnection, this,
            [this] { adoptData(m_dataServer.nextPendingConnection()); });
    connect(&m_controlTimer, &QTimer::timeout, this, &FakeFtpServer::feedControl);
}

bool FakeFtpServer::listen() {
    return m_server.listen(QHostAddress::LocalHost, 0);
}

FakeFtpServer& FakeFtpServer::greet(const QByteArray& text) {
    m_greeting = text;
    return *this;
}

FakeFtpServer& FakeFtpServer::expect(const QByteArray& prefix, const QByteArray& reply) {
    return expect(prefix, [reply](FakeFtpServer& server, const QByteArray&) {
        if (!reply.isEmpty())
            server.send(reply);
    });
}

FakeFtpServer& FakeFtpServer::expect(const QByteArray& prefix, Action action) {
    m_steps.append({prefix, std::move(action)});
    return *this;
}

void FakeFtpServer::send(const QByteArray& text) {
    if (!m_client)
        return;
    m_client->write(text.endsWith('\n') ? text : text + "\r\n");
    m_client->flush();
}

void FakeFtpServer::sendRaw(const QByteArray& bytes) {
    if (!m_client)
        return;
    m_client->write(bytes);
    m_client->flush();
}

void FakeFtpServer::sendAfterAnswer(const QByteArray& commandPrefix, const QByteArray& line) {
    // Steps run as their command arrives: the last one received was
    // answered. (An earlier one may belong to a file tried before.)
    if (!m_received.isEmpty() && m_received.last().startsWith(commandPrefix)) {
        send(line);
        return;
    }
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(this, &FakeFtpServer::commandReceived, this,
                          [this, commandPrefix, line, connection](const QByteArray& command) {
                              if (!command.startsWith(commandPrefix))
                                  return;
                              disconnect(*connection);
                              // After the step that answers it.
                              QTimer::singleShot(0, this, [this, line] { send(line); });
                          });
}

void FakeFtpServer::closeClient() {
    if (m_client) {
        m_client->flush();
        m_client->disconnectFromHost();
    }
}

void FakeFtpServer::clientReadable() {
    m_inbox += m_client->readAll();
    qsizetype lf;
    while ((lf = m_inbox.indexOf('\n')) >= 0) {
        QByteArray line = m_inbox.left(lf);
        m_inbox.remove(0, lf + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        m_received.append(line);
        Q_EMIT commandReceived(line);
        if (m_steps.isEmpty()) {
            m_mismatches.append(line);
            send("500 Unexpected command");
            continue;
        }
        if (!line.startsWith(m_steps.first().prefix)) {
            m_mismatches.append(line);
            send("500 Unexpected command");
            continue;
        }
        const Step step = m_steps.takeFirst();
        step.action(*this, line);
    }
}

QByteArray FakeFtpServer::openPassive(bool withParentheses) {
    // A new PASV means a new data connection, as with real servers: data
    // sent before the client connects waits for it, not for the old one.
    m_data = nullptr;
    if (!m_dataServer.isListening())
        m_dataServer.listen(QHostAddress::LocalHost, 0);
    const quint16 p = m_dataServer.serverPort();
    const QByteArray numbers =
        "127,0,0,1," + QByteArray::number(p >> 8) + "," + QByteArray::number(p & 0xFF);
    if (withParentheses)
        return "227 Entering Passive Mode (" + numbers + ")";
    return "227 Entering Passive Mode " + numbers;
}

void FakeFtpServer::connectActive(const QByteArray& portCommand) {
    const QList<QByteArray> fields = portCommand.mid(5).trimmed().split(',');
    if (fields.size() != 6)
        return;
    const QString host =
        QString::fromLatin1(fields[0] + '.' + fields[1] + '.' + fields[2] + '.' + fields[3]);
    const quint16 p = quint16(fields[4].toInt() * 256 + fields[5].toInt());
    m_data = nullptr;
    auto* socket = new QTcpSocket(this);
    connect(socket, &QTcpSocket::connected, this, [this, socket] { adoptData(socket); });
    socket->connectToHost(QHostAddress(host), p);
}

void FakeFtpServer::adoptData(QTcpSocket* socket) {
    m_data = socket;
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        m_dataIn += socket->readAll();
        if (m_resetAfter >= 0 && m_dataIn.size() >= m_resetAfter)
            resetData();
    });
    connect(socket, &QTcpSocket::bytesWritten, this, &FakeFtpServer::feedStream);
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        if (socket->isOpen())
            m_dataIn += socket->readAll();
        Q_EMIT dataEnded();
    });
    flushPendingData();
    feedStream();
}

void FakeFtpServer::sendData(const QByteArray& data, bool closeAfter) {
    m_pendingData += data;
    m_pendingClose = closeAfter;
    m_hasPendingData = true;
    flushPendingData();
}

void FakeFtpServer::flushPendingData() {
    if (!m_data || !m_hasPendingData)
        return;
    m_data->write(m_pendingData);
    m_pendingData.clear();
    m_hasPendingData = false;
    if (m_pendingClose)
        m_data->disconnectFromHost();
}


void FakeFtpServer::resetData() {
    if (!m_data)
        return;
    // A zero linger time turns the close into a reset.
    m_data->flush();
    const linger hard{1, 0};
    ::setsockopt(int(m_data->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    m_data->abort();
}

void FakeFtpServer::streamData(qint64 total, bool closeAfter) {
    m_streamLeft = total < 0 ? std::numeric_limits<qint64>::max() : total;
    m_streamClose = closeAfter;
    feedStream();
}

void FakeFtpServer::feedStream() {
    if (!m_data || m_data->state() != QAbstractSocket::ConnectedState || m_streamLeft <= 0)
        return;
    static const QByteArray block(64 * 1024, 'z');
    while (m_streamLeft > 0 && m_data->bytesToWrite() < StreamQueue) {
        const qint64 n = qMin<qint64>(block.size(), m_streamLeft);
        m_data->write(block.constData(), n);
        m_streamLeft -= n;
        m_dataSent += n;
    }
    if (m_streamLeft == 0 && m_streamClose)
        m_data->disconnectFromHost();
}

void FakeFtpServer::streamControl(const QByteArray& unit, int intervalMs) {
    m_controlUnit = unit;
    if (intervalMs > 0) {
        m_controlTimer.start(intervalMs);
        return;
    }
    if (m_client)
        connect(m_client, &QTcpSocket::bytesWritten, this, &FakeFtpServer::feedControl,
                Qt::UniqueConnection);
    feedControl();
}

void FakeFtpServer::feedControl() {
    if (!m_client || m_client->state() != QAbstractSocket::ConnectedState) {
        m_controlTimer.stop();
        return;
    }
    if (m_controlTimer.isActive()) {
        m_client->write(m_controlUnit);
        return;
    }
    while (m_client->bytesToWrite() < StreamQueue)
        m_client->write(m_controlUnit);
}
