// The ident server against local clients: the one reply line, queries that
// try to add lines, silent clients, a port it cannot take, and when the
// program lets it listen.
#include "FakeFtpServer.h"
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "services/IdentServer.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QHostAddress Loopback = QHostAddress::LocalHost;

// Sends request to the ident server and returns everything it answered up to
// its close; "(no close)" when it kept the connection.
QByteArray Query(quint16 port, const QByteArray& request) {
    QTcpSocket client;
    client.connectToHost(Loopback, port);
    if (!client.waitForConnected(5000))
        return "(refused)";
    client.write(request);
    QByteArray answer;
    QSignalSpy closed(&client, &QTcpSocket::disconnected);
    QObject::connect(&client, &QTcpSocket::readyRead, &client,
                     [&] { answer += client.readAll(); });
    if (!closed.wait(5000))
        return "(no close)";
    return answer + client.readAll();
}

// Whether a client is turned away at once (nothing listens).
bool Refused(quint16 port) {
    QTcpSocket client;
    QSignalSpy failed(&client, &QTcpSocket::errorOccurred);
    client.connectToHost(Loopback, port);
    return failed.wait(5000) && client.error() == QAbstractSocket::ConnectionRefusedError;
}

} // namespace

class TestServicesIdent : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void eachQueryGetsOneReplyLine_data();
    void eachQueryGetsOneReplyLine();
    void silentAndVanishingClientsAreDropped();
    void aPortInUseIsReportedAndStartStopSwitch();
    void theProgramStartsItUnlessOnlyWhileConnecting();
    void onlyWhileConnectingAnswersDuringTheLoginOnly();

private:
    void startApp(const QByteArray& mainKeys);
    QList<StatusLine> linesStartingWith(const QString& prefix) const;

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<RecordingDesktopServices> m_services;
    std::unique_ptr<ScriptedUserPrompts> m_prompts;
    std::unique_ptr<App> m_app;
};

void TestServicesIdent::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_services = std::make_unique<RecordingDesktopServices>();
    m_prompts = std::make_unique<ScriptedUserPrompts>();
}

void TestServicesIdent::cleanup() {
    m_app.reset();
}

void TestServicesIdent::startApp(const QByteArray& mainKeys) {
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, "[_Main_]\r\nConnectTimeout=10\r\n" + mainKeys));
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    // Port 113 is privileged; any free port on loopback stands in for it.
    m_app->identServer().setAddress(u"127.0.0.1"_s);
    m_app->identServer().setPort(0);
    m_app->create();
}

QList<StatusLine> TestServicesIdent::linesStartingWith(const QString& prefix) const {
    QList<StatusLine> found;
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = 0; i < store.count(); ++i)
        if (store.line(i).text.startsWith(prefix))
            found << store.line(i);
    return found;
}

void TestServicesIdent::eachQueryGetsOneReplyLine_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("port pair") << QByteArray("6193, 23\r\n") << u"korv"_s
                               << QByteArray("6193, 23 : USERID : UNIX : korv\r\n");
    QTest::newRow("trailing spaces echoed")
        << QByteArray("6193, 23   \r\n") << u"korv"_s
        << QByteArray("6193, 23    : USERID : UNIX : korv\r\n");
    QTest::newRow("empty user") << QByteArray("6193, 23\r\n") << QString()
                                << QByteArray("6193, 23 : USERID : UNIX : \r\n");
    QTest::newRow("no line end") << QByteArray("6193, 23") << u"korv"_s
                                 << QByteArray("6193, 23 : USERID : UNIX : korv\r\n");
    QTest::newRow("line ends inside add no line")
        << QByteArray("1, 2\r\n3, 4 : USERID : UNIX : root\r\n\n\r") << u"korv"_s
        << QByteArray("1, 23, 4 : USERID : UNIX : root : USERID : UNIX : korv\r\n");
    QTest::newRow("over 255 bytes") << QByteArray(250, '7') + "\r\n" + QByteArray(50, '8') + "\r\n"
                                    << u"korv"_s
                                    << QByteArray(250, '7') + "888 : USERID : UNIX : korv\r\n";
    QTest::newRow("user with a line end")
        << QByteArray("1, 2\r\n") << u"a\r\nb"_s << QByteArray("1, 2 : USERID : UNIX : ab\r\n");
}

void TestServicesIdent::eachQueryGetsOneReplyLine() {
    QFETCH(QByteArray, request);
    QFETCH(QString, user);
    QFETCH(QByteArray, reply);
    IdentServer server;
    QCOMPARE(server.objectName(), u"KorvIDENT1"_s);
    server.System = u"UNIX"_s;
    server.User = user;
    server.setAddress(u"127.0.0.1"_s);
    server.setPort(0);
    QSignalSpy requests(&server, &IdentServer::identRequested);
    server.Start();
    QVERIFY(server.isEnabled());
    QCOMPARE(Query(server.listeningPort(), request), reply);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.at(0).at(0).toString(), u"127.0.0.1"_s);
    QTRY_COMPARE_WITH_TIMEOUT(server.clientCount(), 0, 5000);
}

void TestServicesIdent::silentAndVanishingClientsAreDropped() {
    IdentServer server;
    server.setAddress(u"127.0.0.1"_s);
    server.setPort(0);
    server.setClientTimeOut(300);
    server.Start();
    const quint16 port = server.listeningPort();

    // Asks nothing: closed after the time-out, without a reply.
    QTcpSocket silent;
    QSignalSpy silentClosed(&silent, &QTcpSocket::disconnected);
    silent.connectToHost(Loopback, port);
    QVERIFY(silent.waitForConnected(5000));
    QTRY_COMPARE_WITH_TIMEOUT(server.clientCount(), 1, 5000);
    QVERIFY(silentClosed.wait(5000));
    QCOMPARE(silent.readAll(), QByteArray());
    QCOMPARE(server.clientCount(), 0);

    // Leaves before asking: its entry goes at once, not at the time-out.
    server.setClientTimeOut(IdentServer::DefaultClientTimeOut);
    {
        QTcpSocket leaving;
        leaving.connectToHost(Loopback, port);
        QVERIFY(leaving.waitForConnected(5000));
        QTRY_COMPARE_WITH_TIMEOUT(server.clientCount(), 1, 5000);
    }
    QTRY_COMPARE_WITH_TIMEOUT(server.clientCount(), 0, 5000);

    // Stop closes the listener and every waiting client.
    QTcpSocket waiting;
    QSignalSpy waitingClosed(&waiting, &QTcpSocket::disconnected);
    waiting.connectToHost(Loopback, port);
    QVERIFY(waiting.waitForConnected(5000));
    QTRY_COMPARE_WITH_TIMEOUT(server.clientCount(), 1, 5000);
    server.Stop();
    QVERIFY(!server.isEnabled());
    QCOMPARE(server.clientCount(), 0);
    QVERIFY(waitingClosed.wait(5000));
    QVERIFY(Refused(port));
}

void TestServicesIdent::aPortInUseIsReportedAndStartStopSwitch() {
    startApp({});
    IdentServer& ident = m_app->identServer();
    QTcpServer holder;
    QVERIFY(holder.listen(Loopback));
    ident.setPort(holder.serverPort());
    QSignalSpy switched(&ident, &IdentServer::enabledChanged);
    ident.Start();
    QVERIFY(!ident.isEnabled());
    QCOMPARE(switched.size(), 0);
    const auto errors = linesStartingWith(u"Ident Server Error"_s);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first().text,
             u"Ident Server Error: Unable To Listen on %1"_s.arg(holder.serverPort()));
    QCOMPARE(errors.first().colour, clRed);

    // Started again while it listens, it goes on listening: one switch on.
    ident.setPort(0);
    ident.Start();
    ident.Start();
    QVERIFY(ident.isEnabled());
    QCOMPARE(switched.size(), 1);
    QCOMPARE(Query(ident.listeningPort(), "1, 2\r\n"), QByteArray("1, 2 : USERID : UNIX : \r\n"));
    const auto requests = linesStartingWith(u"Ident Request: "_s);
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.first().text, u"Ident Request: 127.0.0.1"_s);
    QCOMPARE(requests.first().colour, clFuchsia);
    ident.Stop();
    ident.Stop();
    QCOMPARE(switched.size(), 2);
    QVERIFY(!switched.last().at(0).toBool());
}

void TestServicesIdent::theProgramStartsItUnlessOnlyWhileConnecting() {
    // Enabled for always: listens from the start, with the user it is given.
    startApp("Identd Server=1\r\nIdentd Only=0\r\nIdentd User=korv\r\n");
    IdentServer& ident = m_app->identServer();
    QVERIFY(!ident.isEnabled());
    m_app->show();
    QVERIFY(ident.isEnabled());
    QCOMPARE(Query(ident.listeningPort(), "6193, 23\r\n"),
             QByteArray("6193, 23 : USERID : UNIX : korv\r\n"));

    // Preferences switch it to "only when connecting": it stops now.
    Settings before = m_app->settings();
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s,
                             "[_Main_]\r\nIdentd Server=1\r\nIdentd Only=1\r\nIdentd User=k2\r\n"));
    m_app->applyPreferences(before);
    QVERIFY(!ident.isEnabled());
    QCOMPARE(ident.User, u"k2"_s);

    // And back to always: it listens again at once.
    before = m_app->settings();
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, "[_Main_]\r\nIdentd Server=1\r\nIdentd Only=0\r\n"));
    m_app->applyPreferences(before);
    QVERIFY(ident.isEnabled());
    m_app.reset();

    // Only while connecting, or not enabled at all: nothing listens at start.
    for (const QByteArray keys : {"Identd Server=1\r\nIdentd Only=1\r\n",
                                  "Identd Server=0\r\nIdentd Only=0\r\n"}) {
        startApp(keys);
        m_app->show();
        QVERIFY2(!m_app->identServer().isEnabled(), keys.constData());
        m_app.reset();
    }
}

void TestServicesIdent::onlyWhileConnectingAnswersDuringTheLoginOnly() {
    startApp("Identd Server=1\r\nIdentd Only=1\r\nIdentd User=korv\r\nRetryCount=0\r\n");
    m_app->show();
    IdentServer& ident = m_app->identServer();
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    // The FTP server asks while the login waits for its reply to USER.
    QByteArray answer;
    quint16 identPort = 0;
    QTcpSocket query;
    connect(&query, &QTcpSocket::connected, this, [&] { query.write("6193, 21\r\n"); });
    connect(&query, &QTcpSocket::readyRead, this, [&] { answer += query.readAll(); });
    auto goOn = [&] { fake.send("331 password"); };
    connect(&query, &QTcpSocket::disconnected, this, goOn);
    connect(&query, &QTcpSocket::errorOccurred, this, [&](QAbstractSocket::SocketError e) {
        if (e != QAbstractSocket::RemoteHostClosedError)
            goOn();
    });
    fake.expect("USER", [&](FakeFtpServer&, const QByteArray&) {
            identPort = ident.listeningPort();
            query.connectToHost(Loopback, identPort);
        })
        .expect("PASS", "230 in")
        .expect("SYST", "215 UNIX")
        .expect("PWD", "257 \"/\"");
    m_app->connections().ConnectToSite(
        {u"fake"_s, u"127.0.0.1"_s, QString::number(fake.port()), u"user"_s, u"pass"_s, u"3"_s, {}},
        SideId::Left);
    QVERIFY(m_app->left().state().LoggedIn);
    QCOMPARE(answer, QByteArray("6193, 21 : USERID : UNIX : korv\r\n"));
    QCOMPARE(linesStartingWith(u"Ident Request: 127.0.0.1"_s).size(), 1);
    // After the 230 nothing listens.
    QVERIFY(!ident.isEnabled());
    QVERIFY(identPort != 0);
    QVERIFY(Refused(identPort));

    // A connect that fails stops it as well.
    QTcpServer probe;
    QVERIFY(probe.listen(Loopback));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    QSignalSpy switched(&ident, &IdentServer::enabledChanged);
    m_app->connections().ConnectToSite({u"Gone"_s, u"127.0.0.1"_s, QString::number(closedPort)},
                                       SideId::Right);
    QCOMPARE(switched.size(), 2);
    QVERIFY(!ident.isEnabled());
}

QTEST_GUILESS_MAIN(TestServicesIdent)
#include "test_services_ident.moc"
