// The application model: start-up defaults, closing, the window-wide
// commands and how status lines reach the sides' displays.
#include "FakeFtpServer.h"
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/IniFile.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"

#include <QSignalSpy>
#include <QStringListModel>
#include <QtTest>

#include <memory>

class TestAppModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void startUpWithEmptyDataDirectory();
    void closeQuery_data();
    void closeQuery();
    void exitSavesLayoutAndClosesWithoutQuit();
    void allOptionsToggle();
    void menuTogglesWriteAtOnce();
    void transferDisplayReactsToStatusLines();
    void whatsNewMissing();
    void newSessionKeepsTheDataDirectory();
    void uncaughtErrorsAreLoggedNotFatal();
    void paneToggles();
    void preferencesConfirmation();

private:
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
    const WindowLayout layout = m_app->show();
    QCOMPARE(layout.left, 100);
    QCOMPARE(layout.top, 100);
    QCOMPARE(layout.width, 507);
    QCOMPARE(layout.height, 455);
    QCOMPARE(layout.split3, 320);
    QCOMPARE(layout.split1, 248);
    QCOMPARE(layout.split2, 248);
    QVERIFY(!layout.maximized);
    QCOMPARE(m_app->title(), QStringLiteral("Korvane 1.0.57 SR1"));
    QCOMPARE(m_app->statusLog().lines().maxRecords(), 200);

    // The first status line describes the network stack, in black.
    const StatusLineStore& lines = m_app->statusLog().lines();
    QCOMPARE(lines.count(), 1);
    QVERIFY(lines.line(0).text.startsWith(QLatin1String("Qt ")));
    QCOMPARE(lines.line(0).colour, clBlack);

    // Both sides start disconnected, in the temporary folder, with the
    // extra-options button hidden.
    for (SideId id : {SideId::Left, SideId::Right}) {
        Side& side = m_app->side(id);
        QVERIFY(side.button(SideButton::Connect).enabled);
        QVERIFY(!side.button(SideButton::Disconnect).enabled);
        QVERIFY(!side.button(SideButton::Refresh).enabled);
        QVERIFY(!side.button(SideButton::TwoDayFilterDupes).visible);
        QCOMPARE(side.localPath(), QDir::tempPath());
        QVERIFY(!side.idleTimer().isActive());
    }
    QCOMPARE(m_app->left().session().objectName(), QStringLiteral("NMFTP1"));
    QCOMPARE(m_app->right().statusColour(), clGreen);
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
    IniFile(m_dir->filePath(QStringLiteral("Korvane.ini")))
        .writeBool("_Confirm_", "ExitEmptyQueue", confirmSetting);
    m_app->create();
    QStringListModel queue(QStringList(queued, QStringLiteral("entry")));
    m_app->setQueueModel(&queue);
    m_prompts->confirmAnswers.enqueue(answer);
    QCOMPARE(m_app->CloseQuery(), closes);
    QCOMPARE(m_prompts->asked.contains(QStringLiteral("confirm:Exit with non empty queue?")),
             asked);
    QCOMPARE(m_services->calls.contains(QStringLiteral("beep")), asked);
    QCOMPARE(queue.rowCount(), queued); // the queue is never touched
}

void TestAppModel::exitSavesLayoutAndClosesWithoutQuit() {
    FakeFtpServer server;
    QVERIFY(server.listen());
    server.expect("USER", "230 in");
    m_app->create();
    FtpSession& session = m_app->left().session();
    session.setHost(QStringLiteral("127.0.0.1"));
    session.setPort(server.port());
    session.UserID = QStringLiteral("u");
    session.Password = QStringLiteral("p");
    session.Connect();

    WindowLayout layout;
    layout.left = 11;
    layout.top = 22;
    layout.width = 800;
    layout.height = 600;
    layout.split1 = 390;
    layout.split2 = 300;
    layout.split3 = 410;
    layout.maximized = true;
    m_app->Exit(layout);
    QVERIFY(m_app->closing());
    QVERIFY(!session.isConnected());
    QTRY_VERIFY_WITH_TIMEOUT(!server.clientConnected(), 5000);
    QVERIFY(!server.received().contains("QUIT"));

    const WindowLayout read = m_app->settingsStore().ReadWindowLayout();
    QCOMPARE(read.left, 11);
    QCOMPARE(read.width, 800);
    QCOMPARE(read.split1, 390);
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
    const StatusLineStore& lines = m_app->statusLog().lines();
    QCOMPARE(lines.line(lines.count() - 1).text, QStringLiteral("-- Options Visible"));
    QCOMPARE(lines.line(lines.count() - 1).colour, clBlue);

    m_app->ToggleAllOptions();
    QVERIFY(!m_app->right().button(SideButton::TwoDayFilterDupes).visible);
    QVERIFY(!m_app->settingsStore().ReadAll());
    QCOMPARE(lines.line(lines.count() - 1).text, QStringLiteral("-- Options Hidden"));
    QCOMPARE(spy.count(), 2);

    // A restart with the option on shows the buttons at once.
    m_app->ToggleAllOptions();
    App again(DataPaths(m_dir->path()), *m_services, *m_prompts);
    again.create();
    QVERIFY(again.right().button(SideButton::TwoDayFilterDupes).visible);
}

void TestAppModel::menuTogglesWriteAtOnce() {
    m_app->create();
    QVERIFY(m_app->settings().deleteMethod);
    QVERIFY(m_app->WriteToggle(ToggleKey::DeleteMethod, false));
    QVERIFY(!m_app->settings().deleteMethod);
    QVERIFY(m_app->WriteToggle(ToggleKey::AntiIdle, true));
    QVERIFY(m_app->left().idleTimer().isActive());
    QCOMPARE(m_app->right().idleTimer().interval(), 120 * 1000);

    const Settings reread = m_app->settingsStore().ReadSettings();
    QVERIFY(!reread.deleteMethod);
    QVERIFY(reread.antiIdle);
}

void TestAppModel::transferDisplayReactsToStatusLines() {
    m_app->create();
    StatusLog& log = m_app->statusLog();
    for (SideId id : {SideId::Left, SideId::Right}) {
        Side& side = m_app->side(id);
        side.state().Busy = true;
        side.setButtonEnabled(SideButton::Stop, true);
        side.setButtonImage(SideButton::Stop, StopImageActive);
        side.setStatusBarText(QStringLiteral("12%"));
    }
    // A broken transfer resets the display and is an error too.
    m_app->transferTimer().start();
    log.AddStatusLine(QStringLiteral("426 Connection closed; transfer aborted."), clGreen);
    QVERIFY(!m_app->transferTimer().isActive());
    for (SideId id : {SideId::Left, SideId::Right}) {
        Side& side = m_app->side(id);
        QVERIFY(!side.state().Busy);
        QVERIFY(!side.button(SideButton::Stop).enabled);
        QCOMPARE(side.button(SideButton::Stop).imageIndex, StopImageIdle);
        QCOMPARE(side.statusBarText(), QString());
    }
    QCOMPARE(log.lines().line(log.lines().count() - 1).colour, clRed);

    // Any other error while a transfer runs stops its display.
    m_app->transferTimer().start();
    log.AddStatusLine(QStringLiteral("550 Permission denied"), clBlue);
    QVERIFY(!m_app->transferTimer().isActive());
    QCOMPARE(m_app->left().statusBarText(), QStringLiteral("Transfer Aborted."));
    QCOMPARE(m_app->right().statusBarText(), QStringLiteral("Transfer Aborted."));

    // In the background the title tells of the error.
    m_services->applicationActive = false;
    log.AddStatusLine(QStringLiteral("530 Not logged in"), clBlue);
    QCOMPARE(m_app->title(), QStringLiteral("ERROR: 530 Not logged in"));
}

void TestAppModel::whatsNewMissing() {
    if (QFileInfo::exists(m_app->whatsNewPath()))
        QSKIP("a whatsnew.txt sits beside the test program");
    m_app->OpenWhatsNew();
    QCOMPARE(m_prompts->asked,
             QStringList{QStringLiteral("error:Unable to find the whatsnew.txt")});
    QCOMPARE(m_services->calls, QStringList{QStringLiteral("beep")});
}

void TestAppModel::newSessionKeepsTheDataDirectory() {
    m_app->StartNewSession();
    QCOMPARE(m_services->calls.size(), 1);
    QVERIFY(m_services->calls.first().startsWith(QLatin1String("startProgram:")));
    QVERIFY(m_services->calls.first().contains(m_dir->path()));
}

void TestAppModel::uncaughtErrorsAreLoggedNotFatal() {
    m_app->create();
    m_app->RunGuarded([] { throw SocketError(QStringLiteral("Connection Failed")); });
    m_app->RunGuarded([] { throw NotConnectedError(); });
    const QByteArray log = m_dir->readFile(QStringLiteral("errorlog.txt"));
    QVERIFY(log.contains("Object Name: ESockError\nConnection Failed\n"));
    QVERIFY(!log.contains("Not Connected"));
    const StatusLineStore& lines = m_app->statusLog().lines();
    QCOMPARE(lines.line(lines.count() - 1).text, QStringLiteral("Connection Failed"));
    QCOMPARE(lines.line(lines.count() - 1).colour, clRed);
}

void TestAppModel::paneToggles() {
    PaneLayout layout;
    PaneSplits splits{200, 400, 320, 500};
    layout.adoptPositions(splits);
    QVERIFY(layout.queueShown() && layout.statusShown());

    splits = layout.toggleQueue(splits);
    QCOMPARE(splits.bottom, 0);
    QVERIFY(!layout.queueShown());
    splits = layout.toggleQueue(splits);
    QCOMPARE(splits.bottom, 200); // back at half the splitter

    // Hiding both moves the whole lower area away and remembers where it was.
    splits.client = 280;
    splits = layout.toggleStatus(splits);
    QCOMPARE(splits.bottom, 400);
    splits = layout.toggleQueue(splits);
    QCOMPARE(splits.client, 500);
    splits = layout.toggleStatus(splits);
    QCOMPARE(splits.client, 280);
    QCOMPARE(splits.bottom, 0);
    QVERIFY(layout.statusShown() && !layout.queueShown());

    // Restored positions set the check marks.
    PaneLayout restored;
    restored.adoptPositions({400, 400, 320, 500});
    QVERIFY(restored.queueShown() && !restored.statusShown());
    restored.adoptPositions({100, 400, 500, 500});
    QVERIFY(!restored.queueShown() && !restored.statusShown());
}

void TestAppModel::preferencesConfirmation() {
    m_app->create();
    Settings edited = m_app->settings();
    edited.idleTime = 29;
    edited.connectTimeout = 55;
    const SettingsStore& store = m_app->settingsStore();
    QCOMPARE(store.ConfirmPreferences(edited, {}, {}, *m_services),
             QStringLiteral("Ant-idle value to low. \nLowest value 30 sec."));
    QCOMPARE(m_services->soundCalls(), QStringList{QStringLiteral("playSystemSound:5")});
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("Korvane.ini"))));

    edited.idleTime = 30;
    QVERIFY(
        store.ConfirmPreferences(edited, {QStringLiteral(" *.nfo ")}, {}, *m_services).isEmpty());
    QCOMPARE(store.ReadSettings().connectTimeout, 55);
    m_app->applyPreferences(m_app->settings());
    QCOMPARE(m_app->skipList(), QStringList{QStringLiteral("*.nfo")});
}

QTEST_GUILESS_MAIN(TestAppModel)
#include "test_app_model.moc"
