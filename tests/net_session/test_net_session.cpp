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

QString statusText(const QSignalSpy& spy) {
    QStringList lines;
    for (const auto& args : spy)
        lines << args.at(0).toString().trimmed();
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class TestNetSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void loginPaths_data();
    void loginPaths();
    void greetingRefusalIsReported();
    void replyReading();
    void lineSplitAcrossPackets();
    void staleLinesAreDrained();
    void commandOutcomes();
    void renameAndCurrentDir();
    void passiveDownloadWithoutParentheses();
    void activeListing();
    void serverAbortInMidDownload();
    void closeDuringWaitEndsTheWait();
    void stalledServerEndsOnCancel();
    void overlongReplyLineFailsCleanly();
    void bannerWithPlainMiddleLines();
    void commandsCannotSmuggleLines();
    void refusedDataConnectionEndsTheListing();

    void connectFailures();
    void lookupTimeOutAndCancel();
    void closeFiresDisconnectOnceAndReconnects();
    void cancelDuringSend();
    void asyncSocketPreconditions();
    void asyncSocketRoundTrip();

private:
    void connectSession(FtpSession& session);

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

void TestNetSession::connectSession(FtpSession& session) {
    session.setHost(QStringLiteral("127.0.0.1"));
    session.setPort(m_fake->port());
    session.setTimeOut(10000);
    session.UserID = QStringLiteral("user");
    session.Password = QStringLiteral("pass");
    session.Connect();
}

void TestNetSession::loginPaths_data() {
    QTest::addColumn<QByteArray>("greeting");
    QTest::addColumn<QByteArray>("userReply");
    QTest::addColumn<QByteArray>("passReply");
    QTest::addColumn<bool>("loggedIn");
    QTest::newRow("230 after USER")
        << QByteArray("220 hi\r\n") << QByteArray("230 welcome") << QByteArray() << true;
    QTest::newRow("331 then PASS")
        << QByteArray("220 hi\r\n") << QByteArray("331 password?") << QByteArray("230 ok") << true;
    QTest::newRow("530 on PASS") << QByteArray("220 hi\r\n") << QByteArray("331 password?")
                                 << QByteArray("530 Login incorrect.") << false;
    QTest::newRow("530 on USER") << QByteArray("220 hi\r\n") << QByteArray("530 go away")
                                 << QByteArray() << false;
    QTest::newRow("multi-line welcome")
        << QByteArray("220-Welcome\r\n220-to the\r\n  indented\r\n220 server\r\n")
        << QByteArray("331 pw") << QByteArray("230-Hello\r\n230 in") << true;
}

void TestNetSession::loginPaths() {
    QFETCH(QByteArray, greeting);
    QFETCH(QByteArray, userReply);
    QFETCH(QByteArray, passReply);
    QFETCH(bool, loggedIn);

    m_fake->greet(greeting).expect("USER user", userReply);
    if (!passReply.isEmpty())
        m_fake->expect("PASS pass", passReply);

    FtpSession session;
    QSignalSpy connectedSpy(&session, &PumpingSocket::connected);
    QSignalSpy failedSpy(&session, &PumpingSocket::connectionFailed);
    QSignalSpy statusSpy(&session, &PumpingSocket::status);
    bool threw = false;
    try {
        connectSession(session);
    } catch (const FtpException& e) {
        threw = true;
        QVERIFY(e.message().startsWith(QLatin1String("530")));
    }
    QCOMPARE(threw, !loggedIn);
    // A refused login leaves no half-open session behind.
    QCOMPARE(session.isConnected(), loggedIn);
    QCOMPARE(connectedSpy.count(), loggedIn ? 1 : 0);
    QCOMPARE(failedSpy.count(), loggedIn ? 0 : 1);
    QVERIFY(m_fake->mismatches().isEmpty());
    // The whole welcome came before USER; the password is never reported.
    const QString log = statusText(statusSpy);
    QVERIFY(log.indexOf(QLatin1String("USER user")) > log.lastIndexOf(QLatin1String("220")));
    QVERIFY(!log.contains(QLatin1String("PASS pass")));
    QCOMPARE(m_fake->received().first(), QByteArray("USER user"));
}

void TestNetSession::greetingRefusalIsReported() {
    m_fake->greet("421 Too many users, try later\r\n");
    FtpSession session;
    QCOMPARE(ThrownMessage<FtpException>([&] { connectSession(session); }),
             QStringLiteral("421 Too many users, try later"));
    QVERIFY(m_fake->received().isEmpty());
}

void TestNetSession::replyReading() {
    m_fake
        ->expect("USER", "230 ok")
        // A continuation that does not look like one ends the reply early;
        // the rest is drained before the next command.
        .expect("HELP", "214-The following commands\r\n CWD PWD\r\nstray text\r\n214 Done")
        .expect("NOOP", "200-first\r\n200 NOOP ok")
        .expect("SYST", "215 UNIX Type: L8");
    FtpSession session;
    connectSession(session);
    session.DoCommand(QStringLiteral("HELP"));
    QCOMPARE(session.replyNumber(), 214);
    QCOMPARE(session.LastReplyText(), QStringLiteral("214-The following commands"));
    QCOMPARE(session.replyLines().size(), 3);

    // Wait until the leftover lines are here, so the drain has something to eat.
    QTRY_VERIFY_WITH_TIMEOUT(session.receiveBuffer().hasLine(), 5000);
    session.DoCommand(QStringLiteral("NOOP"));
    QCOMPARE(session.replyNumber(), 200);
    QCOMPARE(session.LastReplyText(), QStringLiteral("200-first"));
    session.DoCommand(QStringLiteral("SYST"));
    QCOMPARE(session.replyNumber(), 215);
    QCOMPARE(FtpReplies::VendorFromSyst(session.lastReply()), 2400);
}

void TestNetSession::lineSplitAcrossPackets() {
    m_fake->expect("USER", "230 ok").expect("NOOP", [](FakeFtpServer& server, const QByteArray&) {
        server.sendRaw("20");
        QTimer::singleShot(20, &server, [&server] { server.sendRaw("0 split\r\n201 second\r\n"); });
    });
    FtpSession session;
    connectSession(session);
    session.DoCommand(QStringLiteral("NOOP"));
    QCOMPARE(session.lastReply(), QByteArray("200 split\r\n"));
    // Two lines in one packet: the second waits for the next read.
    QCOMPARE(session.ReadLn(), QByteArray("201 second\r\n"));
}

void TestNetSession::staleLinesAreDrained() {
    m_fake->expect("USER", "230 ok").expect("NOOP", "200 fresh");
    FtpSession session;
    connectSession(session);
    m_fake->send("226 stale transfer reply");
    QTRY_VERIFY_WITH_TIMEOUT(session.receiveBuffer().hasLine(), 5000);
    session.DoCommand(QStringLiteral("NOOP"));
    QCOMPARE(session.lastReply(), QByteArray("200 fresh\r\n"));
}

void TestNetSession::commandOutcomes() {
    m_fake->expect("USER", "230 ok")
        .expect("CWD /nope", "550 No such directory")
        .expect("CWD /yes", "250 ok")
        .expect("SITE FOO", "500 Unknown command")
        .expect("DELE x", "550 denied");
    FtpSession session;
    connectSession(session);
    const auto failureKinds = RecordFailures(session);
    const QList<CommandKind>& failures = *failureKinds;
    QSignalSpy successSpy(&session, &FtpSession::success);
    QSignalSpy unsupportedSpy(&session, &FtpSession::unsupportedFunction);

    session.ChangeDir(QStringLiteral("/nope"));
    QCOMPARE(failures, QList<CommandKind>{CommandKind::ChangeDir});
    session.ChangeDir(QStringLiteral("/yes"));
    QCOMPARE(successSpy.count(), 1);
    QCOMPARE(successSpy.at(0).at(0).value<CommandKind>(), CommandKind::ChangeDir);
    session.DoCommand(QStringLiteral("SITE FOO"));
    QCOMPARE(unsupportedSpy.count(), 1);
    QCOMPARE(failures.last(), CommandKind::Other);

    // Unhandled failures raise with the server's words.
    session.setFailureHandler({});
    QCOMPARE(ThrownMessage<FtpException>([&] { session.Delete(QStringLiteral("x")); }),
             QStringLiteral("550 denied"));
}

void TestNetSession::renameAndCurrentDir() {
    m_fake->expect("USER", "230 ok")
        .expect("RNFR a", "350 ready")
        .expect("RNTO b", "250 renamed")
        .expect("RNFR gone", "450 not there")
        .expect("PWD", "257 \"/home/my dir\" is current");
    FtpSession session;
    connectSession(session);
    const auto failureKinds = RecordFailures(session);
    const QList<CommandKind>& failures = *failureKinds;
    QSignalSpy successSpy(&session, &FtpSession::success);
    session.Rename(QStringLiteral("a"), QStringLiteral("b"));
    QCOMPARE(successSpy.count(), 1);
    session.Rename(QStringLiteral("gone"), QStringLiteral("c"));
    QCOMPARE(failures, QList<CommandKind>{CommandKind::Rename});
    QCOMPARE(session.CurrentDir(), QStringLiteral("/home/my dir"));
    // No RNTO followed the refused RNFR.
    QVERIFY(m_fake->mismatches().isEmpty());
    QVERIFY(m_fake->scriptDone());
}

void TestNetSession::passiveDownloadWithoutParentheses() {
    const QByteArray content = "hello world\r\nbinary \x00\xff bytes";
    m_fake->expect("USER", "230 ok")
        .expect("PASV", [](FakeFtpServer& server,
                           const QByteArray&) { server.send(server.openPassive(false)); })
        .expect("RETR file.bin", [content](FakeFtpServer& server, const QByteArray&) {
            server.send("150 Opening BINARY mode data connection (" +
                        QByteArray::number(content.size()) + " bytes)");
            server.sendData(content);
            server.send("226 Transfer complete");
        });
    FtpSession session;
    connectSession(session);
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("file.bin"));
    QSignalSpy successSpy(&session, &FtpSession::success);
    QSignalSpy packetSpy(&session, &FtpSession::dataPacketReceived);
    session.Download(QStringLiteral("file.bin"), local, false, true, QHostAddress::LocalHost);
    QVERIFY(packetSpy.count() >= 1);
    QCOMPARE(session.announcedSize(), qint64(content.size()));
    QFile file(local);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
    QCOMPARE(session.replyNumber(), 226);
    QCOMPARE(successSpy.count(), 1); // the download; PASV is part of it
}

void TestNetSession::activeListing() {
    m_fake->expect("USER", "230 ok")
        .expect("PORT ",
                [](FakeFtpServer& server, const QByteArray& command) {
                    server.connectActive(command);
                    server.send("200 PORT ok");
                })
        .expect("LIST -al", [](FakeFtpServer& server, const QByteArray&) {
            server.send("150 Here it comes");
            server.sendData("drwxr-xr-x 2 u g 4096 Jan 1 2020 dir\r\n-rw-r--r-- 1 u g 5 Jan 1 2020 "
                            "caf\xe9.txt\r\nno line end");
            server.send("226 done");
        });
    FtpSession session;
    connectSession(session);
    QStringList items;
    QString nested;
    connect(&session, &FtpSession::listItem, this, [&](const QString& line) {
        items << line;
        // A second data operation from inside the first one's wait is refused.
        if (nested.isEmpty())
            nested = ThrownMessage<SocketError>([&] { session.List(QString()); });
    });
    session.List(QStringLiteral(" -al"));
    QCOMPARE(items.size(), 3);
    QVERIFY(items[0].endsWith(QLatin1String(" dir")));
    // The Latin-1 byte survives into the name and back.
    QVERIFY(WireText::Encode(items[1]).endsWith("caf\xe9.txt"));
    QCOMPARE(items[2], QStringLiteral("no line end"));
    QVERIFY(nested.startsWith(QLatin1String("Busy")));
    QCOMPARE(session.replyNumber(), 226);
    // PORT carried our loopback address.
    QVERIFY(m_fake->received().at(1).startsWith("PORT 127,0,0,1,"));
}

void TestNetSession::serverAbortInMidDownload() {
    m_fake->expect("USER", "230 ok")
        .expect("PASV",
                [](FakeFtpServer& server, const QByteArray&) { server.send(server.openPassive()); })
        .expect("RETR big", [](FakeFtpServer& server, const QByteArray&) {
            server.send("150 Opening (100000000 bytes)");
            server.sendData(QByteArray(64 * 1024, 'x'), false);
            server.send("426 Connection closed; transfer aborted.");
        });
    FtpSession session;
    connectSession(session);
    QTemporaryDir dir;
    QCOMPARE(ThrownMessage<SocketAbortError>([&] {
                 session.Download(QStringLiteral("big"), dir.filePath(QStringLiteral("big")), false,
                                  true, QHostAddress::LocalHost);
             }),
             QStringLiteral("Socket send aborted"));
    QCOMPARE(session.dataBytesReceived(), qint64(0)); // data connection released
}

void TestNetSession::closeDuringWaitEndsTheWait() {
    m_fake->expect("USER", "230 ok").expect("NOOP", [](FakeFtpServer& server, const QByteArray&) {
        server.closeClient();
    });
    FtpSession session;
    connectSession(session);
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
    connectSession(session);
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

void TestNetSession::bannerWithPlainMiddleLines() {
    // Lines between "220-" and "220 " need no prefix; all belong to the greeting.
    m_fake->greet("220-Welcome\r\n+--------+\r\n| banner |\r\n220 ready\r\n")
        .expect("USER user", "331 password?")
        .expect("PASS pass", "230 in");
    FtpSession session;
    QSignalSpy connectedSpy(&session, &PumpingSocket::connected);
    connectSession(session);
    QCOMPARE(connectedSpy.count(), 1);
    QVERIFY(m_fake->mismatches().isEmpty());
    QVERIFY(m_fake->scriptDone());
}

void TestNetSession::commandsCannotSmuggleLines() {
    m_fake->expect("USER", "230 ok").expect("NOOP", "200 ok");
    FtpSession session;
    connectSession(session);
    QVERIFY_THROWS_EXCEPTION(SocketError, session.ChangeDir(QStringLiteral("x\r\nDELE precious")));
    QVERIFY_THROWS_EXCEPTION(SocketError, session.Delete(QStringLiteral("a\0b")));
    QVERIFY_THROWS_EXCEPTION(SocketError, session.ChangeDir(QString(20000, QLatin1Char('a'))));
    session.DoCommand(QStringLiteral("NOOP"));
    QCOMPARE(m_fake->received(), (QList<QByteArray>{"USER user", "NOOP"}));
}

void TestNetSession::refusedDataConnectionEndsTheListing() {
    m_fake->expect("USER", "230 ok")
        .expect("PORT ", "200 PORT ok")
        .expect("LIST", [](FakeFtpServer& server, const QByteArray&) {
            // The server never connects back and says so.
            server.send("150 Opening data connection");
            server.send("425 Can't open data connection");
        });
    FtpSession session;
    connectSession(session);
    QSignalSpy stopSpy(&session, &FtpSession::transactionStop);
    QSignalSpy statusSpy(&session, &PumpingSocket::status);
    QVERIFY_THROWS_EXCEPTION(SocketAbortError, session.List(QString()));
    QCOMPARE(stopSpy.count(), 1);
    QVERIFY(statusText(statusSpy).contains(QLatin1String("425 Can't open data connection")));
    QVERIFY(session.isConnected());
}

void TestNetSession::overlongReplyLineFailsCleanly() {
    m_fake->expect("USER", "230 ok")
        .expect("NOOP", [](FakeFtpServer& server,
                           const QByteArray&) { server.send(QByteArray(2 * 1024 * 1024, 'A')); })
        .expect("PWD", "257 \"/\"");
    FtpSession session;
    connectSession(session);
    QVERIFY_THROWS_EXCEPTION(SocketError, session.DoCommand(QStringLiteral("NOOP")));
    QCOMPARE(session.CurrentDir(), QStringLiteral("/"));
}

void TestNetSession::connectFailures() {
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

void TestNetSession::closeFiresDisconnectOnceAndReconnects() {
    PumpingSocket socket;
    QSignalSpy disconnectedSpy(&socket, &PumpingSocket::disconnected);
    socket.setHost(QStringLiteral("127.0.0.1"));
    socket.setPort(m_fake->port());
    socket.Connect();
    socket.CloseSocket();
    QCOMPARE(disconnectedSpy.count(), 1);
    QVERIFY(!socket.isConnected());
    socket.CloseSocket(); // closing a closed socket is quiet
    QCOMPARE(disconnectedSpy.count(), 1);

    FakeFtpServer second;
    QVERIFY(second.listen());
    socket.setPort(second.port());
    socket.Connect();
    QCOMPARE(socket.ReadLn(), QByteArray("220 ready\r\n"));
}

void TestNetSession::cancelDuringSend() {
    // A peer that accepts and never reads: the send can only end by cancel.
    QTcpServer sink;
    QVERIFY(sink.listen(QHostAddress::LocalHost, 0));
    PumpingSocket socket;
    socket.setHost(QStringLiteral("127.0.0.1"));
    socket.setPort(sink.serverPort());
    socket.Connect();
    QSignalSpy abortedSpy(&socket, &PumpingSocket::sendAborted);
    connect(&socket, &PumpingSocket::packetSent, &socket, [&] {
        if (socket.bytesSent() > 4 * 1024 * 1024)
            socket.Cancel();
    });
    ZeroDevice zeros;
    QCOMPARE(ThrownMessage<SocketAbortError>([&] { socket.SendFromDevice(&zeros); }),
             QStringLiteral("Socket send aborted"));
    QVERIFY(!socket.isCancelled());
    QCOMPARE(abortedSpy.count(), 1);
}

void TestNetSession::asyncSocketPreconditions() {
    AsyncSocket socket;
    auto message = [](const std::function<void()>& call) {
        try {
            call();
        } catch (const SocketError& e) {
            return e.message();
        }
        return QString();
    };
    QCOMPARE(message([&] { socket.Connect(); }), QStringLiteral("Connect: No Port Specified"));
    socket.setPort(QStringLiteral("21"));
    QCOMPARE(message([&] { socket.Connect(); }),
             QStringLiteral("Connect: No IP Address Specified"));
    socket.setProto(QString());
    socket.setAddr(QStringLiteral("127.0.0.1"));
    QCOMPARE(message([&] { socket.Connect(); }), QStringLiteral("Connect: No Protocol Specified"));
    QCOMPARE(message([&] { socket.Accept(); }), QStringLiteral("not a listening socket"));
    AsyncSocket listener;
    QCOMPARE(message([&] { listener.Listen(); }), QStringLiteral("listen: address not assigned"));
    listener.setAddr(QStringLiteral("127.0.0.1"));
    QCOMPARE(message([&] { listener.Listen(); }), QStringLiteral("listen: port not assigned"));
    listener.setPort(QStringLiteral("0"));
    listener.Listen();
    QCOMPARE(message([&] { listener.setPort(QStringLiteral("1")); }),
             QStringLiteral("Cannot change Port if not closed"));
    QCOMPARE(message([&] { listener.setAddr(QStringLiteral("1.2.3.4")); }),
             QStringLiteral("Cannot change Addr if not closed"));
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
