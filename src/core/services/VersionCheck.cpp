#include "services/VersionCheck.h"

#include "net/NetErrors.h"
#include "net/SocketErrorText.h"

VersionCheck::VersionCheck(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("KorvTCPVer1"));
    m_timer.setInterval(DefaultTimeOut);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("No answer within %1 seconds").arg(m_timer.interval() / 1000.0));
    });
    connect(&m_socket, &AsyncSocket::sessionConnected, this, &VersionCheck::sendRequest);
    connect(&m_socket, &AsyncSocket::dataAvailable, this, &VersionCheck::readAnswer);
    connect(&m_socket, &AsyncSocket::sessionClosed, this, &VersionCheck::closedByServer);
}

VersionCheck::~VersionCheck() {
    m_socket.disconnect(this);
}

void VersionCheck::Start() {
    m_socket.Close();
    m_running = true;
    m_timer.start();
    try {
        m_socket.setAddr(Host);
        m_socket.setPort(QString::number(Port));
        m_socket.Connect();
    } catch (const NetError& e) {
        fail(e.message());
    }
}

void VersionCheck::sendRequest(int error) {
    if (!m_running)
        return;
    if (error != 0) {
        fail(SocketErrorText::Describe(error));
        return;
    }
    // A simple request: no protocol version, no header lines.
    m_socket.Send("GET " + URL.toUtf8() + "\r\n");
}

void VersionCheck::readAnswer() {
    if (!m_running)
        return;
    char answer[AnswerLimit];
    const qint64 received = m_socket.Receive(answer, AnswerLimit);
    if (received <= 0)
        return;
    finish();
    Q_EMIT dataReceived(QString::fromUtf8(answer, received));
}

void VersionCheck::closedByServer() {
    if (m_running)
        fail(QStringLiteral("The server closed the connection without an answer"));
}

void VersionCheck::finish() {
    m_running = false;
    m_timer.stop();
    m_socket.Close();
}

void VersionCheck::fail(const QString& message) {
    if (!m_running)
        return;
    finish();
    Q_EMIT failed(message);
}
