// The main window under the offscreen platform: start-up layout, menus,
// closing, the layout toggles, the hidden options action and the sides.
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "app/PreferencesDialog.h"
#include "app/SidePanel.h"
#include "local/LocalPane.h"
#include "widgets/StatusPane.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStackedWidget>
#include <QStringListModel>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include <memory>

class TestGuiMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void startUpLayoutWithEmptyDataDirectory();
    void menusAndButtonsCarryTheirNames();
    void closeQueryKeepsOrCloses();
    void layoutToggles();
    void allOptionsAction();
    void activeSideAndLocalView();
    void preferencesCancelAndOk();
    void restoresSavedLayout();

private:
    void makeWindow();

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<RecordingDesktopServices> m_services;
    std::unique_ptr<ScriptedUserPrompts> m_prompts;
    std::unique_ptr<App> m_app;
    std::unique_ptr<MainWindow> m_window;
};

void TestGuiMainWindow::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_services = std::make_unique<RecordingDesktopServices>();
    m_prompts = std::make_unique<ScriptedUserPrompts>();
}

void TestGuiMainWindow::makeWindow() {
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    m_window = std::make_unique<MainWindow>(*m_app);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestGuiMainWindow::cleanup() {
    m_window.reset();
    m_app.reset();
}

void TestGuiMainWindow::startUpLayoutWithEmptyDataDirectory() {
    makeWindow();
    QCOMPARE(m_window->size(), QSize(507, 455));
    QCOMPARE(m_window->pos(), QPoint(100, 100));
    QCOMPARE(m_window->clientSplit()->sizes().value(0), 320);
    QCOMPARE(m_window->topSplit()->sizes().value(0), 248);
    QCOMPARE(m_window->bottomSplit()->sizes().value(0), 248);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Korvane 1.0.57 SR1"));
    QVERIFY(m_window->action("Status1")->isChecked());
    QVERIFY(m_window->action("Queue2")->isChecked());
    // The first status line is the network stack's description.
    QCOMPARE(m_app->statusLog().lines().count(), 1);

    const QString shot = qEnvironmentVariable("KORVANE_SCREENSHOT");
    if (!shot.isEmpty()) {
        m_window->resize(900, 560);
        m_app->statusLog().AddStatusLine(QStringLiteral("220 Welcome to the demo server"), clBlue);
        m_app->statusLog().AddStatusLine(QStringLiteral("230 Login successful."), clGreen);
        m_app->statusLog().AddStatusLine(QStringLiteral("550 No such file or directory"), clBlue);
        QTest::qWait(50);
        QVERIFY(m_window->grab().save(shot));
    }
}

void TestGuiMainWindow::menusAndButtonsCarryTheirNames() {
    makeWindow();
    struct Expect {
        const char* name;
        const char* caption;
        const char* shortcut;
        bool enabled;
    };
    const Expect expected[] = {
        {"Hide1", "&Hide", "F2", true},
        {"Exit1", "E&xit", "", true},
        {"SiteManager1", "&Site Manager", "F4", false},
        {"NewSession1", "&New Session", "F12", true},
        {"Preferences1", "&Preferences", "F6", true},
        {"AntiIdle1", "Anti&-Idle", "Ctrl+I", true},
        {"SkipList1", "&Skip List", "Ctrl+S", true},
        {"Define1", "&Define", "F7", false},
        {"RawCommand1", "&Raw Command", "Ctrl+R", false},
        {"Find1", "&Find", "Ctrl+F", false},
        {"FindNext1", "Find &Next", "F3", false},
        {"Help2", "&Help", "F1", true},
        {"Whatsnewtxt1", "&Whatsnew.txt", "", true},
        {"Transfer1", "&Transfer", "Ctrl+T", false},
        {"MakeDirectory1", "&Make Directory", "Ins", false},
        {"MoveUp1", "Move &Up", "Ctrl+S", false},
        {"Restore1", "&Restore", "", true},
        {"Action2", "Error", "Ctrl+E", true},
        {"ALL", "ALL", "Alt+Shift+Backspace", true},
        {"ErrorOnlyStatusWindow1", "&Error Only Status Window", "", true},
    };
    for (const Expect& e : expected) {
        QAction* a = m_window->action(e.name);
        QVERIFY2(a, e.name);
        QCOMPARE(a->text(), QString::fromUtf8(e.caption));
        QCOMPARE(a->shortcut().toString(), QString::fromLatin1(e.shortcut));
        QCOMPARE(a->isEnabled(), e.enabled);
    }
    // Defaults check the first item of each settings pair.
    for (const char* name :
         {"Idle1", "OverWrite1", "NonRecursive1", "ExactMatch1", "Vertical1", "VerticalLayout1"})
        QVERIFY2(m_window->action(name)->isChecked(), name);
    QVERIFY(!m_window->action("Race1")->isVisible());
    QVERIFY(!m_window->action("N2DayFilterDupes1")->isVisible());

    // Both toolbars with every button and hint; the disconnected state.
    const struct {
        const char* name;
        const char* hint;
        bool enabled;
    } buttons[] = {{"ToolButton1", "Connect", true},
                   {"ToolButton9", "Connect", true},
                   {"ToolButton2", "Disconnect", false},
                   {"ToolButton10", "Disconnect", false},
                   {"ToolButton4", "Abort", true},
                   {"ToolButton12", "Abort", true},
                   {"ToolButton17", "Stop Transfer or Delete", false},
                   {"ToolButton18", "Stop Transfer or Delete", false},
                   {"ToolButton6", "Transfer", false},
                   {"ToolButton14", "Transfer", false},
                   {"ToolButton7", "Refresh", false},
                   {"ToolButton15", "Refresh", false},
                   {"ToolButton8", "Filter duplicates", false},
                   {"ToolButton16", "Filter duplicates", false},
                   {"ToolButton25", "Toggle Local View", true},
                   {"ToolButton26", "Toggle Local View", true}};
    for (const auto& b : buttons) {
        auto* button = m_window->findChild<QToolButton*>(QString::fromLatin1(b.name));
        QVERIFY2(button, b.name);
        QCOMPARE(button->toolTip(), QString::fromLatin1(b.hint));
        QCOMPARE(button->isEnabled(), b.enabled);
    }
    for (const char* name :
         {"Llv",        "Rlv",        "LTree",       "RTree",      "lcb",
          "rcb",        "Panel3",     "Panel4",      "Panel5",     "Panel6",
          "LvQueue",    "wcStatus",   "tError",      "StatusBar3", "Gauge1",
          "LlocalList", "RlocalList", "ClientSplit", "TopSplit",   "BottomSplit"})
        QVERIFY2(m_window->findChild<QWidget*>(QString::fromLatin1(name)), name);
}

void TestGuiMainWindow::closeQueryKeepsOrCloses() {
    IniFile(m_dir->filePath(QStringLiteral("Korvane.ini")))
        .writeBool("_Confirm_", "ExitEmptyQueue", true);
    makeWindow();
    QStringListModel queue({QStringLiteral("a"), QStringLiteral("b")});
    m_app->setQueueModel(&queue);

    m_prompts->confirmAnswers.enqueue(false);
    QVERIFY(!m_window->close());
    QVERIFY(m_window->isVisible());
    QCOMPARE(queue.rowCount(), 2);
    QVERIFY(!m_app->closing());

    m_window->resize(640, 480);
    m_prompts->confirmAnswers.enqueue(true);
    QVERIFY(m_window->close());
    QVERIFY(m_app->closing());
    const WindowLayout saved = m_app->settingsStore().ReadWindowLayout();
    QCOMPARE(saved.width, 640);
    QCOMPARE(saved.height, 480);
}

void TestGuiMainWindow::layoutToggles() {
    makeWindow();
    QSplitter* bottom = m_window->bottomSplit();
    const int total = bottom->sizes().value(0) + bottom->sizes().value(1);
    m_window->action("Queue2")->trigger();
    QCOMPARE(bottom->sizes().value(0), 0);
    QVERIFY(!m_window->action("Queue2")->isChecked());
    m_window->action("Queue2")->trigger();
    QVERIFY(qAbs(bottom->sizes().value(0) - total / 2) <= 1);
    QVERIFY(m_window->action("Queue2")->isChecked());

    // Both hidden: the lower area goes away, and comes back where it was.
    const int client = m_window->clientSplit()->sizes().value(0);
    m_window->action("Status1")->trigger();
    m_window->action("Queue2")->trigger();
    QCOMPARE(m_window->clientSplit()->sizes().value(1), 0);
    m_window->action("Status1")->trigger();
    QCOMPARE(m_window->clientSplit()->sizes().value(0), client);

    // The tree toggle writes its key at once and opens the tree.
    m_window->action("LeftTree1")->trigger();
    QVERIFY(m_window->sidePanel(SideId::Left)->treeSplit()->sizes().value(0) > 0);
    QVERIFY(m_app->settingsStore().ReadSettings().leftTree);
    m_window->action("Horizontal1")->trigger();
    QCOMPARE(m_window->sidePanel(SideId::Right)->treeSplit()->orientation(), Qt::Vertical);
    QVERIFY(!m_app->settingsStore().ReadSettings().treeStyle);
    m_window->action("Recursive1")->trigger();
    QVERIFY(!m_app->settingsStore().ReadSettings().deleteMethod);
}

void TestGuiMainWindow::allOptionsAction() {
    makeWindow();
    m_window->resize(1000, 600); // room for every tool button
    auto* twoDay = m_window->findChild<QToolButton*>(QStringLiteral("ToolButton21"));
    QVERIFY(!twoDay->isVisible());
    m_window->action("ALL")->trigger();
    QTRY_VERIFY(twoDay->isVisible());
    QVERIFY(m_window->action("N2DayFilterDupes1")->isVisible());
    const StatusLineStore& lines = m_app->statusLog().lines();
    QCOMPARE(lines.line(lines.count() - 1).text, QStringLiteral("-- Options Visible"));
    m_window->action("ALL")->trigger();
    QTRY_VERIFY(!twoDay->isVisible());
    QCOMPARE(lines.line(lines.count() - 1).text, QStringLiteral("-- Options Hidden"));

    // Ctrl+E shows the error-only window and hides it again.
    m_window->action("Action2")->trigger();
    QVERIFY(m_window->statusPane()->isErrorOnly());
    m_window->action("Action2")->trigger();
    QVERIFY(!m_window->statusPane()->isErrorOnly());
}

void TestGuiMainWindow::activeSideAndLocalView() {
    makeWindow();
    auto* panel3 = m_window->findChild<QLabel*>(QStringLiteral("Panel3"));
    auto* panel4 = m_window->findChild<QLabel*>(QStringLiteral("Panel4"));
    const QColor yellow(255, 255, 0);
    QCOMPARE(panel3->palette().color(QPalette::Window), yellow);
    m_window->sidePanel(SideId::Right)->list()->setFocus();
    QTRY_COMPARE(m_app->activeSide(), SideId::Right);
    QCOMPARE(panel4->palette().color(QPalette::Window), yellow);
    QVERIFY(panel3->palette().color(QPalette::Window) != yellow);

    // Toggle Local View switches the side to its local pane in the start folder.
    SidePanel* right = m_window->sidePanel(SideId::Right);
    QVERIFY(!right->localPane()->isVisible());
    m_window->findChild<QToolButton*>(QStringLiteral("ToolButton26"))->click();
    QVERIFY(right->localPane()->isVisible());
    QCOMPARE(right->localPane()->path(), QDir::tempPath());
    // A filled folder puts its path in the summary line.
    QTRY_COMPARE_WITH_TIMEOUT(right->summary()->text(), QDir::tempPath(), 5000);
    QVERIFY(right->localPane()->goToParent());
    QCOMPARE(m_app->right().localPath(), QDir::cleanPath(QDir::tempPath() + QStringLiteral("/..")));
}

void TestGuiMainWindow::preferencesCancelAndOk() {
    makeWindow();
    const QByteArray before = m_dir->readFile(QStringLiteral("Korvane.ini"));
    m_window->openPreferences();
    PreferencesDialog* dialog = m_window->preferencesDialog();
    QVERIFY(dialog);
    dialog->reject();
    QTRY_VERIFY(!m_window->preferencesDialog());
    QCOMPARE(m_dir->readFile(QStringLiteral("Korvane.ini")), before);

    m_window->openPreferences();
    dialog = m_window->preferencesDialog();
    QVERIFY(dialog);
    dialog->confirm();
    QTRY_VERIFY(!m_window->preferencesDialog());
    QVERIFY(m_dir->readFile(QStringLiteral("Korvane.ini")).contains("ConnectTimeout=40"));
}

void TestGuiMainWindow::restoresSavedLayout() {
    IniFile ini(m_dir->filePath(QStringLiteral("Korvane.ini")));
    ini.writeInteger("_Main_", "Width", 700);
    ini.writeInteger("_Main_", "Height", 500);
    ini.writeInteger("_Main_", "Split 3", 300);
    ini.writeInteger("_Main_", "Split 1", 200);
    ini.writeInteger("_Main_", "Split 2", 0);
    makeWindow();
    QCOMPARE(m_window->size(), QSize(700, 500));
    QCOMPARE(m_window->clientSplit()->sizes().value(0), 300);
    QCOMPARE(m_window->topSplit()->sizes().value(0), 200);
    // A queue pane saved collapsed starts with "Show Queue" unchecked.
    QVERIFY(!m_window->action("Queue2")->isChecked());
    QVERIFY(m_window->action("Status1")->isChecked());
}

QTEST_MAIN(TestGuiMainWindow)
#include "test_gui_mainwindow.moc"
