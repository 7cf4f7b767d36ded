#pragma once

#include "net/ReceiveBuffer.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QIODevice;
class QTcpServer;
class QTcpSocket;

// A TCP socket with blocking-style calls that never block the thread: every
// waiting call runs a nested event loop until its event arrives, it is
// cancelled or its time-out fires, so timers, clicks and the other side's
// sockets keep running meanwhile. Failures are thrown as NetError subclasses.
class PumpingSocket : public QObject {
    Q_OBJECT
public:
    // What a data connection holds before TCP flow control stops the
    // sender: Qt's buffer and ours each hold at most this much.
    static constexpr qint64 DataWindow = 256 * 1024;

    explicit PumpingSocket(QObject* parent = nullptr);
    ~PumpingSocket() override;

    // Published properties.
    QString host() const { return m_host; }
    void setHost(const QString& host) { m_host = host; }
    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }
    int timeOut() const { return m_timeOut; }
    void setTimeOut(int milliseconds) { m_timeOut = milliseconds; }
    int reportLevel() const { return m_reportLevel; }
    void setReportLevel(int level) { m_reportLevel = level; }
    QString proxy() const { return m_proxy; }
    void setProxy(const QString& proxy) { m_proxy = proxy; }
    quint16 proxyPort() const { return m_proxyPort; }
    void setProxyPort(quint16 port) { m_proxyPort = port; }

    // Handlers that may repair the situation: return true when handled.
    void setInvalidHostHandler(std::function<bool()> handler) {
        m_invalidHost = std::move(handler);
    }
    void setConnectionRequiredHandler(std::function<bool()> handler) {
        m_connectionRequired = std::move(handler);
    }

    // Run-time state.
    bool isConnected() const { return m_connected; }
    bool isCancelled() const { return m_cancel; }
    // A waiting call of this socket is under way further down the stack.
    bool isWaiting() const { return m_waitDepth > 0; }
    bool timedOut() const { return m_timedOut; }
    int lastError() const { return m_lastError; }
    QString lastStatus() const { return m_lastStatus; }
    QByteArray lastReply() const { return m_lastReply; }
    int replyNumber() const { return m_replyNumber; }
    QHostAddress remoteAddress() const { return m_remoteAddress; }
    QString RemoteAddressText() const { return m_remoteAddress.toString(); }
    qint64 bytesReceived() const { return m_bytesReceived; }
    qint64 bytesSent() const { return m_bytesSent; }
    // Calls of Write since this socket was made, over every connection: a
    // reply kept for later still belongs to the session while this holds.
    quint64 writeCount() const { return m_writeCount; }
    ReceiveBuffer& receiveBuffer() { return m_buffer; }

    // Waiting calls, in the order a client uses them.
    virtual void Connect();
    void Disconnect();
    void CloseSocket();
    void Cancel();
    void Write(const QByteArray& data);
    void Writeln(const QByteArray& text);
    // The next line; waits at most TimeOut ms (see timeOutDeadline), or
    // until the deadline given. Empty when cancelled or closed first.
    QByteArray ReadLn();
    QByteArray ReadLn(QDeadlineTimer deadline);
    QByteArray Read(qsizetype n);
    virtual QByteArray Transaction(const QByteArray& command);
    void Listen(const QHostAddress& address = QHostAddress(QHostAddress::AnyIPv4));
    void Accept();
    // Accept ignores connections from anywhere else (null: accept any).
    void setAcceptFrom(const QHostAddress& peer) { m_acceptFrom = peer; }
    QHostAddress ResolveHost(bool report);
    // "h1,h2,h3,h4,p1,p2" for a PORT command: the control socket's local
    // address and this listening socket's port.
    QString PortArgument(const QHostAddress& localAddress) const;
    QHostAddress localAddress() const;
    quint16 listeningPort() const;
    // A data connection: received bytes wait in the network beyond a small
    // window until a reader takes them (TCP flow control keeps memory flat),
    // and a reset by the peer is told apart from an orderly close.
    void setDataMode();
    // The connection ended by a reset (or an error), not by the peer's close.
    bool closedByReset() const { return m_closedByReset; }
    // Now plus TimeOut, or forever when TimeOut is 0.
    QDeadlineTimer timeOutDeadline() const;
    // Fires the connection-required handler when not connected; throws
    // "Not Connected" unless the handler made a connection.
    void CheckConnection();

    // Whole-stream moves of a data connection (data mode) for downloads and
    // uploads. They read and write the descriptor themselves: one copy less
    // than through Qt's buffer, and a reset shows as the error it is. Both
    // end when the stream is done or the peer closes; cancel raises "Socket
    // send aborted"; TimeOut ms without a byte raises a TimeOutError.
    void CaptureToDevice(QIODevice* device);
    // Throws when the connection ends before the whole stream was sent.
    void SendFromDevice(QIODevice* device);
    // Sends our end of the stream and reads to the peer's end, which it
    // sends once it has read everything; a reset there is a failure.
    void FinishSending();

    // Called by the time-out timer; the session also cancels its data connection.
    virtual void Abort() { Cancel(); }

    // Six lines describing this platform's network stack.
    static QStringList WSInfo();

Q_SIGNALS:
    void connected();
    void disconnected();
    void connectionFailed();
    void hostResolved();
    void status(const QString& text);
    void error(int number, const QString& text);
    void packetReceived();
    void packetSent();
    void sendAborted();
    // Internal: any event a wait might be waiting for.
    void wakeUp();

protected:
    void reportStatus(const QString& text, int level);
    void reportStatus(const QByteArray& text, int level);
    // Pumps events until done() holds; cancel, closure and data wake it.
    void pumpUntil(const std::function<bool()>& done);
    // Runs after received data was appended to the buffer.
    virtual void dataReceived() {}
    // The TCP connection is up; sessions that log in first override this.
    virtual void socketConnected() { Q_EMIT connected(); }
    // Starts an asynchronous lookup; tests replace it with one that never answers.
    virtual void startLookup(const QString& name);
    void lookupFinished(int id, const QList<QHostAddress>& addresses, bool ok);
    bool peerClosed() const { return m_peerClosed; }
    void setLastReply(const QByteArray& line, int code) {
        m_lastReply = line;
        m_replyNumber = code;
    }
    void setCancelled(bool cancelled) { m_cancel = cancelled; }
    [[noreturn]] void raiseSocketError(int number);
    [[noreturn]] void raiseTimeOut(const QString& text);
    // "1.5": milliseconds as seconds for messages.
    static QString SecondsText(int milliseconds);
    // Moves what the socket holds into the receive buffer (within the
    // window in data mode).
    void pullIncoming();

private:
    void attachSocket(QTcpSocket* socket);
    void freshSocket();
    void readIncoming();
    bool idleExpired() const;
    QString idleTimeOutText() const;
    void watchForReset();
    void closeShadow();
    // Qt lets go of the socket; from now on m_ownFd is the connection.
    void takeOverSocket();
    void closeOwnDescriptor();
    void socketDisconnected();
    void socketError();
    void startTimeOut();
    void stopTimeOut();
    void timeOutFired();

    QString m_host;
    quint16 m_port = 0;
    int m_timeOut = 0;
    int m_reportLevel = 1;
    int m_waitDepth = 0;
    QString m_proxy;
    quint16 m_proxyPort = 0;
    std::function<bool()> m_invalidHost;
    std::function<bool()> m_connectionRequired;

    QTcpSocket* m_socket = nullptr;
    QTcpServer* m_server = nullptr;
    QTimer m_timer;
    ReceiveBuffer m_buffer;
    QHostAddress m_remoteAddress;
    QHostAddress m_acceptFrom;
    QString m_lastStatus;
    QByteArray m_lastReply;
    int m_replyNumber = 0;
    int m_lastError = 0;
    qint64 m_bytesReceived = 0;
    qint64 m_bytesSent = 0;
    quint64 m_writeCount = 0;
    QElapsedTimer m_lastActivity;
    bool m_dataMode = false;
    // A second descriptor of a data socket: Qt reports a reset as a close and
    // closes its own descriptor at once, this one lets us ask the kernel.
    int m_shadowFd = -1;
    bool m_closedByReset = false;
    QByteArray m_chunk;

    bool m_connected = false;
    bool m_connecting = false;
    bool m_connectError = false;
    bool m_peerClosed = false;
    bool m_cancel = false;
    bool m_timedOut = false;
    bool m_acceptReady = false;
    bool m_destroying = false;

    int m_lookupId = -1;
    bool m_lookupDone = false;
    bool m_lookupFailed = false;
    QList<QHostAddress> m_lookupAddresses;

    int m_ownFd = -1;
};
