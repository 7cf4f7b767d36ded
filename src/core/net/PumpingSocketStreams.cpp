// Data mode and the whole-stream moves of a data connection. Qt reports a
// reset as an orderly close and copies every byte through its own buffer,
// so a data socket keeps a second descriptor, and file data is moved on
// that descriptor directly.
#include "net/PumpingSocket.h"

#include "net/NetErrors.h"

#include <QIODevice>
#include <QSocketNotifier>
#include <QTcpSocket>

#include <cerrno>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Rounds of reads or writes per readiness event, so one busy connection
// cannot hold up the event loop.
constexpr int RoundsPerEvent = 16;

bool wouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

} // namespace

QString PumpingSocket::SecondsText(int milliseconds) {
    return QString::number(milliseconds / 1000.0, 'g', 6);
}

void PumpingSocket::setDataMode() {
    m_dataMode = true;
    m_socket->setReadBufferSize(DataWindow);
    // Lines of a listing or bytes of a file: an overlong line is no reason
    // to throw data away, the window bounds memory anyway.
    m_buffer.setLineLimit(std::numeric_limits<qsizetype>::max());
}

void PumpingSocket::watchForReset() {
    closeShadow();
    m_closedByReset = false;
    if (m_dataMode && m_socket && m_socket->socketDescriptor() >= 0)
        m_shadowFd = ::dup(int(m_socket->socketDescriptor()));
}

void PumpingSocket::closeShadow() {
    if (m_shadowFd >= 0) {
        ::close(m_shadowFd);
        m_shadowFd = -1;
    }
}

void PumpingSocket::closeOwnDescriptor() {
    if (m_ownFd >= 0) {
        ::close(m_ownFd);
        m_ownFd = -1;
    }
}

bool PumpingSocket::idleExpired() const {
    return m_timeOut > 0 && m_lastActivity.isValid() && m_lastActivity.hasExpired(m_timeOut);
}

QString PumpingSocket::idleTimeOutText() const {
    return QStringLiteral("Timed out: the data connection carried nothing for %1 s")
        .arg(SecondsText(m_timeOut));
}

void PumpingSocket::takeOverSocket() {
    // Closing Qt's descriptor leaves the connection open: ours still holds it.
    m_ownFd = m_shadowFd;
    m_shadowFd = -1;
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket->deleteLater();
    attachSocket(new QTcpSocket(this));
    if (m_chunk.size() != DataWindow)
        m_chunk.resize(DataWindow);
}

void PumpingSocket::CaptureToDevice(QIODevice* device) {
    reportStatus(QStringLiteral("ReadToStream"), 8);
    bool writeFailed = false;
    auto store = [&](const char* data, qint64 size) {
        m_bytesReceived += size;
        if (!writeFailed && device->write(data, size) != size)
            writeFailed = true;
    };
    // What arrived before the capture began goes first.
    const QByteArray early = m_buffer.take(0);
    if (!early.isEmpty() && device->write(early) != early.size())
        writeFailed = true;
    if (m_socket->isOpen()) {
        const QByteArray queued = m_socket->readAll();
        if (!queued.isEmpty())
            store(queued.constData(), queued.size());
    }
    bool ended = !m_connected;
    if (!ended && !writeFailed) {
        if (m_shadowFd < 0)
            raiseSocketError(10057);
        takeOverSocket();
        const int fd = m_ownFd;
        QSocketNotifier notifier(fd, QSocketNotifier::Read);
        connect(&notifier, &QSocketNotifier::activated, this, [&] {
            const qint64 before = m_bytesReceived;
            for (int round = 0; round < RoundsPerEvent && !writeFailed; ++round) {
                const ssize_t n = ::recv(fd, m_chunk.data(), size_t(m_chunk.size()), MSG_DONTWAIT);
                if (n > 0) {
                    store(m_chunk.constData(), n);
                    continue;
                }
                if (n < 0 && wouldBlock())
                    break;
                ended = true;
                m_closedByReset = n < 0;
                notifier.setEnabled(false);
                break;
            }
            if (m_bytesReceived != before) {
                m_lastActivity.restart();
                Q_EMIT packetReceived();
            }
            Q_EMIT wakeUp();
        });
        m_lastActivity.restart();
        pumpUntil([&] { return ended || m_cancel || writeFailed || idleExpired(); });
        notifier.setEnabled(false);
        closeOwnDescriptor();
        m_connected = false;
    }
    if (writeFailed)
        throw SocketError(QStringLiteral("Unable to write the local file: ") +
                          device->errorString());
    if (m_cancel)
        throw SocketAbortError(QStringLiteral("Socket send aborted"));
    if (!ended)
        raiseTimeOut(idleTimeOutText());
}

void PumpingSocket::SendFromDevice(QIODevice* device) {
    reportStatus(QStringLiteral("WriteFromStream"), 8);
    if (!m_connected || m_shadowFd < 0)
        raiseSocketError(10057);
    takeOverSocket();
    const int fd = m_ownFd;
    qint64 pending = 0; // bytes of m_chunk not sent yet start at offset
    qint64 offset = 0;
    bool endOfFile = false;
    bool readFailed = false;
    bool broken = false;
    int sendError = 0;
    QSocketNotifier notifier(fd, QSocketNotifier::Write);
    auto push = [&] {
        const qint64 before = m_bytesSent;
        for (int round = 0; round < RoundsPerEvent; ++round) {
            if (offset == pending) {
                const qint64 n = device->read(m_chunk.data(), m_chunk.size());
                if (n <= 0) {
                    readFailed = n < 0;
                    endOfFile = true;
                    break;
                }
                pending = n;
                offset = 0;
            }
            const ssize_t sent = ::send(fd, m_chunk.constData() + offset, size_t(pending - offset),
                                        MSG_DONTWAIT | MSG_NOSIGNAL);
            if (sent > 0) {
                offset += sent;
                m_bytesSent += sent;
                continue;
            }
            if (sent < 0 && wouldBlock())
                break;
            sendError = errno;
            broken = true;
            break;
        }
        if (endOfFile || broken)
            notifier.setEnabled(false);
        if (m_bytesSent != before) {
            m_lastActivity.restart();
            Q_EMIT packetSent();
        }
        Q_EMIT wakeUp();
    };
    connect(&notifier, &QSocketNotifier::activated, this, push);
    m_lastActivity.restart();
    push();
    pumpUntil([&] { return endOfFile || broken || m_cancel || idleExpired(); });
    notifier.setEnabled(false);
    if (m_cancel) {
        m_cancel = false;
        Q_EMIT sendAborted();
        throw SocketAbortError(QStringLiteral("Socket send aborted"));
    }
    if (readFailed)
        throw SocketError(QStringLiteral("Unable to read the local file: ") +
                          device->errorString());
    if (broken) {
        closeOwnDescriptor();
        m_connected = false;
        m_closedByReset = true;
        raiseSocketError(sendError == EPIPE ? 10058 : 10054);
    }
    if (!endOfFile)
        raiseTimeOut(idleTimeOutText());
}

void PumpingSocket::FinishSending() {
    if (!m_connected || m_ownFd < 0)
        return;
    const int fd = m_ownFd;
    ::shutdown(fd, SHUT_WR);
    bool ended = false;
    bool reset = false;
    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    connect(&notifier, &QSocketNotifier::activated, this, [&] {
        const ssize_t n = ::recv(fd, m_chunk.data(), size_t(m_chunk.size()), MSG_DONTWAIT);
        if (n > 0) {
            m_lastActivity.restart();
        } else if (n == 0 || !wouldBlock()) {
            ended = true;
            reset = n < 0;
            notifier.setEnabled(false);
        }
        Q_EMIT wakeUp();
    });
    m_lastActivity.restart();
    pumpUntil([&] { return ended || m_cancel || idleExpired(); });
    notifier.setEnabled(false);
    closeOwnDescriptor();
    m_connected = false;
    m_closedByReset = reset;
    if (m_cancel)
        return;
    if (!ended)
        raiseTimeOut(idleTimeOutText());
    if (reset)
        raiseSocketError(10054);
}
