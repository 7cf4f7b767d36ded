// Defined and raw commands sent to servers: prompts and their numbered
// answers, one line per selected entry, a cancel, the replies in the side's
// colour; and a command defined in the editor, saved, loaded again by a new
// start and run against a real server.
#include "FakeScripts.h"
#include "FtpServerFixture.h"
#include "RecordingDesktopServices.h"
#include "RemoteFiles.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "commands/CommandEditor.h"
#include "net/FtpSession.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// Three files and a directory, with owners and groups.
const QByteArray Listing = "drwxr-xr-x 2 root wheel 0 Jan 1 2024 sub\r\n"
                           "-rw-r--r-- 1 alice staff 1 Jan 1 2024 a.txt\r\n"
                           "-rw-r--r-- 1 bob users 1 Jan 1 2024 b.txt\r\n"
                           "-rw-r--r-- 1 carol staff 1 Jan 1 2024 c.txt\r\n";

const QByteArray Commands =
    "[_Commands_]\r\n"
    "t1=Chmod\r\nc1=SITE CHMOD 755 %f;NOOP\r\nx1=<none>\r\n"
    "t2=Owners\r\nc2=SITE OWN %f %o %g\r\nx2=<none>\r\n"
    "t3=Exec\r\nc3=SITE EXEC %d[Program name] %1\r\nx3=Site\r\ny3=Run\r\n"
    "t4=Two\r\nc4=SITE TWO %d %d\r\nx4=<none>\r\n"
    "t5=Across\r\nc5=SITE A %d;;SITE B %1;\r\nx5=<none>\r\n"
    "t6=Three\r\nc6=NOOP;SITE %d;HELP\r\nx6=<none>\r\n"
    "t7=Ten\r\nc7=SITE TEN %d %d %d %d %d %d %d %d %d %d;SITE TEN %10 %2\r\n"
    "x7=<none>\r\n"
    "t8=Many\r\nc8=NOOP;SITE MANY %d %d %d %d %d %d %d %d %d %d %d %d %d %d "
    "%d %d %d %d %d %d %d\r\nx8=<none>\r\n";

} // namespace

class TestCommandsRun : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void eachSelectedEntryGetsItsLine_data();
    void eachSelectedEntryGetsItsLine();
    void promptsAnswersAndTheirEnds();
    void rawCommandAndMenuState();
    void aWaitingSessionTakesNoCommand();
    void unreadableFileIsReportedInRed();
    void definedInTheEditorSurvivesARestartAndRuns();

private:
    void startApp();
    // The side logged in to the fake server, listing Listing.
    void connectToFake(FakeFtpServer& fake, SideId id);
    void select(SideId id, const QStringList& names);
    void run(const QString& caption, const QString& parent = {}, const QString& grand = {}) {
        m_app->customCommands().RunCommand(caption, parent, grand);
    }
    // Commands the fake received after the login and listing.
    QList<QByteArray> sentSinceLogin(const FakeFtpServer& fake) const {
        return fake.received().mid(m_loginCommands);
    }
    QList<StatusLine> linesFrom(int from) const;

    std::unique_ptr<TempDataDir> m_dir;
    RecordingDesktopServices m_services;
    ScriptedUserPrompts m_prompts;
    std::unique_ptr<App> m_app;
    qsizetype m_loginCommands = 0;
};

void TestCommandsRun::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_prompts = ScriptedUserPrompts();
}

void TestCommandsRun::cleanup() {
    m_app.reset();
}

void TestCommandsRun::startApp() {
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, "[_Main_]\r\nConnectTimeout=5\r\n"));
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), m_services, m_prompts);
    m_app->create();
}

void TestCommandsRun::connectToFake(FakeFtpServer& fake, SideId id) {
    QVERIFY(fake.listen());
    ScriptLogin(fake);
    ScriptPassiveList(fake, "/", Listing);
    m_app->connections().ConnectToSite(
        {u"fake"_s, u"127.0.0.1"_s, QString::number(fake.port()), u"u"_s, u"p"_s, u"20"_s, {}}, id);
    QVERIFY(m_app->side(id).state().LoggedIn);
    QTRY_VERIFY_WITH_TIMEOUT(fake.scriptDone(), 5000);
    QCOMPARE(m_app->side(id).listing().count(), 5);
    m_loginCommands = fake.received().size();
    m_app->setActiveSide(id);
}

void TestCommandsRun::select(SideId id, const QStringList& names) {
    Side& side = m_app->side(id);
    side.listSelection().clearSelection();
    const std::vector<DirEntry>& entries = side.listing().entries();
    for (size_t row = 0; row < entries.size(); ++row)
        if (names.contains(entries[row].name))
            side.listSelection().select(side.listing().index(int(row), 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(side.selectedRows().size(), names.size());
}

QList<StatusLine> TestCommandsRun::linesFrom(int from) const {
    QList<StatusLine> lines;
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = from; i < store.count(); ++i)
        lines << store.line(i);
    return lines;
}

void TestCommandsRun::eachSelectedEntryGetsItsLine_data() {
    QTest::addColumn<SideId>("side");
    QTest::addColumn<Colour>("colour");
    QTest::newRow("left") << SideId::Left << clBlue;
    QTest::newRow("right") << SideId::Right << clGreen;
}

void TestCommandsRun::eachSelectedEntryGetsItsLine() {
    QFETCH(SideId, side);
    QFETCH(Colour, colour);
    QVERIFY(m_dir->writeFile(u"command.dat"_s, Commands));
    startApp();
    FakeFtpServer fake;
    connectToFake(fake, side);
    fake.expect("SITE CHMOD 755 a.txt", "200 a");
    // A command answered twice: the second reply shows before the next line.
    fake.expect("SITE CHMOD 755 b.txt", "200 b\r\n200 b again");
    fake.expect("SITE CHMOD 755 c.txt", "200 c").expect("NOOP", "200 noop");
    fake.expect("SITE OWN a.txt alice staff", "500 refused");
    fake.expect("SITE OWN c.txt carol staff", "200 own");
    select(side, {u"a.txt"_s, u"b.txt"_s, u"c.txt"_s, u".."_s});
    // The other side is the active one: nothing goes anywhere.
    m_app->setActiveSide(OtherSide(side));
    QVERIFY(!m_app->customCommands().CommandsEnabled());
    m_app->setActiveSide(side);
    QVERIFY(m_app->customCommands().CommandsEnabled());
    const int from = m_app->statusLog().lines().count();
    run(u"Chmod"_s);
    select(side, {u"a.txt"_s, u"c.txt"_s});
    // A refusal does not stop the run.
    run(u"Owners"_s);
    QVERIFY2(fake.mismatches().isEmpty(), fake.mismatches().join('\n'));
    QCOMPARE(
        sentSinceLogin(fake),
        (QList<QByteArray>{"SITE CHMOD 755 a.txt", "SITE CHMOD 755 b.txt", "SITE CHMOD 755 c.txt",
                           "NOOP", "SITE OWN a.txt alice staff", "SITE OWN c.txt carol staff"}));

    QStringList shown;
    for (const StatusLine& line : linesFrom(from)) {
        shown << line.text;
        if (line.text.startsWith(u"5"_s))
            QCOMPARE(line.colour, clRed);
        else
            QCOMPARE(line.colour, colour);
    }
    const qsizetype again = shown.indexOf(u"200 b again"_s);
    QVERIFY2(again > 0, qPrintable(shown.join(u'\n')));
    QCOMPARE(shown.at(again + 1), u"SITE CHMOD 755 c.txt"_s);
    QVERIFY(shown.contains(u"500 refused"_s));
}

void TestCommandsRun::promptsAnswersAndTheirEnds() {
    QVERIFY(m_dir->writeFile(u"command.dat"_s, Commands));
    startApp();
    FakeFtpServer fake;
    connectToFake(fake, SideId::Left);
    fake.expect("SITE EXEC prog prog", "200 ok");
    fake.expect("SITE TWO x y", "200 ok");
    fake.expect("SITE A v", "200 ok").expect("SITE B v", "200 ok");
    fake.expect("SITE TEN one two three four five six seven eight nine ten", "200 ok");
    fake.expect("SITE TEN one0 two", "200 ok");

    // The bracket is the prompt, asked once; "%1" takes the answer again.
    m_prompts.inputAnswers << u"prog"_s;
    run(u"Exec"_s, u"Run"_s, u"SITE"_s);
    QCOMPARE(m_prompts.asked, QStringList{u"input:Command|Program name"_s});
    QCOMPARE(m_prompts.inputDefaults, QStringList{QString()});

    m_prompts.asked.clear();
    m_prompts.inputAnswers << u"x"_s << u"y"_s;
    run(u"Two"_s);
    QCOMPARE(m_prompts.asked, QStringList(2, u"input:Command|Enter Parameters"_s));

    // Answers count across the parts; the empty part sends nothing.
    m_prompts.inputAnswers << u"v"_s;
    run(u"Across"_s);

    // "%10" is answer 1 followed by 0.
    for (const char* word :
         {"one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten"})
        m_prompts.inputAnswers << QString::fromLatin1(word);
    run(u"Ten"_s);
    QVERIFY2(fake.mismatches().isEmpty(), fake.mismatches().join('\n'));
    QCOMPARE(sentSinceLogin(fake).size(), 6);
    QVERIFY(m_prompts.inputAnswers.isEmpty());

    // An entry that names no command runs nothing.
    m_prompts.asked.clear();
    run(u"Exec"_s);
    run(u"Missing"_s);
    QVERIFY(m_prompts.asked.isEmpty());

    // A cancel or an empty answer ends the command; each run is over when
    // it returns: what it sent has been answered.
    fake.expect("NOOP", "200 ok").expect("NOOP", "200 ok");
    run(u"Three"_s); // cancelled
    m_prompts.inputAnswers << QString();
    run(u"Three"_s); // empty
    QCOMPARE(m_prompts.asked.size(), 2);
    QCOMPARE(sentSinceLogin(fake).mid(6), (QList<QByteArray>{"NOOP", "NOOP"}));

    // More than twenty questions stop the command before it asks the 21st.
    fake.expect("NOOP", "200 ok");
    for (int i = 1; i <= 21; ++i)
        m_prompts.inputAnswers << u"a"_s;
    const int from = m_app->statusLog().lines().count();
    run(u"Many"_s);
    QCOMPARE(m_prompts.asked.size(), 22);
    QCOMPARE(sentSinceLogin(fake).mid(8), QList<QByteArray>{"NOOP"});
    const StatusLine last = linesFrom(from).last();
    QCOMPARE(last.text, u"Command Many stopped: it asks more than 20 questions"_s);
    QCOMPARE(last.colour, clRed);

    // Without a selection (".." is none) entry tokens go as typed.
    m_prompts.inputAnswers.clear();
    fake.expect("SITE CHMOD 755 %f", "501 no such file").expect("NOOP", "200 ok");
    fake.expect("SITE CHMOD 755 %f", "501 no such file").expect("NOOP", "200 ok");
    run(u"Chmod"_s);
    select(SideId::Left, {u".."_s});
    run(u"Chmod"_s);
    QVERIFY2(fake.mismatches().isEmpty(), fake.mismatches().join('\n'));
    QCOMPARE(sentSinceLogin(fake).size(), 13);
}

void TestCommandsRun::rawCommandAndMenuState() {
    startApp();
    QVERIFY(!m_app->customCommands().CommandsEnabled());
    FakeFtpServer fake;
    connectToFake(fake, SideId::Right);
    fake.expect("STAT", "211-status\r\n more\r\n211 end\r\n200 extra");
    m_prompts.inputAnswers << QString() << u"STAT"_s;
    const int from = m_app->statusLog().lines().count();
    m_app->customCommands().RawCommand();
    m_app->customCommands().RawCommand();
    QCOMPARE(m_prompts.asked, QStringList(2, u"input:Send Raw|Raw Command"_s));
    QCOMPARE(sentSinceLogin(fake), QList<QByteArray>{"STAT"});
    QStringList shown;
    for (const StatusLine& line : linesFrom(from)) {
        QCOMPARE(line.colour, clGreen);
        shown << line.text;
    }
    QCOMPARE(shown.last(), u"200 extra"_s);
    QVERIFY(shown.contains(u"211 end"_s));
}

void TestCommandsRun::aWaitingSessionTakesNoCommand() {
    startApp();
    FakeFtpServer fake;
    connectToFake(fake, SideId::Left);
    // While NOOP waits for its reply, the user sends a raw command.
    fake.expect("NOOP", [this](FakeFtpServer& s, const QByteArray&) {
        m_prompts.inputAnswers << u"STAT"_s;
        m_app->customCommands().RawCommand();
        s.send("200 ok");
    });
    m_prompts.inputAnswers << u"NOOP"_s;
    const int from = m_app->statusLog().lines().count();
    m_app->customCommands().RawCommand();
    QCOMPARE(sentSinceLogin(fake), QList<QByteArray>{"NOOP"});
    bool refused = false;
    for (const StatusLine& line : linesFrom(from))
        refused = refused || (line.text.startsWith(u"Command not sent"_s) && line.colour == clRed);
    QVERIFY(refused);
    QCOMPARE(m_app->left().session().LastReplyText(), u"200 ok"_s);
}

void TestCommandsRun::unreadableFileIsReportedInRed() {
    // A folder in the file's place can be neither read nor replaced.
    QVERIFY(QDir(m_dir->path()).mkdir(u"command.dat"_s));
    startApp();
    auto redLines = [this] {
        int count = 0;
        for (const StatusLine& line : linesFrom(0))
            count += line.colour == clRed && line.text.contains(u"command.dat"_s) ? 1 : 0;
        return count;
    };
    QCOMPARE(redLines(), 1);
    QSignalSpy rebuild(&m_app->customCommands(), &CustomCommands::menuRebuildRequested);
    QVERIFY(!m_app->customCommands().SaveCommands());
    QCOMPARE(redLines(), 2);
    // The menu still shows what the file holds: nothing.
    QCOMPARE(rebuild.count(), 1);
    QVERIFY(m_app->customCommands().BuildCommandsMenu().isEmpty());
}

void TestCommandsRun::definedInTheEditorSurvivesARestartAndRuns() {
    FtpServerFixture server;
    QVERIFY2(server.start(), qPrintable(server.errorString()));
    startApp();
    {
        CommandEditor editor(m_app->customCommands().table(), m_prompts, m_services);
        editor.EditCaption(u"Mode"_s);
        editor.EditCommand(u"SITE CHMOD %d[Mode] %f\nNOOP\n"_s);
        QVERIFY(editor.Apply());
    }
    QSignalSpy rebuild(&m_app->customCommands(), &CustomCommands::menuRebuildRequested);
    QVERIFY(m_app->customCommands().SaveCommands());
    QCOMPARE(rebuild.count(), 1);
    const QList<CommandMenuEntry> menu = m_app->customCommands().BuildCommandsMenu();
    QCOMPARE(menu.size(), 1);
    QCOMPARE(menu.at(0).caption, u"Mode"_s);

    // A new start reads it back.
    m_app.reset();
    startApp();
    QCOMPARE(m_app->customCommands().table().size(), 1);
    m_app->connections().ConnectToSite({u"real"_s, server.host(), QString::number(server.port()),
                                        server.user(), server.password(), u"20"_s,
                                        server.baseDir()},
                                       SideId::Left);
    Side& left = m_app->left();
    QVERIFY(left.state().LoggedIn);
    const QString dir =
        left.currentPath() + u"korvane-cmd-%1/"_s.arg(QCoreApplication::applicationPid());
    left.session().MakeDir(dir);
    left.session().ChangeDir(dir);
    QVERIFY(PutRemoteFile(left.session(), dir + u"run.sh"_s, "#!/bin/sh\n"));
    m_app->listing().RefreshDirectory(SideId::Left, false);
    select(SideId::Left, {u"run.sh"_s});

    m_prompts.inputAnswers << u"700"_s;
    const CommandMenuEntry entry = m_app->customCommands().BuildCommandsMenu().value(0);
    run(entry.caption, entry.parentCaption, entry.grandParentCaption);
    QCOMPARE(m_prompts.asked, QStringList{u"input:Command|Mode"_s});
    m_app->listing().RefreshDirectory(SideId::Left, false);
    const auto& entries = left.listing().entries();
    const auto file = std::find_if(entries.begin(), entries.end(),
                                   [](const DirEntry& e) { return e.name == u"run.sh"; });
    QVERIFY(file != entries.end());
    QCOMPARE(file->attributes, u"-rwx------"_s);
}

QTEST_GUILESS_MAIN(TestCommandsRun)
#include "test_commands_run.moc"
