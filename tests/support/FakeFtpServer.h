#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// A scripted FTP server for replies real servers will not give on demand:
// odd multi-line replies, PASV without parentheses, 426 in mid-transfer,
// silence, an abrupt close. It lives on the test's thread; the client's
// waits pump its events. Each step names the command it expects and what to
// do then; what the client sent is recorded.
class FakeFtpServer : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void(FakeFtpServer&, const QByteArray& command)>;

    explicit FakeFtpServer(QObject* parent = nullptr);

    bool listen();
    quint16 port() const { return m_server.serverPort(); }

    // Sent as soon as a client connects ("220 ready\r\n" when not set).
    FakeFtpServer& greet(const QByteArray& text);
    // Expect a command starting with prefix; answer with reply (sent as is,
    // CR LF added when missing; an empty reply means silence).
    FakeFtpServer& expect(const QByteArray& prefix, const QByteArray& reply);
    FakeFtpServer& expect(const QByteArray& prefix, Action action);

    // Immediate actions, usable from steps or from the test.
    void send(const QByteArray& text);
    // Sends exactly these bytes, without adding a line end.
    void sendRaw(const QByteArray& bytes);
    void closeClient();
    // Opens a data listener; returns the "227 ..." reply announcing it.
    QByteArray openPassive(bool withParentheses = true);
    // Connects to the address of a PORT command for active transfers.
    void connectActive(const QByteArray& portCommand);
    // Sends data on the data connection once it exists, then optionally closes it.
    void sendData(const QByteArray& data, bool closeAfter = true);
    void closeData();

    const QList<QByteArray>& received() const { return m_received; }
    QByteArray dataReceived() const { return m_dataIn; }
    bool dataClosed() const { return m_dataClosed; }
    bool clientConnected() const {
        return m_client && m_client->state() == QAbstractSocket::ConnectedState;
    }
    // Commands that did not match the script, for the test to check.
    const QList<QByteArray>& mismatches() const { return m_mismatches; }
    bool scriptDone() const { return m_steps.isEmpty(); }

Q_SIGNALS:
    void commandReceived(const QByteArray& command);

private:
    struct Step {
        QByteArray prefix;
        Action action;
    };
    void clientReadable();
    void adoptData(QTcpSocket* socket);
    void flushPendingData();

    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QTcpServer m_dataServer;
    QPointer<QTcpSocket> m_data;
    QByteArray m_greeting = "220 ready\r\n";
    QList<Step> m_steps;
    QList<QByteArray> m_received;
    QList<QByteArray> m_mismatches;
    QByteArray m_inbox;
    QByteArray m_pendingData;
    bool m_pendingClose = false;
    bool m_hasPendingData = false;
    QByteArray m_dataIn;
    bool m_dataClosed = false;
};
