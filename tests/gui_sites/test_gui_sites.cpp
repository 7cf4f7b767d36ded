// The site manager and quick connect dialogs, driven through their widgets
// offscreen. Storage, scrambling and statistics rules have their own core
// tests; here: what the dialogs show, write and forward.
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/IniFile.h"
#include "app/MainWindow.h"
#include "app/SidePanel.h"
#include "sites/PasswordScrambler.h"
#include "sites/QuickConnectDialog.h"
#include "sites/SiteManagerDialog.h"
#include "sites/SiteOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTcpServer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

template <class T = QWidget> T* child(const QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}
QLineEdit* edit(const QWidget* dialog, const char* name) {
    return child<QLineEdit>(dialog, name);
}
QCheckBox* box(const QWidget* dialog, const char* name) {
    return child<QCheckBox>(dialog, name);
}
QPushButton* button(const QWidget* dialog, const char* name) {
    return child<QPushButton>(dialog, name);
}
QString label(const QWidget* dialog, const char* name) {
    return child<QLabel>(dialog, name)->text();
}

QStringList listed(const QWidget* dialog) {
    QStringList texts;
    auto* list = child<QListWidget>(dialog, "SiteList");
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QPoint itemCentre(const QWidget* dialog, const QString& site) {
    auto* list = child<QListWidget>(dialog, "SiteList");
    return list->visualItemRect(list->findItems(site, Qt::MatchExactly).value(0)).center();
}

void select(const QWidget* dialog, const QString& site) {
    QTest::mouseClick(child<QListWidget>(dialog, "SiteList")->viewport(), Qt::LeftButton, {},
                      itemCentre(dialog, site));
}

const auto RevealKeys = Qt::ShiftModifier | Qt::ControlModifier;

} // namespace

class TestGuiSites : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void siteOptionsText();
    void newSiteIsSavedScrambled();
    void selectingShowsTheStoredSite();
    void renameResetAndDelete();
    void doubleClickConnectsTheLeftSideAndCloses();
    void quickConnectFillsFromHistorySitesAndAnonymous();
    void connectMenuListsTheSitesOfItsSide();

private:
    // Beta and Gamma saved; sites is the index.
    void makeApp(const QByteArray& sites);
    std::unique_ptr<SiteManagerDialog> openManager() {
        auto dialog = std::make_unique<SiteManagerDialog>(*m_app, nullptr);
        dialog->show();
        return dialog;
    }
    IniFile ini() const { return IniFile(m_dir->filePath(u"Korvane.ini"_s)); }
    IniFile stats() const { return IniFile(m_dir->filePath(u"Stats.dat"_s)); }

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<RecordingDesktopServices> m_services;
    std::unique_ptr<ScriptedUserPrompts> m_prompts;
    std::unique_ptr<App> m_app;
};

void TestGuiSites::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_services = std::make_unique<RecordingDesktopServices>();
    m_prompts = std::make_unique<ScriptedUserPrompts>();
}

void TestGuiSites::cleanup() {
    m_app.reset();
}

void TestGuiSites::makeApp(const QByteArray& sites) {
    const QByteArray pass = ScramblePassword('E', u"pw"_s).toLatin1();
    QVERIFY(m_dir->writeFile(
        u"Korvane.ini"_s,
        "[_Main_]\r\nEmail=me@example.org\r\nAlt List=1\r\n[_Sites_]\r\n" + sites +
            "[Beta]\r\nIP=beta.test\r\nPort=2100\r\nUser=bob\r\nPass=" + pass +
            "\r\nPath=/pub\r\nLocalPath=/srv/l\r\nNotes=x;y\r\nOptions=2\r\nAnonymous=1\r\n"
            "[Gamma]\r\nIP=gamma.test\r\nUser=gus\r\nPass=XYZ\r\nOptions=30\r\n"));
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    m_app->LoadSettings();
}

void TestGuiSites::siteOptionsText() {
    const QList<std::tuple<QString, int, bool, QString>> cases = {{u"2"_s, 2, false, u"20"_s},
                                                                  {u"30"_s, 3, false, u"30"_s},
                                                                  {u"11"_s, 1, true, u"11"_s},
                                                                  {u""_s, 3, false, u"30"_s},
                                                                  {u"x1"_s, 3, true, u"31"_s}};
    for (const auto& [stored, pasv, fxp, written] : cases) {
        const SiteOptions options = SiteOptions::Parse(stored);
        QCOMPARE(options.pasvMode, pasv);
        QCOMPARE(options.normalFxp, fxp);
        QCOMPARE(options.toString(), written);
    }
}

void TestGuiSites::newSiteIsSavedScrambled() {
    makeApp("s0=Beta\r\n");
    auto dialog = openManager();
    QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!dialog->isModal());
    QPushButton* save = button(dialog.get(), "Save");
    QVERIFY(!save->isEnabled());

    // A listed name, in any case, would overwrite that site.
    m_prompts->inputAnswers << u"beta"_s << u" [Alpha] "_s;
    button(dialog.get(), "New")->click();
    QCOMPARE(m_prompts->asked.last(), u"information:A site named Beta already exists."_s);
    button(dialog.get(), "New")->click();
    QCOMPARE(edit(dialog.get(), "SiteName")->text(), u"[Alpha]"_s);

    edit(dialog.get(), "IPAddress")->setText(u"alpha.test"_s);
    edit(dialog.get(), "Password")->setText(u"s3cret"_s);
    m_prompts->fileAnswers << u"/home/al/dl"_s;
    child<QToolButton>(dialog.get(), "LocalPathBrowse")->click();
    QCOMPARE(edit(dialog.get(), "LocalPath")->text(), u"/home/al/dl"_s);
    box(dialog.get(), "UsePasv")->click(); // greyed -> ticked
    auto* notes = child<QPlainTextEdit>(dialog.get(), "Notes");
    QTest::keyClicks(notes, u"a;b"_s);
    QTest::keyClick(notes, Qt::Key_Return);
    QTest::keyClicks(notes, u"c"_s);
    QCOMPARE(notes->toPlainText(), u"ab\nc"_s);
    save->click();
    QVERIFY(!save->isEnabled());
    QVERIFY(button(dialog.get(), "Delete")->isEnabled());

    const QByteArray section = "\xFE"
                               "Alpha\xFF";
    QCOMPARE(ini().readValue("_Sites_", "s1"), section);
    const QString stored = ini().readString(section, "Pass");
    QVERIFY(stored != u"s3cret"_s);
    QCOMPARE(PasswordScrambler::Restore(stored), std::optional<QString>(u"s3cret"_s));
    QCOMPARE(ini().readString(section, "Notes"), u"ab;c"_s);
    QCOMPARE(ini().readString(section, "Options"), u"20"_s);
    QCOMPARE(listed(dialog.get()), QStringList({u"[Alpha]"_s, u"Beta"_s}));

    QTest::keyClicks(notes, QString(260, u'n'));
    QCOMPARE(notes->toPlainText().size(), 250);
}

void TestGuiSites::selectingShowsTheStoredSite() {
    makeApp("s0=Gamma\r\ns1=Beta\r\n");
    auto dialog = openManager();
    QCOMPARE(listed(dialog.get()), QStringList({u"Beta"_s, u"Gamma"_s}));
    QLineEdit* password = edit(dialog.get(), "Password");
    QCheckBox* pasv = box(dialog.get(), "UsePasv");
    QCheckBox* fxp = box(dialog.get(), "NormalFxp");
    QPushButton* save = button(dialog.get(), "Save");

    select(dialog.get(), u"Beta"_s);
    QCOMPARE(edit(dialog.get(), "Port")->text(), u"2100"_s);
    QCOMPARE(password->text(), u"pw"_s);
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QVERIFY(box(dialog.get(), "Anonymous")->isChecked());
    QCOMPARE(edit(dialog.get(), "LocalPath")->text(), u"/srv/l"_s);
    QCOMPARE(child<QPlainTextEdit>(dialog.get(), "Notes")->toPlainText(), u"x\ny"_s);
    QCOMPARE(pasv->checkState(), Qt::Checked);
    QVERIFY(!fxp->isChecked());
    QVERIFY(!save->isEnabled());
    QVERIFY(button(dialog.get(), "Delete")->isEnabled());

    QTest::keyClick(child<QWidget>(dialog.get(), "Notes"), Qt::Key_P, RevealKeys);
    QCOMPARE(password->echoMode(), QLineEdit::Normal);
    fxp->click();
    QVERIFY(save->isEnabled());
    save->click();
    QCOMPARE(ini().readString("Beta", "Options"), u"21"_s);
    QCOMPARE(ini().readString("Beta", "Notes"), u"x;y"_s);

    // Another site masks the password again; an unreadable one is reported.
    select(dialog.get(), u"Gamma"_s);
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(password->text(), QString());
    QCOMPARE(pasv->checkState(), Qt::PartiallyChecked);
    QVERIFY(pasv->toolTip().endsWith(u"on"_s));
    QVERIFY(!fxp->isChecked());
    const StatusLine& last = m_app->statusLog().lines().lines().last();
    QVERIFY(last.text.contains(u"Gamma"_s));
    QCOMPARE(last.colour, clRed);
    QTest::keyClick(password, Qt::Key_P, RevealKeys);
    QCOMPARE(password->echoMode(), QLineEdit::Normal);
    box(dialog.get(), "Anonymous")->click();
    QCOMPARE(edit(dialog.get(), "UserName")->text(), u"anonymous"_s);
    QCOMPARE(password->text(), u"me@example.org"_s);
}

void TestGuiSites::renameResetAndDelete() {
    makeApp("s0=Beta\r\ns1=Gamma\r\n");
    QVERIFY(
        m_dir->writeFile(u"Stats.dat"_s, "[Beta]\r\nTotal Logins=3\r\n[Total]\r\nBytes=100\r\n"));
    auto dialog = openManager();
    select(dialog.get(), u"Beta"_s);
    QCOMPARE(label(dialog.get(), "TotalConnects"), u"3"_s);
    QCOMPARE(label(dialog.get(), "TotalBytes"), u"100"_s);

    // Renaming onto another site is refused; a rename keeps the statistics.
    m_prompts->inputAnswers << u"gamma"_s << u"Delta"_s;
    button(dialog.get(), "Rename")->click();
    QVERIFY(m_prompts->asked.last().startsWith(u"information:"_s));
    QCOMPARE(ini().readString("Gamma", "IP"), u"gamma.test"_s);
    button(dialog.get(), "Rename")->click();
    QCOMPARE(m_prompts->asked.last(), u"input:Rename|To"_s);
    QCOMPARE(listed(dialog.get()), QStringList({u"Delta"_s, u"Gamma"_s}));
    QCOMPARE(edit(dialog.get(), "SiteName")->text(), u"Delta"_s);
    QVERIFY(!ini().sectionExists("Beta"));
    QCOMPARE(ini().readString("Delta", "IP"), u"beta.test"_s);
    QCOMPARE(stats().readString("Delta", "Total Logins"), u"3"_s);
    QVERIFY(!stats().sectionExists("Beta"));
    QCOMPARE(label(dialog.get(), "TotalConnects"), u"3"_s);

    m_prompts->confirmAnswers << true << false << true << true;
    button(dialog.get(), "Reset")->click();
    QCOMPARE(m_prompts->asked.last(), u"confirm:Reset Stats?"_s);
    QCOMPARE(label(dialog.get(), "TotalConnects"), u"0"_s);
    QCOMPARE(label(dialog.get(), "TotalBytes"), u"100"_s);

    button(dialog.get(), "Delete")->click();
    QCOMPARE(m_prompts->asked.last(), u"confirm:Delete Site?"_s);
    QCOMPARE(listed(dialog.get()).size(), 2);
    button(dialog.get(), "Delete")->click();
    QCOMPARE(listed(dialog.get()), QStringList({u"Gamma"_s}));
    QVERIFY(!ini().sectionExists("Delta"));
    QCOMPARE(ini().readValue("_Sites_", "s0"), "Gamma");
    QVERIFY(!ini().keyExists("_Sites_", "s1"));
    QCOMPARE(edit(dialog.get(), "SiteName")->text(), QString());
    QVERIFY(!button(dialog.get(), "Delete")->isEnabled());
    // No site stays current, so clicking the remaining one loads it.
    select(dialog.get(), u"Gamma"_s);
    QCOMPARE(edit(dialog.get(), "SiteName")->text(), u"Gamma"_s);

    button(dialog.get(), "ResetTotal")->click();
    QCOMPARE(m_prompts->asked.last(), u"confirm:Reset Total Stats?"_s);
    QCOMPARE(label(dialog.get(), "TotalBytes"), u"0"_s);
    QCOMPARE(label(dialog.get(), "TotalSince"), u"none"_s);
}

void TestGuiSites::doubleClickConnectsTheLeftSideAndCloses() {
    makeApp("s0=Beta\r\n");
    QPointer<SiteManagerDialog> dialog = new SiteManagerDialog(*m_app, nullptr);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    // The events of a double click as the view receives them.
    QWidget* viewport = child<QListWidget>(dialog, "SiteList")->viewport();
    const QPoint at = itemCentre(dialog, u"Beta"_s);
    QTest::mousePress(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
    ConnectionLifecycle& connections = m_app->connections();
    QVERIFY(connections.timerConnect().isActive());
    connections.timerConnect().stop();
    QCOMPARE(connections.reconnectSite(SideId::Left), u"Beta"_s);
    QCOMPARE(connections.reconnectSite(SideId::Right), QString());
    QTRY_VERIFY_WITH_TIMEOUT(dialog.isNull(), 5000);
}

void TestGuiSites::quickConnectFillsFromHistorySitesAndAnonymous() {
    makeApp("s0=Gamma\r\ns1=Beta\r\n");
    const HistoryEntry old{u"h.test"_s, u"hu"_s, u"hp"_s, u"2121"_s, u"/a:b"_s};
    QVERIFY(m_app->quickConnectHistory().Add(old, {}));
    QVERIFY(m_dir->writeFile(u"History.dat"_s, m_dir->readFile(u"History.dat"_s) + "XYZ\r\n"));

    // Built from temporaries, as the main window does.
    QuickConnectDialog dialog(m_app->siteStorage(), m_app->quickConnectHistory(), m_app->settings(),
                              nullptr);
    dialog.show();
    QCOMPARE(dialog.loadedHistory(), QList<HistoryEntry>{old});
    QCOMPARE(dialog.loadProblems().size(), 1);
    auto* server = child<QComboBox>(&dialog, "Server");
    QLineEdit* password = edit(&dialog, "Password");
    QCOMPARE(server->currentText(), QString());
    QCOMPARE(box(&dialog, "PasvMode")->checkState(), Qt::PartiallyChecked);
    QVERIFY(button(&dialog, "Connect")->isDefault());

    QTest::keyClick(child<QComboBox>(&dialog, "History"), Qt::Key_Down);
    QuickConnectFields fields = dialog.fields();
    QCOMPARE(HistoryEntry({fields.server, fields.user, fields.password, fields.port, fields.path}),
             old);
    QTest::keyClick(password, Qt::Key_P, RevealKeys);
    QCOMPARE(password->echoMode(), QLineEdit::Normal);

    // Sites are listed sorted; choosing one fills all but the FXP box.
    box(&dialog, "NormalFxp")->setChecked(true);
    QTest::keyClick(server, Qt::Key_Down);
    fields = dialog.fields();
    QCOMPARE(fields.server, u"Beta"_s);
    QCOMPARE(fields.user, u"bob"_s);
    QCOMPARE(fields.password, u"pw"_s);
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(fields.port, u"2100"_s);
    QCOMPARE(fields.path, u"/pub"_s);
    QCOMPARE(fields.pasvMode, 2);
    QVERIFY(fields.normalFxp);
    QVERIFY(box(&dialog, "Anonymous")->isChecked());
    QTest::keyClick(server, Qt::Key_Down);
    QCOMPARE(dialog.fields().pasvMode, 3);
    QCOMPARE(dialog.fields().port, u"21"_s);

    QVERIFY(!box(&dialog, "Anonymous")->isChecked());
    box(&dialog, "Anonymous")->click();
    QCOMPARE(dialog.fields().user, u"anonymous"_s);
    QCOMPARE(dialog.fields().password, u"me@example.org"_s);
    edit(&dialog, "UserID")->setText(u"typed"_s);
    box(&dialog, "Anonymous")->click(); // unticking changes nothing
    QCOMPARE(dialog.fields().user, u"typed"_s);

    // A typed site name keeps the typed user, also when Enter ends the typing.
    server->lineEdit()->clear();
    QTest::keyClicks(server->lineEdit(), u"Beta"_s);
    QTest::keyClick(server->lineEdit(), Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.fields().server, u"Beta"_s);
    QCOMPARE(dialog.fields().user, u"typed"_s);
}

void TestGuiSites::connectMenuListsTheSitesOfItsSide() {
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    const QByteArray sites = "s0=c\r\ns1=<G> x\r\ns2=a\r\ns3=<g> y\r\ns4=b\r\ns5=<broken\r\n";
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, "[_Main_]\r\nItem Count=2\r\n[_Sites_]\r\n" +
                                                   sites + "[a]\r\nIP=127.0.0.1\r\nPort=" +
                                                   QByteArray::number(closedPort) + "\r\n"));
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    MainWindow window(*m_app);
    Q_EMIT window.sidePanel(SideId::Right)->connectMenuOpening();
    QStringList shown;
    QMenu* menu = window.popupMenu("PopSite");
    for (QAction* action : menu->actions())
        shown << (action->isSeparator() ? u"|"_s
                  : action->menu()      ? action->text() + u"{"_s +
                                         action->menu()->actions().value(0)->text() + u","_s +
                                         action->menu()->actions().value(1)->text() + u"}"_s
                                        : action->text());
    // Groups merge ignoring case; a column starts every two top-level entries.
    QCOMPARE(shown, (QStringList{u"Quick Connect"_s, u"|"_s, u"G{x,y}"_s, u"a"_s, u"|"_s, u"b"_s,
                                 u"c"_s}));
    // Opening it again rebuilds rather than appends.
    Q_EMIT window.sidePanel(SideId::Right)->connectMenuOpening();
    QCOMPARE(menu->actions().size(), shown.size());

    menu->actions().at(3)->trigger();
    const StatusLineStore& lines = m_app->statusLog().lines();
    auto connectLineShown = [&] {
        for (int i = 0; i < lines.count(); ++i)
            if (lines.line(i).text == u"Connecting to a, port %1"_s.arg(closedPort) &&
                lines.line(i).colour == clGreen)
                return true;
        return false;
    };
    QTRY_VERIFY(connectLineShown());
}

QTEST_MAIN(TestGuiSites)
#include "test_gui_sites.moc"

