#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QQueue>
#include <QString>

class QTcpSocket;
class HandleServer;

// An event-driven TCP socket: no waiting calls, the owner reacts to its
// signals. Used for listing data connections, the ident server and the
// version check. Address, port and protocol may change only while closed.
class AsyncSocket : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Connecting, Connected, Listening };

    explicit AsyncSocket(QObject* parent = nullptr);
    ~AsyncSocket() override;

    QString Addr() const { return m_addr; }
    void setAddr(const QString& addr);
    QString Port() const { return m_port; }
    void setPort(const QString& port);
    QString Proto() const { return m_proto; }
    void setProto(const QString& proto);

    State state() const { return m_state; }
    int LastError() const { return m_lastError; }
    QString DnsResult() const { return m_dnsResult; }
    // The port actually bound by Listen (useful with port "0").
    quint16 localPort() const;
    QHostAddress localAddress() const;

    void Connect();
    void Close();
    void Listen();
    // Takes the next pending incoming connection's handle, or -1 when none.
    qintptr Accept();
    // Adopts an accepted handle.
    void Dup(qintptr handle);
    qint64 Send(const QByteArray& data);
    qint64 Receive(char* buffer, qint64 length);
    QByteArray ReceiveAll();
    // 0 stops receiving, 1 stops sending, 2 both.
    void ShutDown(int how);
    QHostAddress GetPeerName() const;
    quint16 peerPort() const;
    void DnsLookup(const QString& host);

Q_SIGNALS:
    void dataAvailable(int error);
    void sessionAvailable(int error);
    void sessionConnected(int error);
    void sessionClosed(int error);
    void dataSent(int error);
    void changeState(AsyncSocket::State oldState, AsyncSocket::State newState);
    void dnsLookupDone(int error);
    void error(int number, const QString& text);

private:
    void setState(State state);
    void attach(QTcpSocket* socket);
    void requireClosed(const char* what) const;

    QString m_addr;
    QString m_port;
    QString m_proto = QStringLiteral("tcp");
    State m_state = State::Closed;
    int m_lastError = 0;
    QString m_dnsResult;
    QTcpSocket* m_socket = nullptr;
    HandleServer* m_server = nullptr;
};
