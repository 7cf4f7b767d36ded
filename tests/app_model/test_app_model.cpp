// The application model: start-up, settings effects, closing, the
// window-wide commands, the sides' local view and how status lines reach
// the sides' displays.
#include "FakeFtpServer.h"
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestAppModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void startUpWithEmptyDataDirectory();
    void loadedSettingsReachTheSides();
    void closeQuery_data();
    void closeQuery();
    void exitSavesLayoutAndClosesWithoutQuit();
    void allOptionsToggle();
    void menuTogglesKeepTheLoadedValues();
    void transferDisplayReactsToStatusLines();
    void desktopCommands();
    void uncaughtErrorsAreLoggedNotFatal();
    void paneChecksFollowSavedPositions();

private:
    void writeIni(const QByteArray& text) { QVERIFY(m_dir->writeFile("Korvane.ini", text)); }
    StatusLine last() const {
        const StatusLineStore& lines = m_app->statusLog().lines();
        return lines.isEmpty() ? StatusLine() : lines.line(lines.count() - 1);
    }
    QString lastLine() const { return last().text; }

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<RecordingDesktopServices> m_services;
    std::unique_ptr<ScriptedUserPrompts> m_prompts;
    std::unique_ptr<App> m_app;
};

void TestAppModel::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_services = std::make_unique<RecordingDesktopServices>();
    m_prompts = std::make_unique<ScriptedUserPrompts>();
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
}

void TestAppModel::cleanup() {
    m_app.reset();
}

void TestAppModel::startUpWithEmptyDataDirectory() {
    m_app->create();
    m_app->show();
    QCOMPARE(m_app->title(), u"Korvane 1.0.57 SR1"_s);
    QCOMPARE(m_app->statusLog().lines().maxRecords(), 200);
    QCOMPARE(m_app->statusLog().lines().maxRemove(), 15);
    // The first status line describes the network stack, in black.
    QCOMPARE(m_app->statusLog().lines().count(), 1);
    QVERIFY(lastLine().startsWith(u"Qt "_s) && last().colour == clBlack);

    // Both sides start disconnected, in the temporary folder, with the
    // extra-options button hidden and no keep-alive.
    for (Side* side : {&m_app->left(), &m_app->right()}) {
        QVERIFY(side->button(SideButton::Connect).enabled);
        QVERIFY(side->button(SideButton::ToggleLocalView).enabled);
        for (SideButton b : {SideButton::Disconnect, SideButton::Stop, SideButton::Transfer,
                             SideButton::Refresh, SideButton::FilterDupes})
            QVERIFY(!side->button(b).enabled);
        QVERIFY(!side->button(SideButton::TwoDayFilterDupes).visible);
        QCOMPARE(side->localPath(), QDir::tempPath());
        QVERIFY(!side->idleTimer().isActive());
    }
}
void TestAppModel::loadedSettingsReachTheSides() {
    const QString downloads = m_dir->filePath(u"down"_s);
    QVERIFY(QDir().mkpath(downloads));
    writeIni("[_Main_]\r\nAnti-Idle=1\r\nIdle Time=45\r\nDownload Directory=" + downloads.toUtf8() +
             "\r\nall=1\r\n");
    m_app->create();
    QVERIFY(m_app->left().button(SideButton::TwoDayFilterDupes).visible);
    for (SideId id : {SideId::Left, SideId::Right}) {
        QVERIFY(m_app->side(id).idleTimer().isActive());
        QCOMPARE(m_app->side(id).idleTimer().interval(), 45000);
        QCOMPARE(m_app->side(id).localPath(), downloads);
    }

    // Preferences confirmed without a new download folder: the local lists
    // stay where the user took them.
    m_app->left().setLocalPath(m_dir->path());
    m_app->applyPreferences(m_app->settings());
    QCOMPARE(m_app->left().localPath(), m_dir->path());

    // Preferences confirmed: the file is read again. A hand-edited interval
    // too large for the timer is held at its limit instead of overflowing.
    writeIni("[_Main_]\r\nAnti-Idle=0\r\nIdle Time=99999999\r\nDownload Directory=/no/such\r\n");
    QVERIFY(m_dir->writeFile("skiplist.dat", "[_Skip_]\r\ns0=*.nfo\r\n"));
    QSignalSpy loaded(m_app.get(), &App::settingsLoaded);
    m_app->applyPreferences(m_app->settings());
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(m_app->skipList(), QStringList{u"*.nfo"_s});
    QVERIFY(!m_app->right().idleTimer().isActive());
    QCOMPARE(m_app->right().idleTimer().interval(), std::numeric_limits<int>::max() / 1000 * 1000);
    QCOMPARE(m_app->right().localPath(), QDir::tempPath());
}

void TestAppModel::closeQuery_data() {
    QTest::addColumn<bool>("confirmSetting");
    QTest::addColumn<int>("queued");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("asked");
    QTest::newRow("setting off") << false << 3 << false << true << false;
    QTest::newRow("empty queue") << true << 0 << false << true << false;
    QTest::newRow("answer yes") << true << 2 << true << true << true;
    QTest::newRow("answer no") << true << 2 << false << false << true;
}

void TestAppModel::closeQuery() {
    QFETCH(bool, confirmSetting);
    QFETCH(int, queued);
    QFETCH(bool, answer);
    QFETCH(bool, closes);
    QFETCH(bool, asked);
    writeIni(confirmSetting ? "[_Confirm_]\r\nExitEmptyQueue=1\r\n" : "");
    m_app->create();
    QueueModel& queue = m_app->queue();
    for (int i = 0; i < queued; ++i)
        queue.append(QueueEntry{u"/e%1"_s.arg(i), u"/t/"_s, {}, 3, {}});
    m_prompts->confirmAnswers.enqueue(answer);
    QCOMPARE(m_app->CloseQuery(), closes);
    QCOMPARE(m_prompts->asked.contains(u"confirm:Exit with non empty queue?"_s), asked);
    QCOMPARE(m_services->calls.contains(u"beep"_s), asked);
    QCOMPARE(queue.rowCount(), queued); // the queue is never touched
}

void TestAppModel::exitSavesLayoutAndClosesWithoutQuit() {
    FakeFtpServer server;
    QVERIFY(server.listen());
    server.expect("USER", "230 in");
    m_app->create();
    FtpSession& session = m_app->left().session();
    session.setHost(u"127.0.0.1"_s);
    session.setPort(server.port());
    session.UserID = u"u"_s;
    session.Password = u"p"_s;
    session.Connect();
    m_app->left().idleTimer().start();

    WindowLayout layout;
    layout.width = 800;
    layout.split3 = 410;
    layout.maximized = true;
    m_app->Exit(layout);
    QVERIFY(m_app->closing());
    QVERIFY(!session.isConnected());
    QVERIFY(!m_app->left().idleTimer().isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!server.clientConnected(), 5000);
    QVERIFY(!server.received().contains("QUIT"));

    const WindowLayout read = m_app->settingsStore().ReadWindowLayout();
    QCOMPARE(read.width, 800);
    QCOMPARE(read.split3, 410);
    QVERIFY(read.maximized);
}

void TestAppModel::allOptionsToggle() {
    m_app->create();
    QSignalSpy spy(m_app.get(), &App::allOptionsChanged);
    m_app->ToggleAllOptions();
    QVERIFY(m_app->allOptionsVisible());
    QVERIFY(m_app->left().button(SideButton::TwoDayFilterDupes).visible);
    QVERIFY(m_app->settingsStore().ReadAll());
    QCOMPARE(lastLine(), u"-- Options Visible"_s);
    QCOMPARE(last().colour, clBlue);

    m_app->ToggleAllOptions();
    QVERIFY(!m_app->right().button(SideButton::TwoDayFilterDupes).visible);
    QVERIFY(!m_app->settingsStore().ReadAll());
    QCOMPARE(lastLine(), u"-- Options Hidden"_s);
    QCOMPARE(spy.count(), 2);
}

void TestAppModel::menuTogglesKeepTheLoadedValues() {
    m_app->create();
    QVERIFY(m_app->WriteToggle(ToggleKey::DeleteMethod, false));
    QVERIFY(!m_app->settings().deleteMethod);
    QVERIFY(m_app->WriteToggle(ToggleKey::AntiIdle, true));
    QVERIFY(m_app->settings().antiIdle);
    QVERIFY(m_app->left().idleTimer().isActive() && m_app->right().idleTimer().isActive());
    QCOMPARE(m_app->right().idleTimer().interval(), 120 * 1000);
    QVERIFY(m_app->WriteToggle(ToggleKey::AntiIdle, false));
    QVERIFY(!m_app->left().idleTimer().isActive());
    // Preferences' later reload reads what the toggles wrote.
    m_app->LoadSettings();
    QVERIFY(!m_app->settings().deleteMethod);
}

void TestAppModel::transferDisplayReactsToStatusLines() {
    m_app->create();
    StatusLog& log = m_app->statusLog();
    for (Side* side : {&m_app->left(), &m_app->right()}) {
        side->state().Busy = true;
        side->setButtonEnabled(SideButton::Stop, true);
        side->setButtonImage(SideButton::Stop, StopImageActive);
        side->setStatusBarText(u"12%"_s);
    }
    // A broken transfer resets the display and is an error too.
    m_app->transferTimer().start();
    log.AddStatusLine(u"426 Connection closed; transfer aborted."_s, clGreen);
    QVERIFY(!m_app->transferTimer().isActive());
    for (Side* side : {&m_app->left(), &m_app->right()}) {
        QVERIFY(!side->state().Busy && !side->button(SideButton::Stop).enabled);
        QCOMPARE(side->button(SideButton::Stop).imageIndex, StopImageIdle);
        QCOMPARE(side->statusBarText(), QString());
    }
    QCOMPARE(last().colour, clRed);

    // Any other error while a transfer runs stops its display.
    m_app->transferTimer().start();
    log.AddStatusLine(u"550 Permission denied"_s, clBlue);
    QVERIFY(!m_app->transferTimer().isActive());
    QCOMPARE(m_app->left().statusBarText(), u"Transfer Aborted."_s);
    QCOMPARE(m_app->right().statusBarText(), u"Transfer Aborted."_s);

    // In the background the title tells of the error.
    m_services->applicationActive = false;
    log.AddStatusLine(u"530 Not logged in"_s, clBlue);
    QCOMPARE(m_app->title(), u"ERROR: 530 Not logged in"_s);
}
void TestAppModel::desktopCommands() {
    m_app->StartNewSession();
    QCOMPARE(m_services->calls.size(), 1);
    QVERIFY(m_services->calls.first().startsWith(QLatin1String("startProgram:")));
    QVERIFY(m_services->calls.first().endsWith(QLatin1String(" --data-dir ") + m_dir->path()));

    if (!QFileInfo::exists(m_app->whatsNewPath())) {
        m_app->OpenWhatsNew();
        QCOMPARE(m_prompts->asked, QStringList{u"error:Unable to find the whatsnew.txt"_s});
        QCOMPARE(m_services->calls.last(), u"beep"_s);
    }

    // A help file the desktop cannot open is reported, not ignored.
    m_services->openFileResult = false;
    m_app->OpenHelp();
    QCOMPARE(lastLine(), u"Unable to open the help file help.html"_s);
}

void TestAppModel::uncaughtErrorsAreLoggedNotFatal() {
    m_app->create();
    m_app->RunGuarded([] { throw SocketError(u"Connection Failed"_s); });
    m_app->RunGuarded([] { throw NotConnectedError(); });
    m_app->RunGuarded([] { throw std::runtime_error("bad state"); });
    const QByteArray log = m_dir->readFile(u"errorlog.txt"_s);
    QVERIFY(log.contains("Object Name: ESockError\nConnection Failed\n"));
    QVERIFY(log.contains("Object Name: Exception\nbad state\n"));
    QVERIFY(!log.contains("Not Connected"));
    QCOMPARE(lastLine(), u"bad state"_s);
}

void TestAppModel::paneChecksFollowSavedPositions() {
    // {bottom, its length, client, its length}; the toggles are tested on the window.
    PaneLayout layout;
    layout.adoptPositions({400, 400, 320, 500});
    QVERIFY(layout.queueShown() && !layout.statusShown());
    layout.adoptPositions({100, 400, 500, 500});
    QVERIFY(!layout.queueShown() && !layout.statusShown());
}

QTEST_GUILESS_MAIN(TestAppModel)
#include "test_app_model.moc"
