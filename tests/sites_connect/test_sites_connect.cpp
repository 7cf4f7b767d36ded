// A side's connection from start to end against real and scripted servers:
// login, retries, refusals, Abort, Disconnect, keep-alive, the automatic
// reconnect and the command-line connect.
#include "FakeFtpServer.h"
#include "FtpServerFixture.h"
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestSitesConnect : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void loginEntersThePathAndCountsTheConnect();
    void refusedPasswordShowsOnlyTheReply();
    void retriesAgainstAClosedPort();
    void abortOrANewConnectEndsTheRetryWait();
    void disconnectOnceAndTwice();
    void aNewConnectOrAbortDuringLoginLeavesAWorkingSide();
    void lostConnectionReconnectsIntoItsDirectory();
    void welcomeIsShownBeforeSystAndPleaseLoginEndsTheSession();
    void unsavedSiteReconnectsWithWhatItUsed();
    void keepAliveTick();
    void autoRefreshTickFiltersOnceBothSidesRefreshed();
    void commandLineConnectsBothSides();

private:
    void startApp(const QByteArray& mainKeys = {});
    ConnectRequest serverRequest(const FtpServerFixture& server, const QString& name,
                                 const QString& path = {}) const;
    ConnectRequest fakeRequest(const FakeFtpServer& server) const;
    // The status lines so far, one per entry.
    QStringList lines() const;
    QList<StatusLine> linesStartingWith(const QString& prefix) const;
    static void scriptLogin(FakeFtpServer& server);
    // A directory of the server to start in: a fresh one on our own server.
    QString startDirectory(const QString& name) const;

    std::unique_ptr<FtpServerFixture> m_server;
    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<RecordingDesktopServices> m_services;
    std::unique_ptr<ScriptedUserPrompts> m_prompts;
    std::unique_ptr<App> m_app;
};

void TestSitesConnect::initTestCase() {
    m_server = std::make_unique<FtpServerFixture>();
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
}

void TestSitesConnect::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_services = std::make_unique<RecordingDesktopServices>();
    m_prompts = std::make_unique<ScriptedUserPrompts>();
}

void TestSitesConnect::cleanup() {
    m_app.reset();
}

void TestSitesConnect::startApp(const QByteArray& mainKeys) {
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, "[_Main_]\r\nConnectTimeout=10\r\n" + mainKeys));
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    // Port 113 is privileged; a free port on loopback stands in for it.
    m_app->identServer().setAddress(u"127.0.0.1"_s);
    m_app->identServer().setPort(0);
    m_app->create();
}

ConnectRequest TestSitesConnect::serverRequest(const FtpServerFixture& server, const QString& name,
                                               const QString& path) const {
    return {name,          server.host(), QString::number(server.port()), server.user(),
            server.password(), u"3"_s,       path};
}

ConnectRequest TestSitesConnect::fakeRequest(const FakeFtpServer& server) const {
    return {u"fake"_s, u"127.0.0.1"_s, QString::number(server.port()), u"user"_s, u"pass"_s,
            u"3"_s,    {}};
}

void TestSitesConnect::scriptLogin(FakeFtpServer& server) {
    server.expect("USER", "331 password").expect("PASS", "230 in");
}

QString TestSitesConnect::startDirectory(const QString& name) const {
    if (m_server->isLocal()) {
        m_server->putFile(name + u"/file.txt"_s, "x");
        return u"/"_s + name;
    }
    QString base = m_server->baseDir();
    if (base.size() > 1 && base.endsWith(u'/'))
        base.chop(1);
    return base;
}

QStringList TestSitesConnect::lines() const {
    QStringList texts;
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = 0; i < store.count(); ++i)
        texts << store.line(i).text;
    return texts;
}

QList<StatusLine> TestSitesConnect::linesStartingWith(const QString& prefix) const {
    QList<StatusLine> found;
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = 0; i < store.count(); ++i)
        if (store.line(i).text.startsWith(prefix))
            found << store.line(i);
    return found;
}

void TestSitesConnect::loginEntersThePathAndCountsTheConnect() {
    startApp("Identd Server=1\r\nIdentd Only=1\r\n");
    const QString dir = startDirectory(u"korvane-start"_s);
    QSignalSpy ident(&m_app->identServer(), &IdentServer::enabledChanged);
    m_app->queue().append(QueueEntry{u"/queued"_s, u"/t/"_s, {}, 3, {}});

    ConnectRequest request = serverRequest(*m_server, u"Home [main]"_s, dir);
    request.options = u"21"_s;
    m_app->connections().ConnectToSite(request, SideId::Right);
    Side& side = m_app->right();
    QCOMPARE(side.state().ListMode, 2);
    QCOMPARE(side.state().FxpMethod, 1);
    QVERIFY2(side.state().LoggedIn, qPrintable(lines().join(u'\n')));
    QCOMPARE(side.currentPath(), dir + u'/');
    QVERIFY(side.state().SystemType.startsWith(u"215"_s));
    QVERIFY(!side.state().Busy && !side.state().Connecting);
    QCOMPARE(side.state().RemoteAddress, m_server->host());
    QCOMPARE(side.headerText(), u"Home [main]"_s);
    QVERIFY(!side.button(SideButton::Connect).enabled);
    QVERIFY(side.button(SideButton::Disconnect).enabled && side.button(SideButton::Refresh).enabled);
    QCOMPARE(side.button(SideButton::FilterDupes).imageIndex, FilterImageReady);
    // A waiting queue can start from either side once one is logged in.
    QVERIFY(m_app->left().button(SideButton::Transfer).enabled);

    // The right side's lines are green, the attempt line without a counter.
    const auto connecting = linesStartingWith(u"Connecting to "_s);
    QCOMPARE(connecting.size(), 1);
    QCOMPARE(connecting.first().text,
             u"Connecting to Home [main], port %1"_s.arg(m_server->port()));
    QCOMPARE(connecting.first().colour, clGreen);
    // SYST goes out only after the whole welcome was shown.
    QVERIFY(lines().indexOf(u"SYST"_s) > lines().indexOf(QRegularExpression(u"^230"_s)));
    // Ident listens only while the connection is being made.
    QCOMPARE(ident.size(), 2);
    QCOMPARE(ident.at(0).at(0).toBool(), true);
    QCOMPARE(ident.at(1).at(0).toBool(), false);
    QCOMPARE(m_app->siteStats().Read(u"Home [main]"_s).totalConnects, u"1"_s);
    QVERIFY(m_services->soundCalls().isEmpty());
}

void TestSitesConnect::refusedPasswordShowsOnlyTheReply() {
    startApp("RetryCount=0\r\n");
    // Ident is off unless the user enabled it.
    QSignalSpy ident(&m_app->identServer(), &IdentServer::enabledChanged);
    ConnectRequest request = serverRequest(*m_server, u"Wrong"_s);
    request.password = u"not-the-password"_s;
    m_app->connections().ConnectToSite(request, SideId::Left);
    Side& side = m_app->left();
    QVERIFY(!side.state().LoggedIn && !side.session().isConnected());
    QVERIFY(!linesStartingWith(u"530"_s).isEmpty());
    QVERIFY(linesStartingWith(u"Unable to Connect to "_s).isEmpty());
    QVERIFY(linesStartingWith(u"Connection attempt failed"_s).isEmpty());
    QVERIFY(side.headerText().isEmpty());
    QVERIFY(side.button(SideButton::Connect).enabled);
    QVERIFY(!side.state().Busy && !side.state().Connecting);
    QCOMPARE(ident.size(), 0);
}

// A port nothing listens on.
static quint16 ClosedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

void TestSitesConnect::retriesAgainstAClosedPort() {
    startApp("RetryCount=2\r\nRetryDelay=0\r\n");
    const quint16 port = ClosedPort();
    m_app->connections().ConnectToSite({u"Gone"_s, u"127.0.0.1"_s, QString::number(port)},
                                       SideId::Left);
    const QString base = u"Connecting to Gone, port %1"_s.arg(port);
    QStringList attempts;
    for (const StatusLine& line : linesStartingWith(u"Connecting to "_s))
        attempts << line.text;
    QCOMPARE(attempts, (QStringList{base, base + u" (1)"_s, base + u" (2)"_s}));
    const auto failures = linesStartingWith(u"Unable to Connect to Gone, Error: "_s);
    QCOMPARE(failures.size(), 3);
    QCOMPARE(failures.first().colour, clRed);
    const auto waits = linesStartingWith(u"Connection attempt failed. Waiting for retry..."_s);
    QCOMPARE(waits.size(), 2);
    QCOMPARE(waits.first().colour, clBlack);
    QVERIFY(!m_app->left().state().Connecting && !m_app->left().state().Busy);
}

void TestSitesConnect::abortOrANewConnectEndsTheRetryWait() {
    startApp("RetryCount=3\r\nRetryDelay=60\r\n");
    const quint16 port = ClosedPort();
    const ConnectRequest gone{u"Gone"_s, u"127.0.0.1"_s, QString::number(port)};
    Side& side = m_app->left();

    // Abort pressed while the first retry wait runs.
    QElapsedTimer clock;
    connect(&side, &Side::statusBarTextChanged, this, [this](const QString& text) {
        if (text.startsWith(u"Connection attempt failed"_s))
            QTimer::singleShot(0, this, [this] { m_app->Abort(SideId::Left); });
    });
    clock.start();
    m_app->connections().ConnectToSite(gone, SideId::Left);
    QVERIFY2(clock.elapsed() < 5000, "the wait did not end with Abort");
    QCOMPARE(linesStartingWith(u"Connecting to "_s).size(), 1);
    QVERIFY(side.statusBarText().isEmpty());
    side.disconnect(this);

    // A new connect of the side takes over; the old run stops waiting.
    connect(&side, &Side::statusBarTextChanged, this, [this](const QString& text) {
        if (text.startsWith(u"Connection attempt failed"_s))
            QTimer::singleShot(0, this, [this] {
                m_app->connections().ConnectToSite(serverRequest(*m_server, u"Good"_s),
                                                   SideId::Left);
            });
    });
    clock.restart();
    m_app->connections().ConnectToSite(gone, SideId::Left);
    QVERIFY(clock.elapsed() < 10000);
    side.disconnect(this);
    QVERIFY(side.state().LoggedIn);
    QCOMPARE(side.headerText(), u"Good"_s);
    QCOMPARE(linesStartingWith(u"Connecting to Gone"_s).size(), 2);
    QVERIFY(linesStartingWith(u"Connecting to Gone, port %1 (1)"_s.arg(port)).isEmpty());
}

void TestSitesConnect::aNewConnectOrAbortDuringLoginLeavesAWorkingSide() {
    startApp("RetryCount=2\r\nRetryDelay=0\r\n");
    Side& side = m_app->left();
    // A server that never greets: the user picks another site meanwhile.
    FakeFtpServer silent;
    QVERIFY(silent.listen());
    silent.greet(QByteArray());
    connect(&silent, &FakeFtpServer::clientArrived, this, [this] {
        QTimer::singleShot(0, this, [this] {
            m_app->connections().ConnectToSite(serverRequest(*m_server, u"Good"_s), SideId::Left);
        });
    });
    m_app->connections().ConnectToSite(fakeRequest(silent), SideId::Left);
    QTRY_VERIFY_WITH_TIMEOUT(side.state().LoggedIn, 8000);
    QCOMPARE(side.headerText(), u"Good"_s);
    QVERIFY(side.session().isConnected());
    QVERIFY(linesStartingWith(u"Unable to Connect to "_s).isEmpty());
    QCOMPARE(linesStartingWith(u"Connecting to fake"_s).size(), 1);

    // Abort while the first command after login waits keeps the login.
    FakeFtpServer slow;
    QVERIFY(slow.listen());
    scriptLogin(slow);
    slow.expect("SYST", QByteArray());
    connect(&slow, &FakeFtpServer::commandReceived, this, [this](const QByteArray& command) {
        if (command.startsWith("SYST"))
            QTimer::singleShot(0, this, [this] { m_app->Abort(SideId::Right); });
    });
    m_app->connections().ConnectToSite(fakeRequest(slow), SideId::Right);
    QVERIFY(m_app->right().session().isConnected() && m_app->right().state().LoggedIn);
    QVERIFY(linesStartingWith(u"Disconnected from: "_s).isEmpty());
    QVERIFY(!m_app->right().state().Connecting);

    // An unusable port is refused with a reason, without retries.
    m_app->connections().ConnectToSite({u"Bad"_s, u"127.0.0.1"_s, u"99999"_s}, SideId::Left);
    QCOMPARE(linesStartingWith(u"Unable to Connect to Bad, Error: Invalid port"_s).size(), 1);
    QVERIFY(linesStartingWith(u"Connecting to Bad"_s).isEmpty());
}

void TestSitesConnect::disconnectOnceAndTwice() {
    startApp();
    Side& side = m_app->left();
    m_app->connections().ConnectToSite(serverRequest(*m_server, u"Home"_s), SideId::Left);
    QVERIFY(side.state().LoggedIn);
    m_app->connections().DisconnectClick(SideId::Left);
    QTRY_VERIFY_WITH_TIMEOUT(!side.session().isConnected(), 5000);
    QVERIFY(lines().contains(u"QUIT"_s));
    QCOMPARE(linesStartingWith(u"Logged off: Home"_s).size(), 1);
    QVERIFY(linesStartingWith(u"Disconnected from: "_s).isEmpty());
    QVERIFY(side.headerText().isEmpty() && !side.state().LoggedIn && !side.state().UserDisconnect);
    QVERIFY(side.button(SideButton::Connect).enabled);
    QVERIFY(!side.button(SideButton::Disconnect).enabled);
    QCOMPARE(side.statusBarText(), u"Logged Off"_s);

    // A server that never answers QUIT: the second press closes at once.
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    scriptLogin(fake);
    fake.expect("SYST", "215 UNIX").expect("PWD", "257 \"/\"").expect("QUIT", QByteArray());
    m_app->connections().ConnectToSite(fakeRequest(fake), SideId::Left);
    QVERIFY(side.state().LoggedIn);
    connect(&fake, &FakeFtpServer::commandReceived, this, [this](const QByteArray& command) {
        if (command.startsWith("QUIT"))
            QTimer::singleShot(0, this,
                               [this] { m_app->connections().DisconnectClick(SideId::Left); });
    });
    QElapsedTimer clock;
    clock.start();
    m_app->connections().DisconnectClick(SideId::Left);
    QVERIFY2(clock.elapsed() < 5000, "the second press did not close the connection");
    QVERIFY(!side.session().isConnected());
    QCOMPARE(linesStartingWith(u"Logged off: fake"_s).size(), 1);
}

void TestSitesConnect::lostConnectionReconnectsIntoItsDirectory() {
    startApp("RestoreResume=1\r\n");
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    SiteRecord site;
    site.name = u"Saved"_s;
    site.host = u"127.0.0.1"_s;
    site.port = QString::number(fake.port());
    site.user = u"user"_s;
    site.password = u"pass"_s;
    site.remotePath = u"/start"_s;
    QVERIFY(m_app->siteStorage().SaveSite(site));
    scriptLogin(fake);
    fake.expect("SYST", "215 UNIX")
        .expect("CWD /start", "250 ok")
        .expect("PWD", "257 \"/start\"")
        .expect("CWD deeper", "250 ok")
        .expect("PWD", "257 \"/start/deeper\"");
    m_app->connections().ConnectSavedSite(u"Saved"_s, SideId::Right);
    Side& side = m_app->right();
    side.session().ChangeDir(u"deeper"_s);
    QCOMPARE(side.currentPath(), u"/start/deeper/"_s);

    m_app->queue().append(QueueEntry{u"/queued entry"_s, u"/t/"_s, {}, 3, {}});
    m_app->runState().runActive(SideId::Right) = true;
    QSignalSpy restart(&m_app->connections(), &ConnectionLifecycle::queueRestartRequested);
    scriptLogin(fake);
    fake.expect("SYST", "215 UNIX")
        .expect("CWD /start/deeper", "250 ok")
        .expect("PWD", "257 \"/start/deeper\"");
    QElapsedTimer clock;
    clock.start();
    fake.closeClient();
    QTRY_VERIFY(linesStartingWith(u"Disconnected from: Saved"_s).size() == 1);
    QVERIFY(m_app->connections().timerConnect().isActive());
    QCOMPARE(m_app->connections().timerConnect().interval(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(restart.size() == 1, 10000);
    QVERIFY(clock.elapsed() >= 1900);
    QVERIFY2(fake.scriptDone(), qPrintable(lines().join(u'\n')));
    QVERIFY(side.state().LoggedIn);
    QCOMPARE(side.headerText(), u"Saved"_s);
    QCOMPARE(restart.first().at(0).value<SideId>(), SideId::Right);
    QVERIFY(m_app->runState().RetryCurrent);
    // Both, so the restarted run may begin: a download needs only its side.
    QVERIFY(m_app->left().button(SideButton::Transfer).enabled);
    QVERIFY(side.button(SideButton::Transfer).enabled);

    // A directory refused at the reconnect (gone meanwhile): the side shows
    // where the server put it instead of believing it is still there.
    scriptLogin(fake);
    fake.expect("SYST", "215 UNIX")
        .expect("CWD /start/deeper", "550 gone")
        .expect("PWD", "257 \"/\"");
    restart.clear();
    fake.closeClient();
    QTRY_VERIFY_WITH_TIMEOUT(restart.size() == 1, 10000);
    QVERIFY2(fake.scriptDone(), qPrintable(lines().join(u'\n')));
    QCOMPARE(side.currentPath(), u"/"_s);

    // Logging off by hand schedules nothing.
    fake.expect("QUIT", "221 bye");
    m_app->connections().DisconnectClick(SideId::Right);
    QTRY_VERIFY(!side.session().isConnected());
    QVERIFY(!m_app->connections().timerConnect().isActive());
}

void TestSitesConnect::welcomeIsShownBeforeSystAndPleaseLoginEndsTheSession() {
    startApp();
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    // Middle lines carry neither a blank nor the code with a hyphen.
    fake.greet("220-Welcome\r\nrules apply\r\n220 ready\r\n");
    scriptLogin(fake);
    fake.expect("SYST", "530 Please LOGIN with USER and PASS.").expect("QUIT", "221 bye");
    m_app->connections().ConnectToSite(fakeRequest(fake), SideId::Left);
    const QStringList shown = lines();
    QVERIFY(shown.indexOf(u"rules apply"_s) >= 0);
    QVERIFY(shown.indexOf(u"rules apply"_s) < shown.indexOf(u"SYST"_s));
    QTRY_VERIFY(fake.received().contains("QUIT"));

    // A refusal that arrives right behind the login is shown, and nothing
    // more is sent: the lines after it belong to no command.
    FakeFtpServer late;
    QVERIFY(late.listen());
    late.expect("USER", "331 password").expect("PASS", "230 in\r\n530 not yet\r\n200 later");
    m_app->connections().ConnectToSite(fakeRequest(late), SideId::Right);
    QVERIFY(lines().contains(u"530 not yet"_s));
    QVERIFY(!late.received().contains("SYST"));
}

void TestSitesConnect::unsavedSiteReconnectsWithWhatItUsed() {
    startApp("RestoreResume=1\r\n");
    m_app->queue().append(QueueEntry{u"/queued entry"_s, u"/t/"_s, {}, 3, {}});
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    scriptLogin(fake);
    fake.expect("SYST", "215 UNIX").expect("CWD /in", "250 ok").expect("PWD", "257 \"/in\"");
    ConnectRequest request = fakeRequest(fake);
    request.path = u"/in"_s;
    m_app->connections().ConnectToSite(request, SideId::Left);
    QVERIFY(m_app->left().state().LoggedIn);
    fake.expect("USER user", "331 password")
        .expect("PASS pass", "230 in")
        .expect("SYST", "215 UNIX")
        .expect("CWD /in", "250 ok")
        .expect("PWD", "257 \"/in\"");
    fake.closeClient();
    QTRY_VERIFY(m_app->connections().timerConnect().isActive());
    // No need to sit out the delay here: the timer's work runs now.
    m_app->connections().TimerConnectFired();
    QVERIFY2(fake.scriptDone(), qPrintable(lines().join(u'\n')));
    QVERIFY(m_app->left().state().LoggedIn);
    QCOMPARE(m_app->left().headerText(), u"fake"_s);
}

void TestSitesConnect::keepAliveTick() {
    startApp("Anti-Idle=1\r\nIdle Time=3600\r\n");
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    scriptLogin(fake);
    fake.expect("SYST", "215 UNIX").expect("PWD", "257 \"/\"").expect("NOOP", "200 ok");
    m_app->connections().ConnectToSite(fakeRequest(fake), SideId::Left);
    Side& side = m_app->left();
    QVERIFY(side.idleTimer().isActive());
    side.state().Busy = true;
    m_app->connections().IdleTick(SideId::Left);
    QVERIFY(!fake.received().contains("NOOP"));
    side.state().Busy = false;
    m_app->connections().IdleTick(SideId::Left);
    QVERIFY(fake.received().contains("NOOP"));
    // Not connected: the tick sends nothing; a command says so in red.
    m_app->connections().IdleTick(SideId::Right);
    QVERIFY(linesStartingWith(u"Error: Not Connected"_s).isEmpty());
    QVERIFY_THROWS_EXCEPTION(NotConnectedError,
                             m_app->right().session().DoCommand(u"NOOP"_s));
    QCOMPARE(linesStartingWith(u"Error: Not Connected"_s).size(), 1);
}

void TestSitesConnect::autoRefreshTickFiltersOnceBothSidesRefreshed() {
    startApp("Anti-Idle=1\r\nAutoRefresh=1\r\nAuto Refresh Enabled=1\r\n");
    const QString dir = startDirectory(u"korvane-start"_s);
    // One server per side: pyftpdlib stops reading one session's commands
    // after another session's active-mode listing.
    FtpServerFixture second(FtpServerFixture::Slot::B);
    QVERIFY2(second.start(), qPrintable(second.errorString()));
    if (second.isLocal())
        second.putFile(u"korvane-start/file.txt"_s, "x");
    m_app->connections().ConnectToSite(serverRequest(*m_server, u"Home"_s, dir), SideId::Left);
    m_app->connections().ConnectToSite(serverRequest(second, u"Other"_s, dir), SideId::Right);
    QSignalSpy filter(&m_app->connections(), &ConnectionLifecycle::dupeFilterRequested);
    m_app->left().setCurrentPath(u"/elsewhere"_s);
    m_app->connections().setDupeAfterRefresh(true);
    m_app->connections().IdleTick(SideId::Left);
    m_app->connections().IdleTick(SideId::Left);
    QCOMPARE(filter.size(), 0);
    // The tick refreshed the listing instead of sending NOOP.
    QCOMPARE(m_app->left().currentPath(), dir + u'/');
    m_app->connections().IdleTick(SideId::Right);
    m_app->connections().IdleTick(SideId::Right);
    QCOMPARE(filter.size(), 1);
    m_app->connections().IdleTick(SideId::Right);
    QCOMPARE(filter.size(), 1);
}

void TestSitesConnect::commandLineConnectsBothSides() {
    FtpServerFixture second(FtpServerFixture::Slot::B);
    QVERIFY2(second.start(), qPrintable(second.errorString()));
    startApp();
    SiteRecord site;
    site.name = u"[Second]"_s;
    site.host = second.host();
    site.port = QString::number(second.port());
    site.user = second.user();
    site.password = second.password();
    QVERIFY(m_app->siteStorage().SaveSite(site));
    const QString dir = startDirectory(u"cmdline"_s);
    const QString url = u"ftp://%1:%2@%3:%4%5"_s.arg(m_server->user(), m_server->password(),
                                                       m_server->host())
                            .arg(m_server->port())
                            .arg(dir);
    m_app->RunCommandLineConnect({u"--data-dir"_s, m_dir->path(), url + u";[Second]"_s});
    QVERIFY2(m_app->left().state().LoggedIn, qPrintable(lines().join(u'\n')));
    QVERIFY(m_app->right().state().LoggedIn);
    QCOMPARE(m_app->left().currentPath(), dir + u'/');
    QCOMPARE(m_app->left().headerText(), m_server->host());
    QCOMPARE(m_app->right().headerText(), u"[Second]"_s);
    QVERIFY(!m_app->right().currentPath().isEmpty());

    // A malformed address says why.
    m_app->RunCommandLineConnect({u"ftp://nobody-here"_s});
    QCOMPARE(lines().last().left(13), u"Command line:"_s);
}

QTEST_GUILESS_MAIN(TestSitesConnect)
#include "test_sites_connect.moc"
