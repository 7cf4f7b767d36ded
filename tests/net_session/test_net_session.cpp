// The socket layer and the FTP session against a scripted server: replies
// real servers will not give on demand, cancels, closes and stalls.
#include "FakeFtpServer.h"
#include "NetTestHelpers.h"
#include "net/AsyncSocket.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"
#include "net/WireText.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Never answers a host lookup, so only the time-out or a cancel can end it.
class SilentLookupSocket : public PumpingSocket {
public:
    using PumpingSocket::PumpingSocket;
    int lookups = 0;

protected:
    void startLookup(const QString&) override { ++lookups; }
};

// An endless stream of zeros, for sends that never finish on their own.
class ZeroDevice : public QIODevice {
public:
    ZeroDevice() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 size) override {
        memset(data, 0, size_t(size));
        return size;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
};

} // namespace

class TestNetSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void loginPaths_data();
    void loginPaths();
    void abortedLoginClosesTheConnection_data();
    void abortedLoginClosesTheConnection();
    void replyReading();
    void lineSplitAcrossPackets();
    void staleLinesAreDrained();
    void commandOutcomes();
    void closeDuringWaitEndsTheWait();
    void stalledServerEndsOnCancel();
    void overlongReplyLineFailsCleanly();
    void commandsCannotSmuggleLines();

    void connectFailuresAndClose();
    void lookupTimeOutAndCancel();
    void cancelDuringSend();
    void asyncSocketRoundTrip();

private:
    FakeFtpServer* m_fake = nullptr;
};

void TestNetSession::init() {
    m_fake = new FakeFtpServer(this);
    QVERIFY(m_fake->listen());
}

void TestNetSession::cleanup() {
    delete m_fake;
    m_fake = nullptr;
}

void TestNetSession::loginPaths_data() {
    QTest::addColumn<QByteArray>("greeting");
    QTest::addColumn<QByteArray>("userReply"); // empty: USER must not be sent
    QTest::addColumn<QByteArray>("passReply"); // empty: PASS must not be sent
    QTest::addColumn<QString>("refusal");      // empty: logged in
    const QByteArray hi = "220 hi\r\n";
    const QString incorrect = QStringLiteral("530 Login incorrect.");
    QTest::newRow("230 after USER") << hi << QByteArray("230 welcome") << QByteArray() << QString();
    QTest::newRow("331 then PASS") << hi << QByteArray("331 pw?") << QByteArray("230 ok") << QString();
    QTest::newRow("530 on PASS") << hi << QByteArray("331 pw?") << incorrect.toLatin1() << incorrect;
    QTest::newRow("530 on USER") << hi << QByteArray("530 go away") << QByteArray()
                                 << QStringLiteral("530 go away");
    // A plain middle line does not end the 331; the 530 is the answer to PASS.
    QTest::newRow("331 with a plain middle line")
        << hi << QByteArray("331-Password needed\r\nplain middle\r\n331 send it")
        << incorrect.toLatin1() << incorrect;
    // Lines between "220-" and "220 " need no prefix: all are the greeting.
    QTest::newRow("multi-line welcome")
        << QByteArray("220-Welcome\r\n+--------+\r\n| banner |\r\n  indented\r\n220 server\r\n")
        << QByteArray("331 pw") << QByteArray("230-Hello\r\n230 in") << QString();
    // A refusal in the greeting says more than the failed USER would.
    QTest::newRow("refused in the greeting") << QByteArray("421 Too many users\r\n") << QByteArray()
                                             << QByteArray() << QStringLiteral("421 Too many users");
}

void TestNetSession::loginPaths() {
    QFETCH(QByteArray, greeting);
    QFETCH(QByteArray, userReply);
    QFETCH(QByteArray, passReply);
    QFETCH(QString, refusal);
    m_fake->greet(greeting);
    if (!userReply.isEmpty())
        m_fake->expect("USER user", userReply);
    if (!passReply.isEmpty())
        m_fake->expect("PASS pass", passReply);

    FtpSession session;
    QSignalSpy connectedSpy(&session, &PumpingSocket::connected);
    QSignalSpy failedSpy(&session, &PumpingSocket::connectionFailed);
    QSignalSpy statusSpy(&session, &PumpingSocket::status);
    const bool loggedIn = refusal.isEmpty();
    QCOMPARE(ThrownMessage<FtpException>([&] { LoginTo(session, m_fake->port()); }),
             loggedIn ? QStringLiteral("(nothing thrown)") : refusal);
    QVERIFY(m_fake->scriptDone());
    QVERIFY(m_fake->mismatches().isEmpty());
    // A refused login leaves no half-open session behind.
    QCOMPARE(session.isConnected(), loggedIn);
    QCOMPARE(connectedSpy.count(), loggedIn ? 1 : 0);
    QCOMPARE(failedSpy.count(), loggedIn ? 0 : 1);
    // The whole welcome came before USER; the password is never reported.
    const QString log = StatusText(statusSpy);
    QVERIFY(log.indexOf(QLatin1String("USER user")) > log.lastIndexOf(QLatin1String("220")) ||
            userReply.isEmpty());
    QVERIFY(!log.contains(QLatin1String("PASS pass")));
}

void TestNetSession::abortedLoginClosesTheConnection_data() {
    QTest::addColumn<QByteArray>("abortAt"); // the command whose reply never comes
    QTest::newRow("greeting") << QByteArray();
    QTest::newRow("USER") << QByteArray("USER");
    QTest::newRow("PASS") << QByteArray("PASS");
}

void TestNetSession::abortedLoginClosesTheConnection() {
    QFETCH(QByteArray, abortAt);
    FtpSession session;
    if (abortAt.isEmpty()) {
        m_fake->greet(QByteArray());
        session.setReportLevel(8);
        connect(&session, &PumpingSocket::status, m_fake, [&](const QString& text) {
            if (text == QLatin1String("ReadLn"))
                session.Abort();
        });
    } else {
        m_fake->expect("USER", abortAt == "USER" ? QByteArray() : QByteArray("331 pw"));
        m_fake->expect("PASS", QByteArray());
        connect(m_fake, &FakeFtpServer::commandReceived, &session,
                [&](const QByteArray& command) {
                    if (command.startsWith(abortAt))
                        session.Abort();
                });
    }
    QVERIFY_THROWS_EXCEPTION(SocketAbortError, LoginTo(session, m_fake->port()));
    QVERIFY(!session.isConnected());
    delete m_fake;
    m_fake = nullptr;
    // The next Connect logs in afresh.
    FakeFtpServer second;
    QVERIFY(second.listen());
    second.expect("USER user", "230 in");
    LoginTo(session, second.port());
    QVERIFY(session.isConnected());
    QVERIFY(second.scriptDone());
}

void TestNetSession::replyReading() {
    m_fake
        ->expect("USER", "230 ok")
        // Lines between "214-" and "214 " may look like anything.
        .expect("HELP", "214-The following commands\r\n CWD PWD\r\nstray text\r\n214-more\r\n214 Done")
        .expect("NOOP", "200-first\r\n200 NOOP ok");
    FtpSession session;
    LoginTo(session, m_fake->port());
    session.DoCommand(QStringLiteral("HELP"));
    QCOMPARE(session.replyNumber(), 214);
    QCOMPARE(session.LastReplyText(), QStringLiteral("214-The following commands"));
    QCOMPARE(session.replyLines().size(), 5);
    session.DoCommand(QStringLiteral("NOOP"));
    QCOMPARE(session.replyNumber(), 200);
    QCOMPARE(session.LastReplyText(), QStringLiteral("200-first"));
    QVERIFY(m_fake->mismatches().isEmpty());
}
void TestNetSession::lineSplitAcrossPackets() {
    m_fake->expect("USER", "230 ok").expect("NOOP", [](FakeFtpServer& server, const QByteArray&) {
        server.sendRaw("20");
        QTimer::singleShot(20, &server, [&server] { server.sendRaw("0 split\r\n201 second\r\n"); });
    });
    FtpSession session;
    LoginTo(session, m_fake->port());
    session.DoCommand(QStringLiteral("NOOP"));
    QCOMPARE(session.lastReply(), QByteArray("200 split\r\n"));
    // Two lines in one packet: the second waits for the next read.
    QCOMPARE(session.ReadLn(), QByteArray("201 second\r\n"));
}

void TestNetSession::staleLinesAreDrained() {
    m_fake->expect("USER", "230 ok").expect("NOOP", "200 fresh");
    FtpSession session;
    LoginTo(session, m_fake->port());
    QSignalSpy statusSpy(&session, &PumpingSocket::status);
    QSignalSpy disconnectedSpy(&session, &PumpingSocket::disconnected);
    m_fake->send("226 stale transfer reply");
    QTRY_VERIFY_WITH_TIMEOUT(session.receiveBuffer().hasLine(), 5000);
    session.DoCommand(QStringLiteral("NOOP"));
    QCOMPARE(session.lastReply(), QByteArray("200 fresh\r\n"));
    // Drained, but shown.
    QVERIFY(StatusText(statusSpy).contains(QLatin1String("226 stale transfer reply")));

    // A drained 421 is the server leaving: the session closes, nothing is sent.
    m_fake->send("421 Idle too long, closing");
    QTRY_VERIFY_WITH_TIMEOUT(session.receiveBuffer().hasLine(), 5000);
    QCOMPARE(ThrownMessage<FtpException>([&] { session.DoCommand(QStringLiteral("NOOP")); }),
             QStringLiteral("421 Idle too long, closing"));
    QCOMPARE(disconnectedSpy.count(), 1);
    QVERIFY(!session.isConnected());
    QCOMPARE(m_fake->received().size(), 2);
}

void TestNetSession::commandOutcomes() {
    m_fake->expect("USER", "230 ok")
        .expect("CWD /nope", "550 No such directory")
        .expect("CWD /yes", "250 ok")
        .expect("SITE FOO", "500 Unknown command")
        .expect("RNFR a", "350 ready")
        .expect("RNTO b", "250 renamed")
        .expect("RNFR gone", "450 not there")
        .expect("PWD", "257 \"/home/my \"\"dir\"\"\" is current")
        .expect("DELE x", "550 denied");
    FtpSession session;
    LoginTo(session, m_fake->port());
    const auto failures = RecordFailures(session);
    QSignalSpy successSpy(&session, &FtpSession::success);
    QSignalSpy unsupportedSpy(&session, &FtpSession::unsupportedFunction);

    session.ChangeDir(QStringLiteral("/nope"));
    QCOMPARE(*failures, QList<CommandKind>{CommandKind::ChangeDir});
    session.ChangeDir(QStringLiteral("/yes"));
    QCOMPARE(successSpy.count(), 1);
    QCOMPARE(successSpy.at(0).at(0).value<CommandKind>(), CommandKind::ChangeDir);
    session.DoCommand(QStringLiteral("SITE FOO"));
    QCOMPARE(unsupportedSpy.count(), 1);
    QCOMPARE(failures->last(), CommandKind::Other);
    session.Rename(QStringLiteral("a"), QStringLiteral("b"));
    QCOMPARE(successSpy.count(), 2);
    // No RNTO follows a refused RNFR.
    session.Rename(QStringLiteral("gone"), QStringLiteral("c"));
    QCOMPARE(failures->last(), CommandKind::Rename);
    // A doubled quote inside the path stands for one.
    QCOMPARE(session.CurrentDir(), QStringLiteral("/home/my \"dir\""));

    // Unhandled failures raise with the server's words.
    session.setFailureHandler({});
    QCOMPARE(ThrownMessage<FtpException>([&] { session.Delete(QStringLiteral("x")); }),
             QStringLiteral("550 denied"));
    QVERIFY(m_fake->mismatches().isEmpty());
}

void TestNetSession::closeDuringWaitEndsTheWait() {
    m_fake->expect("USER", "230 ok").expect("NOOP", [](FakeFtpServer& server, const QByteArray&) {
        server.closeClient();
    });
    FtpSession session;
    LoginTo(session, m_fake->port());
    QSignalSpy disconnectedSpy(&session, &PumpingSocket::disconnected);
    QCOMPARE(ThrownMessage<SocketError>([&] { session.DoCommand(QStringLiteral("NOOP")); }),
             QStringLiteral("Connection closed by server"));
    QCOMPARE(disconnectedSpy.count(), 1);
    QVERIFY(!session.isConnected());
    // Later commands ask for a connection instead of waiting.
    QVERIFY_THROWS_EXCEPTION(NotConnectedError, session.DoCommand(QStringLiteral("NOOP")));
}

void TestNetSession::stalledServerEndsOnCancel() {
    m_fake->expect("USER", "230 ok").expect("STAT", QByteArray());
    FtpSession session;
    LoginTo(session, m_fake->port());
    connect(m_fake, &FakeFtpServer::commandReceived, &session, [&](const QByteArray& command) {
        if (command == "STAT")
            session.Abort();
    });
    // An aborted wait is not a reply: it raises, and the session stays usable.
    QCOMPARE(ThrownMessage<SocketAbortError>([&] { session.DoCommand(QStringLiteral("STAT")); }),
             QStringLiteral("Socket readln aborted"));
    QCOMPARE(session.replyNumber(), 0);
    QVERIFY(session.isConnected());
}

void TestNetSession::commandsCannotSmuggleLines() {
    m_fake->expect("USER", "230 ok").expect("NOOP", "200 ok");
    FtpSession session;
    LoginTo(session, m_fake->port());
    QVERIFY_THROWS_EXCEPTION(SocketError, session.ChangeDir(QStringLiteral("x\r\nDELE precious")));
    QVERIFY_THROWS_EXCEPTION(SocketError, session.Delete(QStringLiteral("a\0b")));
    QVERIFY_THROWS_EXCEPTION(SocketError, session.ChangeDir(QString(20000, QLatin1Char('a'))));
    session.DoCommand(QStringLiteral("NOOP"));
    QCOMPARE(m_fake->received(), (QList<QByteArray>{"USER user", "NOOP"}));
}

void TestNetSession::overlongReplyLineFailsCleanly() {
    m_fake->expect("USER", "230 ok")
        .expect("NOOP", [](FakeFtpServer& server,
                           const QByteArray&) { server.send(QByteArray(2 * 1024 * 1024, 'A')); })
        .expect("PWD", "257 \"/\"");
    FtpSession session;
    LoginTo(session, m_fake->port());
    QVERIFY_THROWS_EXCEPTION(SocketError, session.DoCommand(QStringLiteral("NOOP")));
    QCOMPARE(session.CurrentDir(), QStringLiteral("/"));
}

void TestNetSession::connectFailuresAndClose() {
    // A port nobody listens on.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 closedPort = probe.serverPort();
    probe.close();

    PumpingSocket socket;
    QSignalSpy resolvedSpy(&socket, &PumpingSocket::hostResolved);
    QSignalSpy failedSpy(&socket, &PumpingSocket::connectionFailed);
    socket.setHost(QStringLiteral("127.0.0.1"));
    socket.setPort(closedPort);
    socket.setTimeOut(5000);
    QCOMPARE(ThrownMessage<SocketError>([&] { socket.Connect(); }),
             QStringLiteral("Connection Failed"));
    QCOMPARE(failedSpy.count(), 1);
    // A dotted address needs no lookup.
    QCOMPARE(resolvedSpy.count(), 0);

    // The same socket connects once something listens.
    socket.setPort(m_fake->port());
    socket.Connect();
    QVERIFY(socket.isConnected());
    QVERIFY_THROWS_EXCEPTION(SocketError, socket.Connect()); // "Already connected"

    // Closing tells once, a second close is quiet; a closed socket connects again.
    QSignalSpy disconnectedSpy(&socket, &PumpingSocket::disconnected);
    socket.CloseSocket();
    socket.CloseSocket();
    QCOMPARE(disconnectedSpy.count(), 1);
    QVERIFY(!socket.isConnected());
    FakeFtpServer second;
    QVERIFY(second.listen());
    socket.setPort(second.port());
    socket.Connect();
    QCOMPARE(socket.ReadLn(), QByteArray("220 ready\r\n"));
}

void TestNetSession::lookupTimeOutAndCancel() {
    SilentLookupSocket socket;
    socket.setHost(QStringLiteral("never.answers.invalid"));
    socket.setPort(21);
    socket.setTimeOut(100);
    QCOMPARE(ThrownMessage<SocketError>([&] { socket.Connect(); }),
             QStringLiteral("Host Lookup Timed Out"));
    QVERIFY(socket.timedOut());

    socket.setTimeOut(0);
    QTimer::singleShot(0, &socket, [&] { socket.Cancel(); });
    QCOMPARE(ThrownMessage<SocketError>([&] { socket.Connect(); }),
             QStringLiteral("Host Lookup Canceled"));
    QCOMPARE(socket.lookups, 2);
}

void TestNetSession::cancelDuringSend() {
    // A peer that accepts and never reads: the send can only end by cancel.
    QTcpServer sink;
    QVERIFY(sink.listen(QHostAddress::LocalHost, 0));
    PumpingSocket socket;
    socket.setDataMode();
    socket.setHost(QStringLiteral("127.0.0.1"));
    socket.setPort(sink.serverPort());
    socket.setTimeOut(10000);
    socket.Connect();
    QSignalSpy abortedSpy(&socket, &PumpingSocket::sendAborted);
    connect(&socket, &PumpingSocket::packetSent, &socket, [&] {
        if (socket.bytesSent() > 1024 * 1024)
            socket.Cancel();
    });
    ZeroDevice zeros;
    QCOMPARE(ThrownMessage<SocketAbortError>([&] { socket.SendFromDevice(&zeros); }),
             QStringLiteral("Socket send aborted"));
    QVERIFY(!socket.isCancelled());
    QCOMPARE(abortedSpy.count(), 1);
}

void TestNetSession::asyncSocketRoundTrip() {
    AsyncSocket listener;
    listener.setAddr(QStringLiteral("127.0.0.1"));
    listener.setPort(QStringLiteral("0"));
    listener.Listen();
    QCOMPARE(listener.state(), AsyncSocket::State::Listening);

    AsyncSocket client;
    client.setAddr(QStringLiteral("127.0.0.1"));
    client.setPort(QString::number(listener.localPort()));
    QSignalSpy connectedSpy(&client, &AsyncSocket::sessionConnected);
    QSignalSpy availableSpy(&listener, &AsyncSocket::sessionAvailable);
    client.Connect();
    QVERIFY(connectedSpy.wait(5000) || connectedSpy.count() == 1);
    QCOMPARE(connectedSpy.first().at(0).toInt(), 0);
    QVERIFY(availableSpy.count() == 1 || availableSpy.wait(5000));

    AsyncSocket served;
    served.Dup(listener.Accept());
    QCOMPARE(served.state(), AsyncSocket::State::Connected);
    QCOMPARE(served.GetPeerName(), QHostAddress(QHostAddress::LocalHost));

    QSignalSpy dataSpy(&served, &AsyncSocket::dataAvailable);
    client.Send("ident query\r\n");
    QVERIFY(dataSpy.wait(5000));
    QCOMPARE(served.ReceiveAll(), QByteArray("ident query\r\n"));

    QSignalSpy closedSpy(&served, &AsyncSocket::sessionClosed);
    client.ShutDown(1);
    QVERIFY(closedSpy.wait(5000));
    QCOMPARE(served.state(), AsyncSocket::State::Closed);

    // Refused connections report through sessionConnected with an error.
    listener.Close();
    AsyncSocket refused;
    refused.setAddr(QStringLiteral("127.0.0.1"));
    refused.setPort(QString::number(client.peerPort()));
    QSignalSpy refusedSpy(&refused, &AsyncSocket::sessionConnected);
    refused.Connect();
    QVERIFY(refusedSpy.wait(5000));
    QCOMPARE(refusedSpy.first().at(0).toInt(), 10061);
}

QTEST_GUILESS_MAIN(TestNetSession)
#include "test_net_session.moc"
