// The command definitions without a server: command.dat read and written,
// the Commands menu's layout, the editor's and the import's rules, and the
// filling of tokens.
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/IniFile.h"
#include "commands/CommandEditor.h"
#include "commands/CommandImport.h"
#include "commands/CommandMenuLayout.h"
#include "commands/CommandTable.h"
#include "commands/CommandText.h"
#include "commands/TokenLine.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

CommandRecord Ungrouped(const QString& caption, const QString& command = u"NOOP"_s) {
    return {caption, command, CommandRecord::NoGroup, {}, {}};
}

CommandRecord Grouped(const QString& caption, const QString& group, const QString& sub = {},
                      const QString& shortcut = {}) {
    return {caption, u"NOOP"_s, group, sub, shortcut};
}

// Captions of the entries, a column break as "|", a group as "name[...]".
QString Describe(const QList<CommandMenuEntry>& entries) {
    QStringList parts;
    for (const CommandMenuEntry& e : entries) {
        if (e.kind == CommandMenuEntry::Kind::ColumnBreak)
            parts << u"|"_s;
        else if (e.children.isEmpty())
            parts << e.caption;
        else
            parts << e.caption + u'[' + Describe(e.children) + u']';
    }
    return parts.join(u' ');
}

} // namespace

class TestCommandsTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void loadStopsAtTheFirstMissingCaption();
    void unreadableFileIsReportedNotLoaded();
    void saveSortsNumbersAndClearsLeftOvers();
    void saveIsAllOrNothing();
    void sectionReadAndReplacedInOnePass();
    void findCommandByItsMenuPlace();
    void menuWrapsEveryItemCountUngroupedCommands();
    void menuGroupsAndSubMenus();
    void updateCleansAddKeepsAsTyped();
    void tokenLines();
    void editorButtonFollowsCaptionAndGroup();
    void editorDeleteAndGroups();
    void editorMoveAndHelp();
    void importTwiceSkipsEveryDuplicate();
    void importSortsAndShowsBlanks();

private:
    QString path() const { return m_dir->filePath(u"command.dat"_s); }
    IniFile file() const { return IniFile(path()); }
    QByteArray value(const char* key) const { return file().readValue(CommandTable::Section, key); }

    std::unique_ptr<TempDataDir> m_dir;
    ScriptedUserPrompts m_prompts;
    RecordingDesktopServices m_services;
};

void TestCommandsTable::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_prompts = ScriptedUserPrompts();
    m_services = RecordingDesktopServices();
}

void TestCommandsTable::loadStopsAtTheFirstMissingCaption() {
    QVERIFY(m_dir->writeFile(u"command.dat"_s,
                             "[_Commands_]\r\n"
                             "t1=Chmod\r\nc1=SITE CHMOD 755 %f;NOOP\r\nx1=<none>\r\n"
                             "t2=Who\r\nc2=SITE WHO\r\nx2=Site\r\ny2=Info\r\ns2=w\r\n"
                             "t4=Never\r\nc4=NOOP\r\nx4=<none>\r\n"));
    CommandTable table;
    QVERIFY(table.LoadCommands(path()).isEmpty());
    QCOMPARE(table.size(), 2);
    const CommandRecord& who = table.records().at(1);
    QCOMPARE(who.caption, u"Who"_s);
    QCOMPARE(who.group, u"Site"_s);
    QCOMPARE(who.subMenu, u"Info"_s);
    QCOMPARE(who.shortcut, u"w"_s);
    QCOMPARE(table.records().at(0).command, u"SITE CHMOD 755 %f;NOOP"_s);

    // A hand-edited record without a group is an ungrouped one.
    QVERIFY(m_dir->writeFile(u"command.dat"_s, "[_Commands_]\nt1=Bare\nc1=NOOP\n"));
    QVERIFY(table.LoadCommands(path()).isEmpty());
    QCOMPARE(table.records().at(0).group, CommandRecord::NoGroup);
    QCOMPARE(table.groupList(), QStringList{CommandRecord::NoGroup});

    // No file: no commands, no complaint.
    QVERIFY(QFile::remove(path()));
    QVERIFY(table.LoadCommands(path()).isEmpty());
    QCOMPARE(table.size(), 0);
}

void TestCommandsTable::unreadableFileIsReportedNotLoaded() {
    QVERIFY(QDir(m_dir->path()).mkdir(u"command.dat"_s));
    CommandTable table;
    table.records() << Ungrouped(u"Kept"_s);
    QVERIFY(table.LoadCommands(path()).contains(u"Unable to read"_s));
    QCOMPARE(table.size(), 0);
    table.records() << Ungrouped(u"New"_s);
    QVERIFY(table.SaveCommands(path()).contains(u"not saved"_s));
}

void TestCommandsTable::saveSortsNumbersAndClearsLeftOvers() {
    // An earlier save with seven records, a stray record after a gap and
    // another section, all to be kept or replaced as they should.
    QByteArray old = "[Other]\r\nkeep=1\r\n[_Commands_]\r\n";
    for (int n = 1; n <= 7; ++n)
        old += "t" + QByteArray::number(n) + "=old" + QByteArray::number(n) + "\r\nc" +
               QByteArray::number(n) + "=X\r\nx" + QByteArray::number(n) + "=G\r\ny" +
               QByteArray::number(n) + "=S\r\n";
    old += "t9=stray\r\n";
    QVERIFY(m_dir->writeFile(u"command.dat"_s, old));

    CommandTable table;
    table.records() << Grouped(u"zeta"_s, u"Tools"_s, u"Sub"_s, u"Z"_s) << Ungrouped(u"beta"_s)
                    << CommandRecord{CommandRecord::DeletedCaption, u"NOOP"_s, u"Tools"_s, {}, {}}
                    << Ungrouped(u"Alpha"_s, u"FIRST"_s) << Grouped(u"alpha"_s, u"Tools"_s)
                    << Ungrouped(u"Alpha"_s, u"SECOND"_s);
    QVERIFY(table.SaveCommands(path()).isEmpty());

    // Ungrouped first, then grouped; each by caption bytes ("A" < "a"),
    // equal captions in their old order; the deleted slot is left out.
    const QStringList expected{u"Alpha"_s, u"Alpha"_s, u"beta"_s, u"alpha"_s, u"zeta"_s};
    for (int n = 1; n <= 5; ++n)
        QCOMPARE(value(("t" + QByteArray::number(n)).constData()), expected.at(n - 1).toUtf8());
    QCOMPARE(value("c1"), "FIRST");
    QCOMPARE(value("c2"), "SECOND");
    QCOMPARE(value("x5"), "Tools");
    QCOMPARE(value("s5"), "Z");
    // Empty fields have no key, even where the old record had one.
    QVERIFY(!file().keyExists(CommandTable::Section, "y1"));
    QVERIFY(!file().keyExists(CommandTable::Section, "s1"));
    QCOMPARE(value("y5"), "Sub");
    // What follows the last record up to the first gap goes; the rest stays.
    for (const char* key : {"t6", "c6", "x6", "y6", "t7", "y7"})
        QVERIFY2(!file().keyExists(CommandTable::Section, key), key);
    QCOMPARE(value("t9"), "stray");
    QCOMPARE(file().readValue("Other", "keep"), "1");
    // The deleted slot stays in memory, sorted with the rest.
    QCOMPARE(table.size(), 6);

    // Fewer records later: the leftovers of this save go too.
    table.records().remove(0, 2);
    QVERIFY(table.SaveCommands(path()).isEmpty());
    QCOMPARE(value("t1"), "beta");
    QCOMPARE(value("t2"), "alpha");
    QCOMPARE(value("t3"), "zeta");
    for (const char* key : {"t4", "c4", "x4", "t5", "c5", "x5", "y5", "s5"})
        QVERIFY2(!file().keyExists(CommandTable::Section, key), key);

    CommandTable reloaded;
    QVERIFY(reloaded.LoadCommands(path()).isEmpty());
    QCOMPARE(reloaded.size(), 3);
}

void TestCommandsTable::saveIsAllOrNothing() {
    QVERIFY(
        m_dir->writeFile(u"command.dat"_s, "[_Commands_]\r\nt1=Old\r\nc1=NOOP\r\nx1=<none>\r\n"));
    const QByteArray before = m_dir->readFile(u"command.dat"_s);
    CommandTable table;
    // A value that cannot be one line of the file refuses the whole save.
    table.records() << Ungrouped(u"Fine"_s) << Ungrouped(u"Broken"_s, u"NOOP\nQUIT"_s);
    QVERIFY(!table.SaveCommands(path()).isEmpty());
    QCOMPARE(m_dir->readFile(u"command.dat"_s), before);
}

void TestCommandsTable::sectionReadAndReplacedInOnePass() {
    const QString ini = m_dir->filePath(u"x.ini"_s);
    QVERIFY(m_dir->writeFile(u"x.ini"_s, "[S]\r\n; note\r\nA=1\r\nb=2\r\na=3\r\n\r\n[T]\r\nc=3\r\n"
                                         "[V]\r\n\r\n[W]\r\n"));
    IniFile file(ini);
    // A key repeated in any letter case counts once, with its first value.
    const QList<std::pair<QByteArray, QByteArray>> read = file.readSectionEntries("s");
    QCOMPARE(read.size(), 2);
    QCOMPARE(read.at(0), (std::pair<QByteArray, QByteArray>("A", "1")));
    QCOMPARE(read.at(1), (std::pair<QByteArray, QByteArray>("b", "2")));

    // The keys take the old ones' place; comments and blank lines stay.
    QVERIFY(file.replaceSectionEntries("S", {{"b", "9"}, {"d", "4"}}));
    // A section without keys gets them after its header; a missing one is added.
    QVERIFY(file.replaceSectionEntries("V", {{"k", "v"}}));
    QVERIFY(file.replaceSectionEntries("U", {{"e", "5"}}));
    const QByteArray expected = "[S]\r\n; note\r\nb=9\r\nd=4\r\n\r\n[T]\r\nc=3\r\n"
                                "[V]\r\nk=v\r\n\r\n[W]\r\n[U]\r\ne=5\r\n";
    QCOMPARE(m_dir->readFile(u"x.ini"_s), expected);
    // One value that cannot be stored refuses them all.
    QVERIFY(!file.replaceSectionEntries("S", {{"b", "1"}, {"d", "a\nb"}}));
    QVERIFY(!file.replaceSectionEntries("S", {{"=", "1"}}));
    QCOMPARE(m_dir->readFile(u"x.ini"_s), expected);

    // The first section of a file is found like any other.
    QVERIFY(m_dir->writeFile(u"y.ini"_s, "[S]\r\na=1\r\n"));
    IniFile first(m_dir->filePath(u"y.ini"_s));
    QVERIFY(first.replaceSectionEntries("S", {{"a", "2"}}));
    QCOMPARE(m_dir->readFile(u"y.ini"_s), QByteArray("[S]\r\na=2\r\n"));

    // A file that could not be read is never replaced.
    IniFile unreadable(m_dir->path());
    QVERIFY(!unreadable.replaceSectionEntries("S", {{"a", "1"}}));
}

void TestCommandsTable::findCommandByItsMenuPlace() {
    CommandTable table;
    table.records() << CommandRecord{CommandRecord::DeletedCaption, {}, u"Site"_s, {}, {}}
                    << Grouped(u"Who"_s, u"Site"_s) << Ungrouped(u"Who"_s)
                    << Grouped(u"Deep"_s, u"site"_s, u"More"_s);
    // The same caption in the menu itself and in a group are two commands.
    QCOMPARE(table.FindCommand(u"Who"_s, {}, {}), &table.records()[2]);
    QCOMPARE(table.FindCommand(u"Who"_s, u"Site"_s, {}), &table.records()[1]);
    // The group entry carries the first caption seen; others match it in any case.
    QCOMPARE(table.FindCommand(u"Deep"_s, u"More"_s, u"Site"_s), &table.records()[3]);
    QCOMPARE(table.FindCommand(u"Deep"_s, {}, {}), nullptr);
    QCOMPARE(table.FindCommand(u"who"_s, {}, {}), nullptr);
    QCOMPARE(table.FindCommand(CommandRecord::DeletedCaption, u"Site"_s, {}), nullptr);
}

void TestCommandsTable::menuWrapsEveryItemCountUngroupedCommands() {
    QList<CommandRecord> records;
    for (int i = 1; i <= 8; ++i)
        records << Ungrouped(u"c%1"_s.arg(i));
    QCOMPARE(Describe(LayOutCommandsMenu(records, 3)), u"c1 c2 c3 | c4 c5 c6 | c7 c8"_s);

    // Grouped commands do not count, and one count never breaks twice.
    records.insert(3, Grouped(u"g1"_s, u"G"_s));
    records.insert(4, Grouped(u"g2"_s, u"H"_s));
    QCOMPARE(Describe(LayOutCommandsMenu(records, 3)),
             u"c1 c2 c3 | G[g1] H[g2] c4 c5 c6 | c7 c8"_s);

    // At most four breaks; none without a count, none at the end; records
    // without a caption are left out.
    records.clear();
    for (int i = 1; i <= 7; ++i)
        records << Ungrouped(u"c%1"_s.arg(i)) << CommandRecord{};
    QCOMPARE(Describe(LayOutCommandsMenu(records, 1)), u"c1 | c2 | c3 | c4 | c5 c6 c7"_s);
    QCOMPARE(Describe(LayOutCommandsMenu(records.mid(0, 6), 3)), u"c1 c2 c3"_s);
    QCOMPARE(Describe(LayOutCommandsMenu(records, 0)), u"c1 c2 c3 c4 c5 c6 c7"_s);
    // A break before a command that joins an earlier group would end the menu.
    const QList<CommandRecord> joining{Grouped(u"a"_s, u"G"_s), Ungrouped(u"c1"_s),
                                       Ungrouped(u"c2"_s), Grouped(u"b"_s, u"g"_s)};
    QCOMPARE(Describe(LayOutCommandsMenu(joining, 2)), u"G[a b] c1 c2"_s);
}

void TestCommandsTable::menuGroupsAndSubMenus() {
    const QList<CommandRecord> records{
        Ungrouped(u"Tools"_s), Grouped(u"a"_s, u"Tools"_s, {}, u"k"_s),
        Grouped(u"b"_s, u"TOOLS"_s, u"More"_s), Grouped(u"c"_s, u"tools"_s, u"more"_s),
        Grouped(u"More"_s, u"Tools"_s)};
    const QList<CommandMenuEntry> menu = LayOutCommandsMenu(records, 17);
    // The command captioned like the group stays a command beside it.
    QCOMPARE(Describe(menu), u"Tools Tools[a More[b c] More]"_s);
    const CommandMenuEntry& group = menu.at(1);
    QCOMPARE(group.kind, CommandMenuEntry::Kind::Group);
    QCOMPARE(group.children.at(0).shortcut, u"K"_s);
    QCOMPARE(group.children.at(0).parentCaption, u"Tools"_s);
    const CommandMenuEntry& c = group.children.at(1).children.at(1);
    QCOMPARE(c.parentCaption, u"More"_s);
    QCOMPARE(c.grandParentCaption, u"Tools"_s);
    QVERIFY(menu.at(0).parentCaption.isEmpty());

    // Every entry leads back to its own record.
    CommandTable table;
    table.records() = records;
    QCOMPARE(table.FindCommand(c.caption, c.parentCaption, c.grandParentCaption),
             &table.records()[3]);
    const CommandMenuEntry& more = group.children.at(2);
    QCOMPARE(table.FindCommand(more.caption, more.parentCaption, more.grandParentCaption),
             &table.records()[4]);
}

void TestCommandsTable::updateCleansAddKeepsAsTyped() {
    const QString typed = u"  SITE CHMOD 755 %f  \n\n   \nNOOP;\n"_s;
    QCOMPARE(CommandText::CleanForUpdate(typed), u"SITE CHMOD 755 %f;NOOP"_s);
    QCOMPARE(CommandText::JoinAsTyped(typed), u"  SITE CHMOD 755 %f  ;;   ;NOOP;;"_s);
    QCOMPARE(CommandText::JoinAsTyped(u"A\r\nB;\r\n"_s), u"A;B;;"_s);
    QCOMPARE(CommandText::CleanForUpdate(u"A;\nB;;"_s), u"A;;B;"_s);
    // Back in the editor: one line per part.
    QCOMPARE(CommandText::ForEditor(u"A;B;"_s), u"A\nB"_s);
    QCOMPARE(CommandText::SplitParts(u"A;;B"_s), (QStringList{u"A"_s, {}, u"B"_s}));
    QCOMPARE(CommandText::SplitParts(u"A;B;"_s), (QStringList{u"A"_s, u"B"_s}));
    QCOMPARE(CommandText::ForEditor(u"A;"_s), u"A"_s);

    const QStringList help = CommandText::TokenHelp().split(u'\n');
    QCOMPARE(help.size(), 7);
    QCOMPARE(help.at(0), u"   Command Tokens:"_s);
    QCOMPARE(help.at(1), QString(78, u'-'));
    QCOMPARE(help.at(6), u"   %[number] returns value of the [number] answer"_s);
}

void TestCommandsTable::tokenLines() {
    TokenLine line(u"SITE EXEC %d[Program name] %1 %d %d[open"_s);
    TokenLine::Prompt prompt = line.FirstPrompt();
    QVERIFY(prompt.found);
    QCOMPARE(prompt.text, u"Program name"_s);
    // An answer holding tokens is sent as typed.
    line.AnswerFirstPrompt(u"%d%f"_s);
    QCOMPARE(line.FirstPrompt().text, TokenLine::DefaultPrompt);
    line.AnswerFirstPrompt(u"two"_s);
    // A bracket that never closes is no prompt text.
    QCOMPARE(line.FirstPrompt().text, TokenLine::DefaultPrompt);
    line.AnswerFirstPrompt(u"three"_s);
    QVERIFY(!line.FirstPrompt().found);
    line.FillNumberedAnswers({u"%d%f"_s, u"two"_s, u"three"_s});
    QCOMPARE(line.text(), u"SITE EXEC %d%f %d%f two three[open"_s);
    QVERIFY(!line.hasEntryTokens());

    // "%10" is "%1" and a 0; "%2" never answered is empty; only the first
    // of each number is filled.
    TokenLine numbered(u"%10 %2 %1 %20"_s);
    numbered.FillNumberedAnswers({u"one"_s});
    QCOMPARE(numbered.text(), u"one0  %1 "_s);

    // A name holding "%o" stays the name; the first of each token is filled.
    TokenLine entry(u"SITE X %f %o %g %f"_s);
    QVERIFY(entry.hasEntryTokens());
    // Any one of the three makes a line per entry.
    QVERIFY(TokenLine(u"SITE X %o"_s).hasEntryTokens());
    QVERIFY(TokenLine(u"SITE X %g"_s).hasEntryTokens());
    QVERIFY(!TokenLine(u"SITE X %F"_s).hasEntryTokens());
    entry.FillEntry(u"a%ob"_s, u"own"_s, u"grp"_s);
    QCOMPARE(entry.text(), u"SITE X a%ob own grp %f"_s);
}

void TestCommandsTable::editorButtonFollowsCaptionAndGroup() {
    CommandTable table;
    table.records() << Ungrouped(u"Who"_s, u"SITE WHO"_s) << Grouped(u"Who"_s, u"Site"_s)
                    << Ungrouped(u"abc"_s);
    CommandEditor editor(table, m_prompts, m_services);
    QCOMPARE(editor.groups(), (QStringList{CommandRecord::NoGroup, u"Site"_s}));
    QCOMPARE(editor.captions(), (QStringList{u"abc"_s, u"Who"_s}));
    QVERIFY(!editor.subMenuEnabled());

    editor.SelectGroup(u"Site"_s);
    QVERIFY(editor.subMenuEnabled());
    QVERIFY(!editor.buttonEnabled());
    QCOMPARE(editor.captions(), QStringList{u"Who"_s});
    // The caption exists in the shown group as well: Update.
    editor.EditCaption(u"Who"_s);
    QCOMPARE(editor.buttonMode(), CommandEditor::ButtonMode::Update);
    QVERIFY(editor.buttonEnabled());
    editor.EditCaption(u"Whom"_s);
    QCOMPARE(editor.buttonMode(), CommandEditor::ButtonMode::Add);
    editor.EditCaption(QString());
    QCOMPARE(editor.buttonMode(), CommandEditor::ButtonMode::Add);
    editor.SelectGroup(CommandRecord::NoGroup);
    editor.EditCaption(u"Who"_s);
    QCOMPARE(editor.buttonMode(), CommandEditor::ButtonMode::Update);

    // Choosing loads the record of the shown group; Update needs an edit.
    editor.SelectGroup(CommandRecord::NoGroup);
    editor.SelectCommand(u"Who"_s);
    QCOMPARE(editor.commandText(), u"SITE WHO"_s);
    QCOMPARE(editor.buttonMode(), CommandEditor::ButtonMode::Update);
    QVERIFY(!editor.buttonEnabled());
    QVERIFY(!editor.Apply());
    editor.EditCommand(u" SITE WHO \n\nNOOP;\n"_s);
    editor.EditShortcut(u"wx"_s);
    QCOMPARE(editor.shortcut(), u"W"_s);
    QVERIFY(editor.Apply());
    QCOMPARE(table.records().at(0).command, u"SITE WHO;NOOP"_s);
    QCOMPARE(table.records().at(0).shortcut, u"W"_s);
    QCOMPARE(table.records().at(1).command, u"NOOP"_s); // the grouped one untouched

    // A caption typed that names another command updates that one.
    editor.SelectCommand(u"Who"_s);
    editor.EditCaption(u"abc"_s);
    editor.EditCommand(u"HELP"_s);
    QVERIFY(editor.Apply());
    QCOMPARE(table.records().at(2).command, u"HELP"_s);
    QCOMPARE(table.records().at(0).command, u"SITE WHO;NOOP"_s);

    // Add keeps the text as typed and takes the first deleted slot.
    table.records()[1].caption = CommandRecord::DeletedCaption;
    editor.EditCaption(u"New"_s);
    editor.EditCommand(u"A;\n\nB\n"_s);
    QCOMPARE(editor.buttonMode(), CommandEditor::ButtonMode::Add);
    QVERIFY(editor.Apply());
    QCOMPARE(table.records().at(1).caption, u"New"_s);
    QCOMPARE(table.records().at(1).command, u"A;;;B;"_s);
    QCOMPARE(table.records().at(1).group, CommandRecord::NoGroup);
    QCOMPARE(editor.captions(), (QStringList{u"abc"_s, u"New"_s, u"Who"_s}));
    // No caption, no command.
    editor.SelectGroup(CommandRecord::NoGroup);
    editor.EditCommand(u"NOOP"_s);
    QVERIFY(editor.buttonEnabled());
    QVERIFY(!editor.Apply());
    QCOMPARE(table.size(), 3);
    // A command of that caption that arrived meanwhile is not added twice.
    editor.EditCaption(u"Late"_s);
    table.records().prepend(Ungrouped(u"Late"_s));
    QVERIFY(!editor.Apply());
    QCOMPARE(table.size(), 4);
}

void TestCommandsTable::editorDeleteAndGroups() {
    CommandTable table;
    table.records() << Grouped(u"z"_s, u"Other"_s) << Ungrouped(u"Keep"_s)
                    << Grouped(u"x"_s, u"Site"_s) << Grouped(u"y"_s, u"site"_s);
    CommandEditor editor(table, m_prompts, m_services);

    editor.SelectGroup(u"Other"_s);
    editor.SelectCommand(u"z"_s);
    m_prompts.confirmAnswers << false << true;
    editor.DeleteCommand();
    QCOMPARE(table.records().at(0).caption, u"z"_s);
    editor.DeleteCommand();
    QCOMPARE(m_prompts.asked.last(), u"confirm:Delete Select Item z, Are you sure"_s);
    QCOMPARE(table.records().at(0).caption, CommandRecord::DeletedCaption);
    QVERIFY(editor.captions().isEmpty() && editor.caption().isEmpty());

    // "<none>" cannot go: only a beep.
    editor.SelectGroup(CommandRecord::NoGroup);
    editor.DeleteGroup();
    QCOMPARE(m_services.calls, QStringList{u"beep"_s});

    editor.SelectGroup(u"Site"_s);
    QCOMPARE(editor.captions(), (QStringList{u"x"_s, u"y"_s}));
    m_prompts.confirmAnswers << true;
    editor.DeleteGroup();
    QCOMPARE(m_prompts.asked.last(), u"confirm:Delete all items in Site, Are you sure"_s);
    QCOMPARE(table.records().at(2).caption, CommandRecord::DeletedCaption);
    QCOMPARE(table.records().at(3).caption, CommandRecord::DeletedCaption);
    QCOMPARE(editor.groups(), (QStringList{CommandRecord::NoGroup, u"Other"_s}));
    QCOMPARE(editor.shownGroup(), CommandRecord::NoGroup);
    QCOMPARE(table.records().at(1).caption, u"Keep"_s);

    // A new group is listed and shown, empty, with its sub-menu field.
    m_prompts.inputAnswers << u"Fresh"_s << QString() << u"OTHER"_s;
    editor.AddGroup();
    QCOMPARE(m_prompts.asked.last(), u"input:Add New Group|Group"_s);
    QCOMPARE(editor.groups().last(), u"Fresh"_s);
    QCOMPARE(editor.shownGroup(), u"Fresh"_s);
    QVERIFY(editor.subMenuEnabled() && editor.captions().isEmpty());
    editor.AddGroup();
    QCOMPARE(editor.shownGroup(), u"Fresh"_s);
    // A group listed already is shown, not listed twice.
    editor.AddGroup();
    QCOMPARE(editor.shownGroup(), u"Other"_s);
    QCOMPARE(editor.groups().size(), 3);
}

void TestCommandsTable::editorMoveAndHelp() {
    CommandTable table;
    table.records() << Grouped(u"b"_s, u"Site"_s) << Ungrouped(u"a"_s) << Ungrouped(u"b"_s);
    CommandEditor editor(table, m_prompts, m_services);
    editor.SelectCommand(u"a"_s);
    QVERIFY(editor.MoveCommand(u"Site"_s));
    QCOMPARE(table.records().at(1).group, u"Site"_s);
    QCOMPARE(editor.captions(), QStringList{u"b"_s});
    // Moving onto a command of the same caption would make two of one.
    editor.SelectCommand(u"b"_s);
    QVERIFY(!editor.MoveCommand(u"Site"_s));
    QCOMPARE(table.records().at(2).group, CommandRecord::NoGroup);
    QCOMPARE(m_prompts.asked.last(), u"information:b already exists in Site"_s);

    editor.ShowHelp();
    QCOMPARE(m_prompts.asked.last(), u"information:"_s + CommandText::TokenHelp());
}

void TestCommandsTable::importTwiceSkipsEveryDuplicate() {
    QVERIFY(m_dir->writeFile(u"other.dat"_s,
                             "[_Commands_]\r\n"
                             "t1=Who\r\nc1=SITE WHO\r\nx1=Site\r\n"
                             "t2=Chmod\r\nc2=SITE CHMOD 755 %f\r\nx2=<none>\r\ns2=c\r\n"
                             "t3=Idle\r\nc3=SITE IDLE %d\r\nx3=Tools\r\ny3=Timing\r\n"
                             "t4=Never\r\nc4=NOOP\r\n"
                             "t5=Gone\r\nc5=NOOP\r\nx5=G\r\n"));
    CommandTable table;
    table.records() << Grouped(u"who"_s, u"SITE"_s);
    CommandEditor editor(table, m_prompts, m_services);
    CommandImport import(table, editor, m_prompts);
    m_prompts.fileAnswers << m_dir->filePath(u"other.dat"_s);
    QVERIFY(import.OpenFile(m_dir->path()));
    QCOMPARE(m_prompts.fileQuestions.last().filter, u"(*.dat) (*.dat);;(All Files) (*)"_s);
    // Up to the first record without a group.
    QCOMPARE(import.rows().size(), 3);

    const CommandImport::Result first = import.ImportRows({0, 1, 2});
    QCOMPARE(first.added, 2);
    QCOMPARE(first.skipped, 1); // "Who" in "Site" is there as "who" in "SITE"
    QCOMPARE(m_prompts.asked.last(),
             u"information:Import Complete\n\nAdded: 2\nDuplicates Skiped: 1"_s);
    QCOMPARE(editor.groups(), (QStringList{CommandRecord::NoGroup, u"SITE"_s, u"Tools"_s}));
    QCOMPARE(editor.captions(), QStringList{u"Chmod"_s});
    QCOMPARE(table.records().last().subMenu, u"Timing"_s);

    const CommandImport::Result second = import.ImportRows({0, 1, 2});
    QCOMPARE(second.added, 0);
    QCOMPARE(second.skipped, 3);
    QCOMPARE(table.size(), 3);

    // A file without the section lists nothing; an unreadable one says so.
    QVERIFY(m_dir->writeFile(u"empty.dat"_s, "[Other]\r\nt1=x\r\nx1=y\r\n"));
    QVERIFY(import.LoadFile(m_dir->filePath(u"empty.dat"_s)));
    QVERIFY(import.rows().isEmpty());
    QVERIFY(!import.LoadFile(m_dir->path()));
    QVERIFY(m_prompts.asked.last().startsWith(u"error:Unable to read"_s));
}

void TestCommandsTable::importSortsAndShowsBlanks() {
    QVERIFY(m_dir->writeFile(u"other.dat"_s, "[_Commands_]\r\n"
                                             "t1=b\r\nx1=Two\r\nc1=NOOP\r\n"
                                             "t2=C\r\nx2=one\r\ny2=Sub\r\n"
                                             "t3=a\r\nx3=two\r\n"));
    CommandTable table;
    CommandEditor editor(table, m_prompts, m_services);
    CommandImport import(table, editor, m_prompts);
    QVERIFY(import.LoadFile(m_dir->filePath(u"other.dat"_s)));
    QCOMPARE(import.headers(),
             (QStringList{u"Group"_s, u"Name"_s, u"Sub Menu"_s, u"Command"_s, u"ShortCut"_s}));
    QCOMPARE(import.cellText(0, CommandImport::SubMenu), u" "_s);
    QCOMPARE(import.cellText(0, CommandImport::Command), u"NOOP"_s);
    QCOMPARE(import.cellText(1, CommandImport::Command), u" "_s);
    QCOMPARE(import.cellText(1, CommandImport::ShortCut), u" "_s);

    auto column = [&](int c) {
        QStringList cells;
        for (int row = 0; row < import.rows().size(); ++row)
            cells << import.cellText(row, c);
        return cells.join(u',');
    };
    import.SortBy(CommandImport::Group);
    QCOMPARE(import.headers().at(0), u"Group+"_s);
    QCOMPARE(column(CommandImport::Name), u"C,b,a"_s); // letter case aside, stable
    import.SortBy(CommandImport::Name);
    QCOMPARE(import.headers().mid(0, 2), (QStringList{u"Group"_s, u"Name-"_s}));
    QCOMPARE(column(CommandImport::Name), u"C,b,a"_s);
    import.SortBy(CommandImport::Name);
    QCOMPARE(import.headers().at(1), u"Name+"_s);
    QCOMPARE(column(CommandImport::Name), u"a,b,C"_s);
    // Only the first three columns sort.
    import.SortBy(CommandImport::Command);
    QCOMPARE(import.headers().at(1), u"Name+"_s);

    // The sorted rows are the ones imported; the stored fields stay empty.
    import.ImportRows({0});
    QCOMPARE(table.records().at(0).caption, u"a"_s);
    QVERIFY(table.records().at(0).command.isEmpty());
}

QTEST_GUILESS_MAIN(TestCommandsTable)
#include "test_commands_table.moc"
