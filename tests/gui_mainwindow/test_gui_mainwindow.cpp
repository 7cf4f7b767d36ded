// The main window under the offscreen platform: what it shows of the App and
// the settings file, and where its commands go.
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/IniFile.h"
#include "app/ListColumns.h"
#include "app/MainWindow.h"
#include "app/PreferencesDialog.h"
#include "app/SidePanel.h"
#include "app/TextViewerWindow.h"
#include "local/LocalPane.h"
#include "net/FtpSession.h"
#include "widgets/StatusConsole.h"
#include "widgets/StatusPane.h"
#include "widgets/StatusPanelLabel.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSplitter>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QStackedWidget>
#include <QtTest>

#include <array>
#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestGuiMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void layoutRestoredAndSavedOnClose();
    void settingsFileReachesWidgetsAndTogglesWriteTheirKeys();
    void sidesShowTheirStateAndForwardCommands();
    void f5RefreshesTheFocusedLocalList();
    void trayRestoreKeepsTheWindowState();
    void windowActions();
    void preferencesApplyOnOkOnly();

private:
    void makeWindow(const QByteArray& ini = {});
    QAction* action(const char* name) const { return m_window->action(name); }
    template <class T = QWidget> T* child(const char* name) const {
        T* found = m_window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }
    QString iniValue(const char* key) const {
        return IniFile(m_app->settingsStore().iniPath()).readString("_Main_", key, u"-"_s);
    }

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

void TestGuiMainWindow::cleanup() {
    m_window.reset();
    m_app.reset();
}

void TestGuiMainWindow::makeWindow(const QByteArray& ini) {
    if (!ini.isEmpty())
        QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, ini));
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    m_window = std::make_unique<MainWindow>(*m_app);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestGuiMainWindow::layoutRestoredAndSavedOnClose() {
    makeWindow("[_Main_]\r\nLeft=30\r\nTop=40\r\nWidth=700\r\nHeight=500\r\nSplit 3=300\r\n"
               "Split 1=200\r\nSplit 2=0\r\n[_Confirm_]\r\nExitEmptyQueue=1\r\n");
    QSplitter* bottom = m_window->bottomSplit();
    QSplitter* client = m_window->clientSplit();
    QCOMPARE(QRect(m_window->pos(), m_window->size()), QRect(30, 40, 700, 500));
    QCOMPARE(client->sizes().value(0), 300);
    QCOMPARE(m_window->topSplit()->sizes().value(0), 200);
    QCOMPARE(bottom->sizes().value(0), 0);
    // The sides' status-bar panels take half the width each.
    QCOMPARE(child("StatusPanel0")->width(), 345);
    QCOMPARE(child("StatusPanel1")->width(), 345);
    QTRY_VERIFY(child("StatusPanel1")->x() > child("StatusPanel0")->x()); // both in the bar

    // A queue pane saved collapsed starts with "Show Queue" unchecked; shown
    // again it takes half the splitter.
    QVERIFY(!action("Queue2")->isChecked() && action("Status1")->isChecked());
    action("Queue2")->trigger();
    QCOMPARE(bottom->sizes().value(0), (bottom->sizes().value(0) + bottom->sizes().value(1)) / 2);
    QVERIFY(action("Queue2")->isChecked());
    // Both hidden: the lower area goes away, and comes back where it was.
    action("Status1")->trigger();
    QCOMPARE(bottom->sizes().value(1), 0);
    action("Queue2")->trigger();
    QCOMPARE(client->sizes().value(1), 0);
    QVERIFY(!action("Status1")->isChecked() && !action("Queue2")->isChecked());
    action("Status1")->trigger();
    QCOMPARE(client->sizes().value(0), 300);
    QVERIFY(bottom->sizes().value(0) == 0 && action("Status1")->isChecked());
    action("Queue2")->trigger();
    action("Queue2")->trigger();
    QVERIFY(bottom->sizes().value(0) == 0 && bottom->sizes().value(1) > 0);

    // Closing with a queue asks; No keeps the window, Yes saves the layout.
    m_app->queue().append(QueueEntry{u"/entry"_s, u"/t/entry"_s, {}, 3, {}});
    QVERIFY(!m_window->close());
    QVERIFY(m_window->isVisible() && !m_app->closing());
    m_window->move(50, 60);
    m_window->resize(640, 480);
    QCOMPARE(child("StatusPanel0")->width(), 315);
    m_window->topSplit()->setSizes({150, 490});
    m_prompts->confirmAnswers.enqueue(true);
    QVERIFY(m_window->close() && m_app->closing());
    const WindowLayout saved = m_app->settingsStore().ReadWindowLayout();
    QCOMPARE(QRect(saved.left, saved.top, saved.width, saved.height), QRect(50, 60, 640, 480));
    QCOMPARE(saved.split1, 150);
    QCOMPARE(saved.split3, client->sizes().value(0));
    QVERIFY(!saved.maximized);

    const QString shot = qEnvironmentVariable("KORVANE_SCREENSHOT");
    if (!shot.isEmpty()) {
        makeWindow();
        m_window->resize(900, 560);
        m_app->statusLog().AddStatusLine(u"550 No such file or directory"_s, clBlue);
        QVERIFY(m_window->grab().save(shot));
    }
}
void TestGuiMainWindow::settingsFileReachesWidgetsAndTogglesWriteTheirKeys() {
    makeWindow("[_Main_]\r\nFont=\"Courier New\", 13, [Bold|Italic], [clMaroon]\r\n"
               "StatusFont=\"Courier New\", 15, [Underline], [clBlack]\r\n"
               "Skip File=1\r\nOn Complete Idle=0\r\nDelete Method=0\r\nDupe Match=0\r\n"
               "Tree Style=0\r\nStatus Style=0\r\nLeft Tree=1\r\nCache=1\r\nAnti-Idle=1\r\n"
               "Skip=1\r\nAutoRefresh=1\r\nAuto Refresh Enabled=1\r\nRace=1\r\nOwner=0\r\n"
               "Attrib=1\r\n");
    for (const char* name : {"SkipList1", "LeftTree1", "group1", "Attrib1"})
        QVERIFY2(action(name)->isChecked(), name);
    QVERIFY(!action("RightTree1")->isChecked() && !action("Owner1")->isChecked());
    for (const char* name : {"N26", "AutoRefresh1", "DupeAfterRefresh1", "N31", "Race1"})
        QVERIFY2(action(name)->isVisible(), name);

    // Fonts, with the colour of "Font", and the columns on both sides.
    for (const char* name :
         {"Llv", "Rlv", "LTree", "RTree", "LlocalList", "RlocalList", "LvQueue", "tError"}) {
        const QWidget* view = child(name);
        QCOMPARE(view->font().family(), u"Courier New"_s);
        QCOMPARE(view->font().pointSize(), 13);
        QVERIFY2(view->font().bold() && view->font().italic(), name);
        QCOMPARE(view->palette().color(QPalette::Text), QColor(128, 0, 0));
    }
    const QFont statusFont = m_window->statusPane()->console()->font();
    QVERIFY(statusFont.pointSize() == 15 && statusFont.underline());
    for (SideId id : {SideId::Left, SideId::Right}) {
        const QTreeView* list = m_window->sidePanel(id)->list();
        QVERIFY(list->isColumnHidden(ListColumns::Owner));
        QCOMPARE(list->columnWidth(ListColumns::Group), 50);
        QVERIFY(!list->isColumnHidden(ListColumns::Attrib));
        QCOMPARE(list->columnWidth(ListColumns::Attrib), 70);
        QCOMPARE(m_window->sidePanel(id)->treeSplit()->orientation(), Qt::Vertical);
    }
    QCOMPARE(m_window->bottomSplit()->orientation(), Qt::Vertical);
    QVERIFY(m_window->sidePanel(SideId::Left)->treeSplit()->sizes().value(0) > 0);
    QCOMPARE(m_window->sidePanel(SideId::Right)->treeSplit()->sizes().value(0), 0);

    // Each item shows its key and writes it at once. Every step changes the
    // key, so an item writing another key shows. {checked, the other, key}:
    const std::array<const char*, 3> toggles[] = {
        {"Skip1", "OverWrite1", "Skip File"},
        {"Disconnect1", "Idle1", "On Complete Idle"},
        {"Recursive1", "NonRecursive1", "Delete Method"},
        {"PartialMatch1", "ExactMatch1", "Dupe Match"},
        {"Horizontal1", "Vertical1", "Tree Style"},
        {"HorizontalLayout1", "VerticalLayout1", "Status Style"},
        {"AntiIdle1", "AntiIdle1", "Anti-Idle"},
        {"CacheDirectories1", "CacheDirectories1", "Cache"},
        {"AutoRefresh1", "AutoRefresh1", "Auto Refresh Enabled"},
    };
    for (const auto& [checked, other, key] : toggles) {
        const QString before = iniValue(key);
        QVERIFY2(action(checked)->isChecked() && action(other)->isChecked() == (other == checked),
                 checked);
        action(other)->trigger();
        QVERIFY2(iniValue(key) != before, other);
        action(checked)->trigger();
        QVERIFY2(iniValue(key) == before, checked);
    }
    action("LeftTree1")->trigger();
    action("RightTree1")->trigger();
    QVERIFY(iniValue("Left Tree") == u"0"_s && iniValue("Right Tree") == u"1"_s);
    // The skip list switch lasts for the session only.
    action("SkipList1")->trigger();
    QVERIFY(!m_app->skipActive());
    QCOMPARE(iniValue("Skip"), u"1"_s);

    action("Vertical1")->trigger();
    action("VerticalLayout1")->trigger();
    for (SideId id : {SideId::Left, SideId::Right})
        QCOMPARE(m_window->sidePanel(id)->treeSplit()->orientation(), Qt::Horizontal);
    QCOMPARE(m_window->sidePanel(SideId::Left)->treeSplit()->sizes().value(0), 0);
    QVERIFY(m_window->sidePanel(SideId::Right)->treeSplit()->sizes().value(0) > 0);
    // A new status/queue layout puts its splitter at half the width.
    QCOMPARE(m_window->bottomSplit()->orientation(), Qt::Horizontal);
    QCOMPARE(m_window->bottomSplit()->sizes().value(0), m_window->bottomSplit()->width() / 2);
}

void TestGuiMainWindow::sidesShowTheirStateAndForwardCommands() {
    makeWindow();
    SidePanel* right = m_window->sidePanel(SideId::Right);
    Side& side = m_app->right();
    QVERIFY(!child("ToolButton10")->isEnabled()); // Disconnect starts disabled
    side.setButtonEnabled(SideButton::Disconnect, true);
    QVERIFY(child("ToolButton10")->isEnabled());
    auto* stop = child<QToolButton>("ToolButton18");
    auto shows = [stop](QStyle::StandardPixmap icon) {
        return stop->icon().pixmap(16).toImage() ==
               stop->style()->standardIcon(icon).pixmap(16).toImage();
    };
    QVERIFY(shows(QStyle::SP_MediaStop));
    side.setButtonImage(SideButton::Stop, StopImageActive);
    QVERIFY(shows(QStyle::SP_MediaPause));
    for (const QToolButton* button : right->toolBar()->findChildren<QToolButton*>()) {
        if (button->objectName().startsWith(u"ToolButton"_s))
            QVERIFY2(!button->toolTip().isEmpty(), qPrintable(button->objectName()));
    }
    child<QToolButton>("ToolButton12")->click(); // Abort takes the right side from its connect
    QVERIFY(side.state().Connecting && !m_app->left().state().Connecting);
    side.setHeaderText(u"home site"_s);
    QCOMPARE(child<QLabel>("Panel4")->text(), u"home site"_s);
    side.setStatusBarText(u"12%"_s);
    QCOMPARE(child<StatusPanelLabel>("StatusPanel1")->text(), u"12%"_s);
    // The shared site drop-down connects the side whose button opens it.
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(child("ToolButton9"), &key);
    QCOMPARE(m_app->connectMenuSide(), SideId::Right);
    // Each view opens its own menu.
    for (auto [view, menu] : {std::pair{"Rlv", "PopUp"},
                              {"LTree", "PopTree"},
                              {"RlocalList", "LocalPop"},
                              {"LvQueue", "PMQueue"}}) {
        QContextMenuEvent request(QContextMenuEvent::Keyboard, QPoint(2, 2), QPoint(2, 2));
        QCoreApplication::sendEvent(child(view), &request);
        QVERIFY2(m_window->popupMenu(menu)->isVisible(), menu);
        m_window->popupMenu(menu)->close();
    }

    // Focus makes a side active, shown by its yellow header.
    const QColor yellow(255, 255, 0);
    QCOMPARE(child("Panel3")->palette().color(QPalette::Window), yellow);
    right->list()->setFocus();
    QTRY_COMPARE(m_app->activeSide(), SideId::Right);
    QCOMPARE(child("Panel4")->palette().color(QPalette::Window), yellow);
    QVERIFY(child("Panel3")->palette().color(QPalette::Window) != yellow);

    // Toggle Local View shows the local pane in the start folder, whose path
    // fills the summary until the side goes back to its remote list.
    QVERIFY(!right->localPane()->isVisible());
    child<QToolButton>("ToolButton26")->click();
    QVERIFY(right->localPane()->isVisible());
    QCOMPARE(right->localPane()->path(), QDir::tempPath());
    QTRY_COMPARE_WITH_TIMEOUT(right->summary()->text(), QDir::tempPath(), 5000);
    // The local menu acts on the active side's folder.
    action("ParentDirectory1")->trigger();
    QCOMPARE(side.localPath(), QFileInfo(QDir::tempPath()).path());
    QTRY_COMPARE_WITH_TIMEOUT(right->summary()->text(), side.localPath(), 5000);
    m_prompts->inputAnswers.enqueue(QDir::tempPath());
    action("ChangeDirectory3")->trigger();
    QCOMPARE(side.localPath(), QDir::tempPath());
    m_prompts->inputAnswers.enqueue(u"/no/such/folder"_s);
    action("ChangeDirectory3")->trigger();
    QCOMPARE(m_app->statusLog().lines().lines().last().text, u"No such folder: /no/such/folder"_s);
    QCOMPARE(m_app->left().localPath(), QDir::tempPath());
    child<QToolButton>("ToolButton26")->click();
    QVERIFY(right->list()->isVisible());
    QCOMPARE(right->summary()->text(), QString());
}
void TestGuiMainWindow::f5RefreshesTheFocusedLocalList() {
    makeWindow();
    // The window's F5 is the remote refresh; its command comes with the
    // listing, as does the remote list's Ctrl+Q.
    QAction* remoteRefresh = action("Refresh3");
    remoteRefresh->setEnabled(true);
    QSignalSpy remote(remoteRefresh, &QAction::triggered);
    QSignalSpy queued(action("Queue1"), &QAction::triggered);
    SidePanel* left = m_window->sidePanel(SideId::Left);
    SidePanel* right = m_window->sidePanel(SideId::Right);
    QSignalSpy leftLocal(left->localPane(), &LocalPane::pathChanged);
    QSignalSpy rightLocal(right->localPane(), &LocalPane::pathChanged);

    right->list()->setFocus();
    // Focus makes the side active, and its menu items follow it: off, as
    // the side is not connected. Switched on here to see where keys go.
    action("Refresh1")->setEnabled(true); // the list menu's own F5 item
    action("Queue1")->setEnabled(true);
    QTest::keyClick(right->list(), Qt::Key_F5);
    QTest::keyClick(right->list(), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(remote.count() == 1 && queued.count() == 1);
    QCOMPARE(rightLocal.count(), 0);

    child<QToolButton>("ToolButton26")->click();
    QTreeView* localList = right->localPane()->list();
    localList->setFocus();
    QTRY_VERIFY(localList->hasFocus());
    QTest::keyClick(localList, Qt::Key_F5);
    QCOMPARE(rightLocal.count(), 1);
    QCOMPARE(right->localPane()->path(), QDir::tempPath()); // the same folder, read again
    QCOMPARE(leftLocal.count(), 0);
    QCOMPARE(remote.count(), 1);
}
void TestGuiMainWindow::trayRestoreKeepsTheWindowState() {
    makeWindow("[_Main_]\r\nLeft=30\r\nTop=40\r\nState=1\r\nSplit 2=10000\r\n");
    QTRY_VERIFY(m_window->isMaximized());
    // A status pane saved collapsed starts with "Show Status" unchecked.
    QVERIFY(!action("Status1")->isChecked() && action("Queue2")->isChecked());
    m_window->topSplit()->setSizes({150, m_window->width() - 150});
    action("Hide1")->trigger();
    // Without a tray the window is minimised instead of hidden.
    QVERIFY(!m_window->isVisible() || m_window->isMinimized());
    auto* tray = child<QSystemTrayIcon>("TrayIcon1");
    QCOMPARE(tray->contextMenu(), m_window->popupMenu("PopupTray"));
    emit tray->activated(QSystemTrayIcon::DoubleClick);
    QTRY_VERIFY(m_window->isVisible() && !m_window->isMinimized());
    QVERIFY(m_window->isMaximized());
    // The saved layout is applied at the first showing only.
    QCOMPARE(m_window->topSplit()->sizes().value(0), 150);
    action("Hide1")->trigger();
    action("Restore1")->trigger();
    QTRY_VERIFY(m_window->isVisible() && m_window->isMaximized());

    // The tray's Exit saves a maximised window with its normal place and size.
    action("Exit2")->trigger();
    QVERIFY(m_app->closing());
    const WindowLayout saved = m_app->settingsStore().ReadWindowLayout();
    QCOMPARE(QRect(saved.left, saved.top, saved.width, saved.height), QRect(30, 40, 507, 455));
    QVERIFY(saved.maximized);
}
void TestGuiMainWindow::windowActions() {
    makeWindow();
    QCOMPARE(m_window->windowTitle(), App::RunningTitle());
    m_window->resize(1000, 600); // room for every tool button
    auto* twoDay = child<QToolButton>("ToolButton22");
    QVERIFY(!twoDay->isVisible());
    action("ALL")->trigger();
    QTRY_VERIFY(twoDay->isVisible());
    QVERIFY(action("N2DayFilterDupes1")->isVisible());
    action("ALL")->trigger();
    QTRY_VERIFY(!twoDay->isVisible());
    QVERIFY(!action("N2DayFilterDupes1")->isVisible());

    // Ctrl+E shows the error-only window and hides it again.
    QTest::keyClick(m_window.get(), Qt::Key_E, Qt::ControlModifier);
    QVERIFY(m_window->statusPane()->isErrorOnly());
    QTest::keyClick(m_window.get(), Qt::Key_E, Qt::ControlModifier);
    QVERIFY(!m_window->statusPane()->isErrorOnly());

    // An error line takes the busy cursor off the lists.
    QTreeView* list = m_window->sidePanel(SideId::Left)->list();
    list->setCursor(Qt::WaitCursor);
    m_app->statusLog().AddStatusLine(u"550 Denied"_s, clBlue);
    QVERIFY(!list->testAttribute(Qt::WA_SetCursor));

    // A deletion shows its queue in the transfer queue's place, and Stop
    // brings the transfer queue back.
    auto* queues = child<QStackedWidget>("QueueStack");
    QCOMPARE(queues->currentWidget()->objectName(), u"LvQueue"_s);
    m_app->deletion().queue().setShown(true);
    QCOMPARE(queues->currentWidget()->objectName(), u"LVdelete"_s);
    QCOMPARE(child<QTreeView>("LVdelete")->model()->headerData(0, Qt::Horizontal).toString(),
             u"Delete Queue"_s);
    m_app->queueRunner().AbortClick();
    QCOMPARE(queues->currentWidget()->objectName(), u"LvQueue"_s);

    // The status lines open in the viewer.
    QVERIFY(m_app->statusLog().showStatusInViewer());
    QVERIFY(m_window->textViewer() && m_window->textViewer()->isVisible());
    QCOMPARE(m_window->textViewer()->text(), m_app->statusLog().lines().plainText());

    // The Site and Help menus reach the desktop.
    for (const char* name : {"NewSession1", "Help2", "Whatsnewtxt1", "About1"})
        action(name)->trigger();
    QCOMPARE(m_services->calls.filter(u"startProgram:"_s).size(), 1);
    QCOMPARE(m_services->calls.filter(u"help.html"_s).size(), 1);
    // whatsnew.txt opens, or its absence is told with a beep.
    QCOMPARE(m_services->calls.filter(QRegularExpression(u"whatsnew.txt|beep"_s)).size(), 1);
    QVERIFY(m_prompts->asked.last().startsWith(u"information:Korvane"_s));
    action("Exit1")->trigger();
    QVERIFY(m_app->closing());
}
void TestGuiMainWindow::preferencesApplyOnOkOnly() {
    makeWindow();
    const QTreeView* list = m_window->sidePanel(SideId::Right)->list();
    for (bool confirmed : {false, true}) {
        action("Preferences1")->trigger();
        PreferencesDialog* dialog = m_window->preferencesDialog();
        QVERIFY(dialog && dialog->isVisible());
        action("Preferences1")->trigger();
        QCOMPARE(m_window->preferencesDialog(), dialog); // one at a time
        dialog->findChild<QCheckBox*>(u"ownerCheck"_s)->setChecked(false);
        confirmed ? dialog->confirm() : dialog->reject();
        QTRY_VERIFY(!m_window->preferencesDialog());
        QCOMPARE(list->isColumnHidden(ListColumns::Owner), confirmed);
        QCOMPARE(QFile::exists(m_app->settingsStore().iniPath()), confirmed);
    }
}

QTEST_MAIN(TestGuiMainWindow)
#include "test_gui_mainwindow.moc"
