// Servers that flood, stall or never finish: memory stays bounded and every
// wait ends by itself, with nobody there to press Abort.
#include "FakeFtpServer.h"
#include "NetTestHelpers.h"
#include "ProcessMemory.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int TimeOutMs = 600;
// Each wait must end within its time-out plus the abort-reply grace and slack.
constexpr qint64 WaitBoundMs = 6000;

} // namespace

class TestNetHostile : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void cleanupTestCase();

    void floodBeforeTheReplyStaysBounded();
    void endlessRepliesAreCapped_data();
    void endlessRepliesAreCapped();
    void silentGreetingsTimeOut_data();
    void silentGreetingsTimeOut();
    void stalledDataTimesOut_data();
    void stalledDataTimesOut();
    void missingActiveConnectionTimesOut_data();
    void missingActiveConnectionTimesOut();
    void missingCompletionReplyTimesOut();

private:
    void download(FtpSession& session, bool passive);

    FakeFtpServer* m_fake = nullptr;
    QTemporaryDir m_dir;
    QElapsedTimer m_clock;
};

void TestNetHostile::init() {
    m_fake = new FakeFtpServer(this);
    QVERIFY(m_fake->listen());
    m_fake->expect("USER", "230 ok"); // unused where the greeting never ends
    m_clock.start();
}

void TestNetHostile::cleanup() {
    QVERIFY2(m_clock.elapsed() < WaitBoundMs, qPrintable(QString::number(m_clock.elapsed())));
    delete m_fake;
    m_fake = nullptr;
}

void TestNetHostile::cleanupTestCase() {
    const long peak = ProcessStatusKiB("VmHWM") / 1024;
    QVERIFY2(peak > 0 && peak < 64 * MemoryBoundScale, qPrintable(QStringLiteral("peak %1 MiB").arg(peak)));
}

void TestNetHostile::download(FtpSession& session, bool passive) {
    session.Download(QStringLiteral("f"), m_dir.filePath(QStringLiteral("f")), false, passive,
                     QHostAddress::LocalHost);
}

void TestNetHostile::floodBeforeTheReplyStaysBounded() {
    // The passive connection floods while RETR never gets its reply.
    m_fake->expect("PASV", FakeFtpServer::ReplyPassive)
        .expect("RETR", [](FakeFtpServer& server, const QByteArray&) { server.streamData(-1); });
    FtpSession session;
    LoginTo(session, m_fake->port(), 1500);
    QVERIFY_THROWS_EXCEPTION(TimeOutError, download(session, true));
    QVERIFY(!session.isConnected());
    // Flow control held the rest back: the server could push only a little.
    QVERIFY2(m_fake->dataSent() < 48 * 1024 * 1024, qPrintable(QString::number(m_fake->dataSent())));
}

void TestNetHostile::endlessRepliesAreCapped_data() {
    QTest::addColumn<bool>("inGreeting");
    QTest::newRow("greeting") << true;
    QTest::newRow("reply to PWD") << false;
}

void TestNetHostile::endlessRepliesAreCapped() {
    QFETCH(bool, inGreeting);
    // No time-out: the cap alone must end it.
    FtpSession session;
    if (inGreeting) {
        m_fake->greet(QByteArray());
        connect(m_fake, &FakeFtpServer::clientArrived, this,
                [this] { m_fake->streamControl("220-and more\r\n"); });
        QVERIFY(ThrownMessage<SocketError>([&] { LoginTo(session, m_fake->port(), 0); })
                    .startsWith(QLatin1String("Reply from server too long")));
    } else {
        m_fake->expect("PWD", [](FakeFtpServer& server, const QByteArray&) {
            server.streamControl("257-\"/\" and more\r\n");
        });
        LoginTo(session, m_fake->port(), 0);
        QVERIFY(ThrownMessage<SocketError>([&] { session.CurrentDir(); })
                    .startsWith(QLatin1String("Reply from server too long")));
    }
    QVERIFY(!session.isConnected());
}

void TestNetHostile::silentGreetingsTimeOut_data() {
    QTest::addColumn<int>("byteIntervalMs"); // 0: never a byte
    QTest::newRow("silent") << 0;
    QTest::newRow("a byte at a time") << 50;
}

void TestNetHostile::silentGreetingsTimeOut() {
    QFETCH(int, byteIntervalMs);
    m_fake->greet(QByteArray());
    if (byteIntervalMs > 0)
        connect(m_fake, &FakeFtpServer::clientArrived, this,
                [&] { m_fake->streamControl("2", byteIntervalMs); });
    FtpSession session;
    QVERIFY(ThrownMessage<TimeOutError>([&] { LoginTo(session, m_fake->port(), TimeOutMs); })
                .startsWith(QLatin1String("Timed out: no complete reply")));
    QVERIFY(!session.isConnected());
    QVERIFY(m_clock.elapsed() >= TimeOutMs);
}

void TestNetHostile::stalledDataTimesOut_data() {
    QTest::addColumn<bool>("passive");
    QTest::addColumn<int>("bytesBeforeStall");
    QTest::newRow("passive, nothing ever") << true << 0;
    QTest::newRow("passive, stalls midway") << true << 5000;
    QTest::newRow("active, stalls midway") << false << 5000;
}

void TestNetHostile::stalledDataTimesOut() {
    QFETCH(bool, passive);
    QFETCH(int, bytesBeforeStall);
    if (passive)
        m_fake->expect("PASV", FakeFtpServer::ReplyPassive);
    else
        m_fake->expect("PORT", [](FakeFtpServer& server, const QByteArray& command) {
            server.connectActive(command);
            server.send("200 ok");
        });
    m_fake->expect("RETR", [bytesBeforeStall](FakeFtpServer& server, const QByteArray&) {
        server.send("150 here (100000 bytes)");
        server.sendData(QByteArray(bytesBeforeStall, 'd'), false);
    });
    m_fake->expect("NOOP", "200 still here");
    FtpSession session;
    LoginTo(session, m_fake->port(), TimeOutMs);
    QVERIFY(ThrownMessage<TimeOutError>([&] { download(session, passive); })
                .startsWith(QLatin1String("Timed out: the data connection carried nothing")));
    // The control connection is fine, and so is the session.
    session.DoCommand(QStringLiteral("NOOP"));
    QCOMPARE(session.replyNumber(), 200);
}

void TestNetHostile::missingActiveConnectionTimesOut_data() {
    QTest::addColumn<bool>("foreignFirst");
    QTest::newRow("nobody connects") << false;
    QTest::newRow("after a foreign connection") << true;
}

void TestNetHostile::missingActiveConnectionTimesOut() {
    QFETCH(bool, foreignFirst);
    QTcpSocket foreign;
    m_fake->expect("PORT",
                [&](FakeFtpServer& server, const QByteArray& command) {
                    if (foreignFirst) {
                        // Someone else knocks first, from another address.
                        const QList<QByteArray> f = command.mid(5).trimmed().split(',');
                        foreign.bind(QHostAddress(QStringLiteral("127.0.0.2")));
                        foreign.connectToHost(QHostAddress::LocalHost,
                                              quint16(f[4].toInt() * 256 + f[5].toInt()));
                    }
                    server.send("200 ok");
                })
        .expect("RETR", "150 opening");
    FtpSession session;
    LoginTo(session, m_fake->port(), TimeOutMs);
    QVERIFY(ThrownMessage<TimeOutError>([&] { download(session, false); })
                .startsWith(QLatin1String("Timed out: the server did not open the data connection")));
    QVERIFY(session.isConnected());
}

void TestNetHostile::missingCompletionReplyTimesOut() {
    m_fake->expect("PASV", FakeFtpServer::ReplyPassive)
        .expect("RETR", [](FakeFtpServer& server, const QByteArray&) {
            server.send("150 here (3 bytes)");
            server.sendData("abc");
        });
    FtpSession session;
    LoginTo(session, m_fake->port(), TimeOutMs);
    QVERIFY(ThrownMessage<TimeOutError>([&] { download(session, true); })
                .startsWith(QLatin1String("Timed out: no complete reply")));
    QVERIFY(!session.isConnected());
}

QTEST_GUILESS_MAIN(TestNetHostile)
#include "test_net_hostile.moc"
