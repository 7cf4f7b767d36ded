#pragma once

#include "net/AsyncSocket.h"

#include <QList>
#include <QObject>
#include <QString>

// The ident service (RFC 1413): every client gets one reply built by
// IdentReply from its first block of data, and is then closed.
class IdentServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 113;
    // A client that sends nothing is dropped after this long.
    static constexpr int DefaultClientTimeOut = 60000;

    explicit IdentServer(QObject* parent = nullptr);

    QString System;
    QString User;

    // Where Start listens. Port 0 takes any free port (see listeningPort).
    QString address() const { return m_address; }
    void setAddress(const QString& address) { m_address = address; }
    quint16 port() const { return m_port; }
    void setPort(quint16 port) { m_port = port; }
    int clientTimeOut() const { return m_clientTimeOut; }
    void setClientTimeOut(int ms) { m_clientTimeOut = ms; }

    bool isEnabled() const { return m_enabled; }
    // The port bound while enabled.
    quint16 listeningPort() const { return m_listener.localPort(); }
    int clientCount() const { return int(m_clients.size()); }

    // Listens anew (an open listener is closed first); a failure is reported
    // through errorOccurred and leaves the server disabled.
    void Start();
    // Stops listening and drops every open client.
    void Stop();

Q_SIGNALS:
    void enabledChanged(bool enabled);
    // A client connected; the peer's address as text.
    void identRequested(const QString& peer);
    void errorOccurred(const QString& message);

private:
    void setEnabled(bool enabled);
    void acceptClients();
    void replyTo(AsyncSocket* client);
    void drop(AsyncSocket* client);

    QString m_address = QStringLiteral("0.0.0.0");
    quint16 m_port = DefaultPort;
    int m_clientTimeOut = DefaultClientTimeOut;
    bool m_enabled = false;
    AsyncSocket m_listener;
    QList<AsyncSocket*> m_clients;
};
