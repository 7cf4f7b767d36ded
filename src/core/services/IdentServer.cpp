#include "services/IdentServer.h"

#include "net/NetErrors.h"
#include "services/IdentReply.h"

#include <QTimer>

IdentServer::IdentServer(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("KorvIDENT1"));
    connect(&m_listener, &AsyncSocket::sessionAvailable, this, &IdentServer::acceptClients);
}

void IdentServer::Start() {
    m_listener.Close();
    try {
        m_listener.setAddr(m_address);
        m_listener.setPort(QString::number(m_port));
        m_listener.Listen();
        setEnabled(true);
    } catch (const NetError&) {
        // Port 113 needs privileges on most systems; the program goes on without ident.
        Q_EMIT errorOccurred(
            QStringLiteral("Ident Server Error: Unable To Listen on %1").arg(m_port));
        setEnabled(false);
    }
}

void IdentServer::Stop() {
    setEnabled(false);
    m_listener.Close();
    const QList<AsyncSocket*> clients = std::exchange(m_clients, {});
    for (AsyncSocket* client : clients) {
        client->Close();
        client->deleteLater();
    }
}

void IdentServer::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    Q_EMIT enabledChanged(enabled);
}

void IdentServer::acceptClients() {
    for (;;) {
        const qintptr handle = m_listener.state() == AsyncSocket::State::Listening
                                   ? m_listener.Accept()
                                   : qintptr(-1);
        if (handle == -1)
            return;
        auto* client = new AsyncSocket(this);
        try {
            client->Dup(handle);
        } catch (const NetError&) {
            delete client;
            continue;
        }
        m_clients.append(client);
        connect(client, &AsyncSocket::dataAvailable, this, [this, client] { replyTo(client); });
        connect(client, &AsyncSocket::sessionClosed, this, [this, client] { drop(client); });
        // A client that never asks would otherwise hold its connection until exit.
        QTimer::singleShot(m_clientTimeOut, client, [this, client] { drop(client); });
        Q_EMIT identRequested(client->GetPeerName().toString());
    }
}

void IdentServer::replyTo(AsyncSocket* client) {
    // One reply per client, whatever arrives after the first block.
    disconnect(client, &AsyncSocket::dataAvailable, this, nullptr);
    char request[IdentRequestLimit];
    const qint64 received = client->Receive(request, IdentRequestLimit);
    if (received > 0)
        client->Send(IdentReply(QByteArray(request, int(received)), System, User));
    // Sends what is queued, then closes; sessionClosed drops the entry.
    client->ShutDown(2);
}

void IdentServer::drop(AsyncSocket* client) {
    if (!m_clients.removeOne(client))
        return;
    client->Close();
    client->deleteLater();
}
