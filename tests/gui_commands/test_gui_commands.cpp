// The Commands menu, "Define Commands", "Move" and "Import Custom Commands"
// driven through their widgets offscreen. The rules have their own core
// tests; here: what the windows show and where their controls lead.
#include "FakeFtpServer.h"
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "commands/CommandEditor.h"
#include "commands/CommandEditorDialog.h"
#include "commands/CommandImportDialog.h"
#include "commands/CommandsMenu.h"
#include "commands/MoveCommandDialog.h"
#include "net/FtpSession.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

template <class T = QWidget> T* child(const QObject* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

// The menu's items as texts: "-" for a separator, "name[...]" for a sub-menu.
QString Describe(const QMenu* menu) {
    QStringList parts;
    for (const QAction* a : menu->actions()) {
        if (!a->isVisible())
            continue;
        if (a->isSeparator())
            parts << u"-"_s;
        else if (a->menu())
            parts << a->text() + u'[' + Describe(a->menu()) + u']';
        else
            parts << a->text();
    }
    return parts.join(u' ');
}

QAction* Find(const QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->text() == text)
            return a;
        if (a->menu())
            if (QAction* found = Find(a->menu(), text))
                return found;
    }
    return nullptr;
}

} // namespace

class TestGuiCommands : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void menuShowsTheSavedCommandsAndFollowsTheConnection();
    void editorDefinesAndCloseRebuildsTheMenu();
    void moveAndImportDialogs();

private:
    void makeWindow(const QByteArray& commands);
    QMenu* commandsMenu() const { return child<QMenu>(m_window.get(), "Commands1Menu"); }
    CommandEditorDialog* openEditor();

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<RecordingDesktopServices> m_services;
    std::unique_ptr<ScriptedUserPrompts> m_prompts;
    std::unique_ptr<App> m_app;
    std::unique_ptr<MainWindow> m_window;
};

void TestGuiCommands::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_services = std::make_unique<RecordingDesktopServices>();
    m_prompts = std::make_unique<ScriptedUserPrompts>();
}

void TestGuiCommands::cleanup() {
    m_window.reset();
    m_app.reset();
}

void TestGuiCommands::makeWindow(const QByteArray& commands) {
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, "[_Main_]\r\nItem Count=2\r\nConnectTimeout=5\r\n"));
    if (!commands.isEmpty())
        QVERIFY(m_dir->writeFile(u"command.dat"_s, commands));
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    m_window = std::make_unique<MainWindow>(*m_app);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

CommandEditorDialog* TestGuiCommands::openEditor() {
    m_window->action("Define1")->trigger();
    auto* editor = m_window->findChild<CommandsMenu*>()->editor();
    return editor && QTest::qWaitForWindowExposed(editor) ? editor : nullptr;
}

void TestGuiCommands::menuShowsTheSavedCommandsAndFollowsTheConnection() {
    makeWindow("[_Commands_]\r\n"
               "t1=One\r\nc1=NOOP\r\nx1=<none>\r\ns1=o\r\n"
               "t2=Two\r\nc2=NOOP\r\nx2=<none>\r\n"
               "t3=Who\r\nc3=SITE WHO %d[Whom]\r\nx3=Site\r\ny3=Info\r\n"
               "t4=Three\r\nc4=NOOP\r\nx4=<none>\r\n");
    QMenu* menu = commandsMenu();
    QCOMPARE(Describe(menu), u"&Define - &Raw Command - One Two - Site[Info[Who]] Three"_s);
    QCOMPARE(Find(menu, u"One"_s)->shortcut(), QKeySequence(u"Ctrl+Shift+O"_s));
    QCOMPARE(m_window->action("Define1")->shortcut(), QKeySequence(u"F7"_s));
    QCOMPARE(m_window->action("RawCommand1")->shortcut(), QKeySequence(u"Ctrl+R"_s));

    // Not connected: everything from "&Raw Command" on is off.
    Q_EMIT menu->aboutToShow();
    QVERIFY(m_window->action("Define1")->isEnabled());
    QVERIFY(!m_window->action("RawCommand1")->isEnabled());
    QVERIFY(!Find(menu, u"Who"_s)->isEnabled());

    FakeFtpServer fake;
    QVERIFY(fake.listen());
    fake.expect("USER", "230 in").expect("SYST", "215 UNIX").expect("PWD", "257 \"/\"");
    fake.expect("TYPE A", "200 ok").expect("PASV", FakeFtpServer::ReplyPassive);
    fake.expect("LIST", [](FakeFtpServer& s, const QByteArray&) {
        s.send("150 here");
        s.sendData("-rw-r--r-- 1 u g 1 Jan 1 2024 a.txt\r\n");
        s.send("226 done");
    });
    m_app->connections().ConnectToSite(
        {u"fake"_s, u"127.0.0.1"_s, QString::number(fake.port()), u"u"_s, u"p"_s, u"20"_s, {}},
        SideId::Left);
    QVERIFY(m_app->left().state().LoggedIn);
    QVERIFY(m_window->action("RawCommand1")->isEnabled());
    QVERIFY(Find(menu, u"Who"_s)->isEnabled());

    // The entry in the sub-menu runs its own command.
    fake.expect("SITE WHO me", "200 you");
    m_prompts->inputAnswers << u"me"_s;
    Find(menu, u"Who"_s)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(fake.received().contains("SITE WHO me"), 5000);
    QCOMPARE(m_prompts->asked.last(), u"input:Command|Whom"_s);

    fake.expect("STAT", "211 fine");
    m_prompts->inputAnswers << u"STAT"_s;
    m_window->action("RawCommand1")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(fake.received().contains("STAT"), 5000);
    QVERIFY2(fake.mismatches().isEmpty(), fake.mismatches().join('\n'));

    // The other side is not connected.
    m_app->setActiveSide(SideId::Right);
    QVERIFY(!m_window->action("RawCommand1")->isEnabled());
    QVERIFY(!Find(menu, u"One"_s)->isEnabled());
}

void TestGuiCommands::editorDefinesAndCloseRebuildsTheMenu() {
    makeWindow({});
    CommandEditorDialog* editor = openEditor();
    QVERIFY(editor);
    QCOMPARE(editor->windowTitle(), u"Define Commands"_s);
    QVERIFY(editor->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!editor->isModal());
    // One editor at a time.
    m_window->action("Define1")->trigger();
    QCOMPARE(m_window->findChildren<CommandEditorDialog*>().size(), 1);

    auto* apply = child<QPushButton>(editor, "AddButton");
    QVERIFY(!apply->isEnabled());
    QVERIFY(!child<QLineEdit>(editor, "SubMenuEdit")->isEnabled());
    QTest::keyClicks(child<QLineEdit>(editor, "CaptionEdit"), u"Hello"_s);
    QCOMPARE(apply->text(), u"&Add"_s);
    child<QPlainTextEdit>(editor, "CommandEdit")->setPlainText(u"SITE HELLO\nNOOP"_s);
    QTest::keyClicks(child<QLineEdit>(editor, "ShortcutEdit"), u"h"_s);
    QCOMPARE(child<QLineEdit>(editor, "ShortcutEdit")->text(), u"H"_s);
    QVERIFY(apply->isEnabled());
    apply->click();
    auto* list = child<QListWidget>(editor, "CommandList");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), u"Hello"_s);
    QCOMPARE(apply->text(), u"&Update"_s);

    // A new group shows with its sub-menu field.
    m_prompts->inputAnswers << u"Tools"_s;
    child<QPushButton>(editor, "AddGroupButton")->click();
    auto* groups = child<QComboBox>(editor, "GroupBox");
    QCOMPARE(groups->currentText(), u"Tools"_s);
    QVERIFY(child<QLineEdit>(editor, "SubMenuEdit")->isEnabled());
    QCOMPARE(list->count(), 0);
    QTest::keyClicks(child<QLineEdit>(editor, "CaptionEdit"), u"Deep"_s);
    child<QPlainTextEdit>(editor, "CommandEdit")->setPlainText(u"NOOP"_s);
    QTest::keyClicks(child<QLineEdit>(editor, "SubMenuEdit"), u"More"_s);
    apply->click();

    // Choosing a command loads it; the help shows the tokens.
    groups->setCurrentIndex(0);
    Q_EMIT groups->activated(0);
    list->setCurrentRow(0);
    QCOMPARE(child<QPlainTextEdit>(editor, "CommandEdit")->toPlainText(), u"SITE HELLO\nNOOP"_s);
    QVERIFY(!apply->isEnabled());
    child<QPushButton>(editor, "HelpButton")->click();
    QVERIFY(m_prompts->asked.last().startsWith(u"information:   Command Tokens:"_s));

    // Nothing is in the menu or the file before Close.
    QCOMPARE(Describe(commandsMenu()), u"&Define - &Raw Command -"_s);
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(!m_window->findChild<CommandsMenu*>()->editor());
    QCOMPARE(Describe(commandsMenu()), u"&Define - &Raw Command - Hello Tools[More[Deep]]"_s);
    QCOMPARE(Find(commandsMenu(), u"Hello"_s)->shortcut(), QKeySequence(u"Ctrl+Shift+H"_s));
    const IniFile file(m_dir->filePath(u"command.dat"_s));
    QCOMPARE(file.readString("_Commands_", "c1"), u"SITE HELLO;NOOP"_s);
    QCOMPARE(file.readString("_Commands_", "y2"), u"More"_s);
}

void TestGuiCommands::moveAndImportDialogs() {
    makeWindow("[_Commands_]\r\nt1=Old\r\nc1=NOOP\r\nx1=<none>\r\n"
               "t2=Other\r\nc2=NOOP\r\nx2=Site\r\n");
    QVERIFY(m_dir->writeFile(u"more.dat"_s, "[_Commands_]\r\n"
                                            "t1=b\r\nc1=NOOP\r\nx1=Net\r\n"
                                            "t2=a\r\nx2=Net\r\ny2=Sub\r\n"));
    // "Move" offers the groups, the first chosen.
    MoveCommandDialog move({u"<none>"_s, u"Site"_s}, nullptr);
    auto* destination = child<QComboBox>(&move, "DestinationGroup");
    QCOMPARE(destination->count(), 2);
    QCOMPARE(move.destination(), u"<none>"_s);
    destination->setCurrentIndex(1);
    QCOMPARE(move.destination(), u"Site"_s);

    CommandEditorDialog* editor = openEditor();
    QVERIFY(editor);
    child<QPushButton>(editor, "ImportButton")->click();
    CommandImportDialog* import = editor->importDialog();
    QVERIFY(import);
    QCOMPARE(import->windowTitle(), u"Import Custom Commands"_s);
    m_prompts->fileAnswers << m_dir->filePath(u"more.dat"_s);
    child<QPushButton>(import, "OpenButton")->click();
    auto* rows = child<QTreeWidget>(import, "ImportList");
    QCOMPARE(rows->topLevelItemCount(), 2);
    QCOMPARE(rows->topLevelItem(1)->text(3), u" "_s);
    Q_EMIT rows->header()->sectionClicked(1);
    QCOMPARE(rows->headerItem()->text(1), u"Name+"_s);
    QCOMPARE(rows->topLevelItem(0)->text(1), u"a"_s);
    rows->selectAll();
    child<QPushButton>(import, "ImportSelectedButton")->click();
    QCOMPARE(m_prompts->asked.last(),
             u"information:Import Complete\n\nAdded: 2\nDuplicates Skiped: 0"_s);
    auto* groups = child<QComboBox>(editor, "GroupBox");
    QCOMPARE(groups->count(), 3);
    QCOMPARE(groups->itemText(2), u"Net"_s);
    QTest::keyClick(import, Qt::Key_Escape);

    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(!m_window->findChild<CommandsMenu*>()->editor());
    QCOMPARE(Describe(commandsMenu()), u"&Define - &Raw Command - Old Site[Other] Net[Sub[a] b]"_s);
}

QTEST_MAIN(TestGuiCommands)
#include "test_gui_commands.moc"
