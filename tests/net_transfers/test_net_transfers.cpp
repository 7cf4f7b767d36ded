// Listings, downloads and uploads against a scripted server: a transfer is a
// success only when what arrived is whole, and the server's words end the
// data phase whenever they come.
#include "FakeFtpServer.h"
#include "NetTestHelpers.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"
#include "net/WireText.h"

#include <QElapsedTimer>
#include <QLocale>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestNetTransfers : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void passiveTransfersBothWays();
    void activeListing();
    void damagedDownloadsFail_data();
    void damagedDownloadsFail();
    void resumesThatCannotBeRightFail_data();
    void resumesThatCannotBeRightFail();
    void brokenUploadFails();
    void serverAbortEndsTheDownloadWithItsReply_data();
    void serverAbortEndsTheDownloadWithItsReply();
    void refusalInTheSamePacketEndsTheListing();

private:
    QString local(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    FakeFtpServer* m_fake = nullptr;
    QTemporaryDir m_dir;
};

void TestNetTransfers::init() {
    m_fake = new FakeFtpServer(this);
    QVERIFY(m_fake->listen());
    m_fake->expect("USER", "230 ok");
}

void TestNetTransfers::cleanup() {
    QVERIFY(m_fake->mismatches().isEmpty());
    delete m_fake;
    m_fake = nullptr;
}

void TestNetTransfers::passiveTransfersBothWays() {
    const QByteArray content = "hello world\r\nbinary \x00\xff bytes";
    m_fake
        ->expect("PASV",
                 [](FakeFtpServer& server,
                    const QByteArray&) { server.send(server.openPassive(false)); })
        .expect("RETR file.bin",
                [content](FakeFtpServer& server, const QByteArray&) {
                    server.send("150 Opening BINARY mode data connection (" +
                                QByteArray::number(content.size()) + " bytes)");
                    server.sendData(content);
                    server.send("226 Transfer complete");
                })
        .expect("PASV", FakeFtpServer::ReplyPassive)
        .expect("STOR up.bin", [](FakeFtpServer& server, const QByteArray&) {
            server.send("150 Ok to send data");
            // The reply comes once our end of the stream arrived.
            QObject::connect(&server, &FakeFtpServer::dataEnded, &server,
                             [&server] { server.send("226 stored"); });
        });
    FtpSession session;
    // Long enough that a transfer ending by time-out instead of by its end shows.
    LoginTo(session, m_fake->port(), 30000);
    QElapsedTimer clock;
    clock.start();
    session.setReportLevel(8);
    QSignalSpy statusSpy(&session, &PumpingSocket::status);
    QSignalSpy successSpy(&session, &FtpSession::success);
    QSignalSpy packetSpy(&session, &FtpSession::dataPacketReceived);
    session.Download(QStringLiteral("file.bin"), local("file.bin"), false, true,
                     QHostAddress::LocalHost);
    QVERIFY(packetSpy.count() >= 1);
    QCOMPARE(session.announcedSize(), qint64(content.size()));
    QCOMPARE(ReadFile(local("file.bin")), content);
    QCOMPARE(successSpy.count(), 1); // the download; PASV is part of it

    session.Upload(local("file.bin"), QStringLiteral("up.bin"), true, QHostAddress::LocalHost);
    QCOMPARE(m_fake->dataReceived(), content);
    QCOMPARE(session.replyNumber(), 226);
    QCOMPARE(successSpy.count(), 2);
    QVERIFY(clock.elapsed() < 15000);
    // The socket layer's own texts are reported at their level.
    const QString log = StatusText(statusSpy);
    for (const char* text : {"Writeln", "CaptureFile", "SendFile"})
        QVERIFY2(log.contains(QLatin1String(text)), text);
}

void TestNetTransfers::activeListing() {
    m_fake
        ->expect("PORT ",
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
    LoginTo(session, m_fake->port());
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

void TestNetTransfers::damagedDownloadsFail_data() {
    QTest::addColumn<QByteArray>("opening");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QString>("target"); // empty: a fresh file
    QTest::addColumn<QString>("failure");
    const QByteArray announced = "150 Opening BINARY mode data connection (2097152 bytes)";
    QTest::newRow("short") << announced << 300000 << false << QString()
                           << QStringLiteral("Download incomplete: %1 of %2 bytes arrived")
                                  .arg(QLocale().toString(300000), QLocale().toString(2097152));
    QTest::newRow("reset") << announced << 128000 << true << QString()
                           << QStringLiteral("Download failed: the data connection was reset");
    QTest::newRow("reset, no size told")
        << QByteArray("150 Opening data connection") << 128000 << true << QString()
        << QStringLiteral("Download failed: the data connection was reset");
    QTest::newRow("disk full") << QByteArray("150 Opening (5 bytes)") << 5 << false
                               << QStringLiteral("/dev/full")
                               << QStringLiteral("Unable to write the local file");
}

void TestNetTransfers::damagedDownloadsFail() {
    QFETCH(QByteArray, opening);
    QFETCH(int, bytes);
    QFETCH(bool, reset);
    QFETCH(QString, target);
    QFETCH(QString, failure);
    m_fake->expect("TYPE I", "200 Binary").expect("PASV", FakeFtpServer::ReplyPassive)
        .expect("RETR f", [=](FakeFtpServer& server, const QByteArray&) {
            server.send(opening);
            server.sendData(QByteArray(bytes, 'd'), !reset);
            if (reset)
                server.resetData();
            // The server thinks all went well.
            server.send("226 Transfer complete");
        });
    FtpSession session;
    LoginTo(session, m_fake->port());
    session.Mode(FtpSession::TransferType::Image);
    const auto failures = RecordFailures(session);
    QSignalSpy successSpy(&session, &FtpSession::success);
    const QString path = target.isEmpty() ? local("f") : target;
    const QString message = ThrownMessage<TransferError>(
        [&] { session.Download(QStringLiteral("f"), path, false, true, QHostAddress::LocalHost); });
    QVERIFY2(message.startsWith(failure), qPrintable(message));
    QCOMPARE(successSpy.count(), 0);
    // A short file stays for a later resume.
    if (target.isEmpty() && !reset)
        QCOMPARE(QFileInfo(path).size(), qint64(bytes));
    // The 226 was read as the transfer's reply, not left for the next command.
    QCOMPARE(session.replyNumber(), 226);
}

void TestNetTransfers::resumesThatCannotBeRightFail_data() {
    QTest::addColumn<QByteArray>("sizeReply");
    QTest::addColumn<QByteArray>("localPart");
    QTest::addColumn<bool>("retrieves");
    QTest::addColumn<QString>("failure");
    QTest::newRow("server starts over") << QByteArray("500 SIZE not understood")
                                        << QByteArray("ABCDE") << true
                                        << QStringLiteral("Download failed: the server sent");
    QTest::newRow("local larger than SIZE")
        << QByteArray("213 10") << QByteArray(20, 'L') << false << QStringLiteral("Not resumed");
    QTest::newRow("local larger than announced")
        << QByteArray("502 no") << QByteArray(20, 'L') << true << QStringLiteral("Not resumed");
}

void TestNetTransfers::resumesThatCannotBeRightFail() {
    QFETCH(QByteArray, sizeReply);
    QFETCH(QByteArray, localPart);
    QFETCH(bool, retrieves);
    QFETCH(QString, failure);
    QVERIFY(WriteFile(local("part"), localPart));
    m_fake->expect("SIZE part", sizeReply);
    if (retrieves) {
        m_fake->expect("REST " + QByteArray::number(localPart.size()), "350 Restarting")
            .expect("PASV", FakeFtpServer::ReplyPassive)
            .expect("RETR part", [](FakeFtpServer& server, const QByteArray&) {
                server.send("150 Opening BINARY mode data connection (10 bytes)");
                server.sendData("0123456789");
                server.send("226 Transfer complete");
            });
    }
    FtpSession session;
    LoginTo(session, m_fake->port());
    const QString message = ThrownMessage<TransferError>([&] {
        session.Download(QStringLiteral("part"), local("part"), true, true,
                         QHostAddress::LocalHost);
    });
    QVERIFY2(message.startsWith(failure), qPrintable(message));
    // The partial file is as it was, ready for a later try.
    QCOMPARE(ReadFile(local("part")), localPart);
    QVERIFY(m_fake->scriptDone());
}

void TestNetTransfers::brokenUploadFails() {
    QByteArray content(600 * 1024, Qt::Uninitialized);
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = char(i * 7);
    QVERIFY(WriteFile(local("up"), content));
    m_fake->expect("PASV", FakeFtpServer::ReplyPassive).expect("STOR up", [](FakeFtpServer& server, const QByteArray&) {
        server.resetDataAfterReceiving(64 * 1024);
        server.send("150 Ok to send data\r\n226 Transfer complete");
    });
    FtpSession session;
    LoginTo(session, m_fake->port());
    QSignalSpy successSpy(&session, &FtpSession::success);
    const QString message = ThrownMessage<TransferError>(
        [&] { session.Upload(local("up"), QStringLiteral("up"), true, QHostAddress::LocalHost); });
    QVERIFY2(message.startsWith(QLatin1String("Upload")), qPrintable(message));
    QCOMPARE(successSpy.count(), 0);
    QVERIFY(session.isConnected());
}

void TestNetTransfers::serverAbortEndsTheDownloadWithItsReply_data() {
    QTest::addColumn<bool>("split");
    QTest::newRow("in one piece") << false;
    QTest::newRow("split across packets") << true;
}

void TestNetTransfers::serverAbortEndsTheDownloadWithItsReply() {
    QFETCH(bool, split);
    m_fake->expect("PASV", FakeFtpServer::ReplyPassive)
        .expect("RETR big",
                [split](FakeFtpServer& server, const QByteArray&) {
                    server.send("150 Opening (100000000 bytes)");
                    server.sendData(QByteArray(64 * 1024, 'x'), false);
                    if (!split) {
                        server.send("426 Connection closed; transfer aborted.");
                        return;
                    }
                    server.sendRaw("426 Conn");
                    QTimer::singleShot(100, &server, [&server] {
                        server.send("ection closed; transfer aborted.");
                    });
                })
        .expect("NOOP", "200 fine");
    FtpSession session;
    LoginTo(session, m_fake->port());
    const auto failures = RecordFailures(session);
    QElapsedTimer clock;
    clock.start();
    session.Download(QStringLiteral("big"), local("big"), false, true, QHostAddress::LocalHost);
    // The 426 is the download's reply, read whole, and it ended the wait at once.
    QCOMPARE(*failures, QList<CommandKind>{CommandKind::Download});
    QCOMPARE(session.LastReplyText(), QStringLiteral("426 Connection closed; transfer aborted."));
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(session.dataBytesReceived(), qint64(0)); // data connection released
    session.DoCommand(QStringLiteral("NOOP"));
    QCOMPARE(session.replyNumber(), 200);
}

void TestNetTransfers::refusalInTheSamePacketEndsTheListing() {
    m_fake->expect("PORT ", "200 PORT ok").expect("LIST", [](FakeFtpServer& server, const QByteArray&) {
        // The server never connects back and says so with its opening line.
        server.send("150 Opening data connection\r\n425 Can't open data connection");
    });
    FtpSession session;
    // Without the refusal seen, only the time-out would end the wait.
    LoginTo(session, m_fake->port(), 3000);
    QSignalSpy stopSpy(&session, &FtpSession::transactionStop);
    QCOMPARE(ThrownMessage<FtpException>([&] { session.List(QString()); }),
             QStringLiteral("425 Can't open data connection"));
    QCOMPARE(stopSpy.count(), 1);
    QVERIFY(session.isConnected());
}

QTEST_GUILESS_MAIN(TestNetTransfers)
#include "test_net_transfers.moc"
