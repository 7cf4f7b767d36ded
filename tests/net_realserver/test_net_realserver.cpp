// The FTP session against a real server (pyftpdlib, or the servers named by
// KORVANE_TEST_FTP_A): login, directory commands, byte-exact transfers in
// both modes, resume, listings and names that are not UTF-8.
#include "FtpServerFixture.h"
#include "NetTestHelpers.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"
#include "net/WireText.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    generator.fillRange(reinterpret_cast<quint32*>(data.data()), size / 4);
    return data;
}

} // namespace

class TestNetRealServer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void loginAndRefusedPassword();
    void directoryCommands();
    void transfersAreByteExact_data();
    void transfersAreByteExact();
    void resumeContinuesAPartialDownload_data();
    void resumeContinuesAPartialDownload();
    void refusedDownloadKeepsTheLocalFile();
    void namesGoBackByteForByte_data();
    void namesGoBackByteForByte();

private:
    void login(FtpSession& session, const QString& password = {});
    QStringList list(FtpSession& session);

    std::unique_ptr<FtpServerFixture> m_server;
    std::unique_ptr<QTemporaryDir> m_local;
    QString m_workDir;
};

void TestNetRealServer::initTestCase() {
    m_server = std::make_unique<FtpServerFixture>();
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
}

void TestNetRealServer::init() {
    m_local = std::make_unique<QTemporaryDir>();
    // Every test works in its own directory on the server.
    FtpSession session;
    login(session);
    m_workDir = m_server->baseDir();
    if (!m_workDir.endsWith(QLatin1Char('/')))
        m_workDir += QLatin1Char('/');
    m_workDir += QStringLiteral("t_") + QString::fromLatin1(QTest::currentTestFunction()) +
                 QLatin1Char('_') + QString::number(QRandomGenerator::global()->bounded(1000000));
    session.MakeDir(m_workDir);
    QCOMPARE(session.replyNumber(), 257);
}

void TestNetRealServer::cleanup() {
    m_local.reset();
}

void TestNetRealServer::login(FtpSession& session, const QString& password) {
    session.setHost(m_server->host());
    session.setPort(m_server->port());
    session.setTimeOut(15000);
    session.UserID = m_server->user();
    session.Password = password.isEmpty() ? m_server->password() : password;
    session.Connect();
}

QStringList TestNetRealServer::list(FtpSession& session) {
    QStringList lines;
    auto connection =
        connect(&session, &FtpSession::listItem, this, [&](const QString& line) { lines << line; });
    session.List(QString());
    disconnect(connection);
    return lines;
}

void TestNetRealServer::loginAndRefusedPassword() {
    FtpSession good;
    QSignalSpy connectedSpy(&good, &PumpingSocket::connected);
    login(good);
    QCOMPARE(connectedSpy.count(), 1);
    good.Disconnect();
    QVERIFY(!good.isConnected());

    FtpSession bad;
    const QString refusal =
        ThrownMessage<FtpException>([&] { login(bad, QStringLiteral("wrong password")); });
    QVERIFY2(refusal.startsWith(QLatin1String("530")), qPrintable(refusal));
}

void TestNetRealServer::directoryCommands() {
    FtpSession session;
    login(session);
    const auto failureKinds = RecordFailures(session);
    const QList<CommandKind>& failures = *failureKinds;
    session.ChangeDir(m_workDir);
    QCOMPARE(session.CurrentDir(), m_workDir);
    session.MakeDir(QStringLiteral("sub dir"));
    session.ChangeDir(QStringLiteral("sub dir"));
    QCOMPARE(session.CurrentDir(), m_workDir + QStringLiteral("/sub dir"));
    session.ChangeDir(QStringLiteral(".."));
    session.Rename(QStringLiteral("sub dir"), QStringLiteral("renamed"));
    session.ChangeDir(QStringLiteral("sub dir"));
    QCOMPARE(failures, QList<CommandKind>{CommandKind::ChangeDir});
    session.RemoveDir(QStringLiteral("renamed"));
    session.RemoveDir(QStringLiteral("renamed"));
    QCOMPARE(failures.last(), CommandKind::RemoveDir);
    session.Delete(QStringLiteral("missing.txt"));
    QCOMPARE(failures.last(), CommandKind::Delete);
    QCOMPARE(failures.size(), 3);
}

void TestNetRealServer::transfersAreByteExact_data() {
    QTest::addColumn<bool>("passive");
    QTest::newRow("passive") << true;
    QTest::newRow("active") << false;
}

void TestNetRealServer::transfersAreByteExact() {
    QFETCH(bool, passive);
    const QByteArray content = randomBytes(3 * 1024 * 1024 + 17, passive ? 1 : 2);
    const QString source = m_local->filePath(QStringLiteral("up.bin"));
    const QString target = m_local->filePath(QStringLiteral("down.bin"));
    QVERIFY(WriteFile(source, content));

    FtpSession session;
    login(session);
    session.ChangeDir(m_workDir);
    session.Mode(FtpSession::TransferType::Image);
    QSignalSpy successSpy(&session, &FtpSession::success);
    session.Upload(source, QStringLiteral("file.bin"), passive, session.remoteAddress());
    QCOMPARE(session.replyNumber(), 226);
    QVERIFY(successSpy.last().at(0).value<CommandKind>() == CommandKind::Upload);

    session.Download(QStringLiteral("file.bin"), target, false, passive, session.remoteAddress());
    QCOMPARE(session.replyNumber(), 226);
    QCOMPARE(ReadFile(target), content);

    const QStringList lines = list(session);
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().endsWith(QLatin1String(" file.bin")));
    QVERIFY(lines.first().contains(QString::number(content.size())));
}

void TestNetRealServer::resumeContinuesAPartialDownload_data() {
    transfersAreByteExact_data();
}

void TestNetRealServer::resumeContinuesAPartialDownload() {
    QFETCH(bool, passive);
    const QByteArray content = randomBytes(1024 * 1024, 3);
    const QString source = m_local->filePath(QStringLiteral("src.bin"));
    const QString target = m_local->filePath(QStringLiteral("part.bin"));
    QVERIFY(WriteFile(source, content));
    QVERIFY(WriteFile(target, content.left(300001)));

    FtpSession session;
    login(session);
    session.ChangeDir(m_workDir);
    session.Mode(FtpSession::TransferType::Image);
    session.Upload(source, QStringLiteral("r.bin"), true, session.remoteAddress());
    QSignalSpy statusSpy(&session, &PumpingSocket::status);
    session.Download(QStringLiteral("r.bin"), target, true, passive, session.remoteAddress());
    QCOMPARE(ReadFile(target), content);
    QVERIFY(StatusText(statusSpy).split(QLatin1Char('\n')).contains(QLatin1String("REST 300001")));

    // A local part larger than the remote file is never appended to.
    const QByteArray larger = content + "extra";
    QVERIFY(WriteFile(target, larger));
    QVERIFY(ThrownMessage<TransferError>([&] {
                session.Download(QStringLiteral("r.bin"), target, true, passive,
                                 session.remoteAddress());
            }).startsWith(QLatin1String("Not resumed")));
    QCOMPARE(ReadFile(target), larger);
    QVERIFY(session.isConnected());
}

void TestNetRealServer::refusedDownloadKeepsTheLocalFile() {
    const QString target = m_local->filePath(QStringLiteral("precious.txt"));
    QVERIFY(WriteFile(target, "keep me"));
    FtpSession session;
    login(session);
    session.ChangeDir(m_workDir);
    const auto failureKinds = RecordFailures(session);
    const QList<CommandKind>& failures = *failureKinds;
    session.Download(QStringLiteral("no-such-file"), target, false, true, session.remoteAddress());
    QCOMPARE(failures, QList<CommandKind>{CommandKind::Download});
    QCOMPARE(ReadFile(target), QByteArray("keep me"));
    // The session goes on normally afterwards.
    QCOMPARE(session.CurrentDir(), m_workDir);
}

void TestNetRealServer::namesGoBackByteForByte_data() {
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9 \xe2\x82\xac");
    QTest::newRow("latin-1") << QByteArray("caf\xe9 na\xefve");
}

void TestNetRealServer::namesGoBackByteForByte() {
    QFETCH(QByteArray, name);
    if (!m_server->isLocal() && !QString::fromUtf8(name).toUtf8().startsWith(name))
        QSKIP("external servers may refuse names that are not UTF-8");
    const QString dirName = WireText::Decode(name + " dir");
    const QString fileName = WireText::Decode(name + ".txt");
    const QString source = m_local->filePath(QStringLiteral("n.txt"));
    QVERIFY(WriteFile(source, "named content"));

    FtpSession session;
    login(session);
    session.ChangeDir(m_workDir);
    session.MakeDir(dirName);
    QCOMPARE(session.replyNumber(), 257);
    session.ChangeDir(dirName);
    QCOMPARE(session.replyNumber(), 250);
    session.Upload(source, fileName, true, session.remoteAddress());

    // The listing gives the name back with the same bytes.
    const QStringList lines = list(session);
    QCOMPARE(lines.size(), 1);
    QVERIFY(WireText::Encode(lines.first()).endsWith(name + ".txt"));
    if (m_server->isLocal()) {
        const QByteArray onDisk = m_server->readFileBytes(WireText::Encode(
            m_workDir.mid(1) + QLatin1Char('/') + dirName + QLatin1Char('/') + fileName));
        QCOMPARE(onDisk, QByteArray("named content"));
    }

    const QString target = m_local->filePath(QStringLiteral("back.txt"));
    session.Download(fileName, target, false, true, session.remoteAddress());
    QCOMPARE(ReadFile(target), QByteArray("named content"));
    session.Delete(fileName);
    QCOMPARE(session.replyNumber(), 250);
    session.ChangeDir(QStringLiteral(".."));
    session.RemoveDir(dirName);
    QCOMPARE(session.replyNumber(), 250);
}

QTEST_GUILESS_MAIN(TestNetRealServer)
#include "test_net_realserver.moc"
