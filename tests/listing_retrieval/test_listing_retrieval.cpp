// A side's listing from real and scripted servers: both retrieval paths, the
// PASV quirks, refusals, a dropped or silent server, the directory cache and
// moving between directories.
#include "FakeScripts.h"
#include "FtpServerFixture.h"
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "net/FtpSession.h"

#include <QTemporaryFile>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {
const QByteArray FakeListing = "drwxr-xr-x 2 ftp ftp 4096 Jan 1 2024  lead\r\n"
                               "-rw-r--r-- 1 ftp ftp 10 Jan 1 2024 b.txt\r\n"
                               "-rw-r--r-- 1 ftp ftp 2048 Jan 1 2024 a.txt\r\n";
} // namespace

class TestListingRetrieval : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void bothPathsShowTheSameSortedListing_data();
    void bothPathsShowTheSameSortedListing();
    void passiveListingGoesToTheControlAddress();
    void pasvWithoutPortIsReported_data();
    void pasvWithoutPortIsReported();
    void refusedPwdStillLists();
    void emptyActiveListingIsTaken();
    void droppedOrSilentServerEndsTheRefresh_data();
    void droppedOrSilentServerEndsTheRefresh();
    void cacheServesRevisitedDirectories();
    void endlessListingStopsAtItsLimit_data();
    void endlessListingStopsAtItsLimit();

private:
    void startApp(const QByteArray& mainKeys = {});
    // A fresh directory on the real server holding two files, a name with a
    // blank and a subdirectory; returns its path.
    QString makeTree(Side& side);
    QStringList names(Side& side) const;
    QStringList lines() const;
    int count(const QString& prefix) const;

    std::unique_ptr<FtpServerFixture> m_server;
    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<RecordingDesktopServices> m_services;
    std::unique_ptr<ScriptedUserPrompts> m_prompts;
    std::unique_ptr<App> m_app;
    int m_trees = 0;
};

void TestListingRetrieval::initTestCase() {
    m_server = std::make_unique<FtpServerFixture>();
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
}

void TestListingRetrieval::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_services = std::make_unique<RecordingDesktopServices>();
    m_prompts = std::make_unique<ScriptedUserPrompts>();
}

void TestListingRetrieval::cleanup() {
    m_app.reset();
}

void TestListingRetrieval::startApp(const QByteArray& mainKeys) {
    const QByteArray timeOut = mainKeys.contains("ConnectTimeout") ? "" : "ConnectTimeout=10\r\n";
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, "[_Main_]\r\n" + timeOut + mainKeys));
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    m_app->create();
}

QString TestListingRetrieval::makeTree(Side& side) {
    FtpSession& session = side.session();
    QString base = session.CurrentDir();
    if (!base.endsWith(u'/'))
        base += u'/';
    const QString dir = base + u"korvane-list-%1"_s.arg(++m_trees);
    session.MakeDir(dir);
    session.MakeDir(dir + u"/sub"_s);
    session.Mode(FtpSession::TransferType::Image);
    const std::pair<const char*, QByteArray> files[] = {
        {"alpha.txt", "abc"}, {"beta file.bin", "12345"}, {"zeta", "z"}};
    for (const auto& [name, content] : files) {
        QTemporaryFile local;
        if (!local.open() || local.write(content) != content.size())
            return {};
        local.close();
        session.Upload(local.fileName(), dir + u'/' + QString::fromLatin1(name), true,
                       session.remoteAddress());
    }
    return dir;
}

QStringList TestListingRetrieval::names(Side& side) const {
    QStringList result;
    for (const DirEntry& e : side.listing().entries())
        result << e.name;
    return result;
}

QStringList TestListingRetrieval::lines() const {
    QStringList texts;
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = 0; i < store.count(); ++i)
        texts << store.line(i).text;
    return texts;
}

int TestListingRetrieval::count(const QString& prefix) const {
    int n = 0;
    for (const QString& line : lines())
        n += line.startsWith(prefix) ? 1 : 0;
    return n;
}

void TestListingRetrieval::bothPathsShowTheSameSortedListing_data() {
    QTest::addColumn<QString>("options");
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<bool>("passive");
    QTest::newRow("session listing") << u"1"_s << QByteArray() << false;
    QTest::newRow("passive listing") << u"2"_s << QByteArray() << true;
    QTest::newRow("either, Alt List off") << u"3"_s << QByteArray() << false;
    QTest::newRow("either, Alt List on") << u"3"_s << QByteArray("Alt List=1\r\n") << true;
}

void TestListingRetrieval::bothPathsShowTheSameSortedListing() {
    QFETCH(QString, options);
    QFETCH(QByteArray, keys);
    QFETCH(bool, passive);
    startApp(keys);
    Side& side = m_app->left();
    m_app->connections().ConnectToSite({u"Home"_s, m_server->host(),
                                        QString::number(m_server->port()), m_server->user(),
                                        m_server->password(), options, m_server->baseDir()},
                                       SideId::Left);
    QVERIFY2(side.state().LoggedIn, qPrintable(lines().join(u'\n')));
    const QString dir = makeTree(side);
    QVERIFY(!dir.isEmpty());
    side.session().ChangeDir(dir);

    QCOMPARE(side.currentPath(), dir + u'/');
    // Our passive listing asks for ASCII first; the session's own uses PORT.
    QCOMPARE(count(u"TYPE A"_s) > 0, passive);
    QCOMPARE(count(u"PORT "_s) > 0, !passive);
    QCOMPARE(names(side),
             (QStringList{u".."_s, u"sub"_s, u"alpha.txt"_s, u"beta file.bin"_s, u"zeta"_s}));
    QCOMPARE(side.listing().entry(3).size, 5);
    QCOMPARE(side.summaryText(), u"1 folder(s), 3 file(s), 4 total"_s);
    // The raw lines are the server's, "total" and "." lines included.
    QVERIFY(side.rawListing().filter(u"beta file.bin"_s).size() == 1);
    QCOMPARE(side.pathHistory().value(0), dir + u'/');
    // The tree holds the path down to here and the subdirectory below it.
    const QModelIndex current = side.tree().FindPath(dir + u'/', u'/');
    QVERIFY(current.isValid());
    QCOMPARE(side.treeSelection().currentIndex(), current);
    QCOMPARE(side.tree().rowCount(current), 1);
    QCOMPARE(side.tree().NodePath(side.tree().index(0, 0, current)), dir + u"/sub"_s);
    QVERIFY(!side.state().Busy && !side.state().ListingActive);
    QVERIFY(side.button(SideButton::Refresh).enabled);
    QCOMPARE(side.statusBarText(), u"Idle."_s);
    const StatusLineStore& store = m_app->statusLog().lines();
    QVERIFY(QRegularExpression(u"^ \\d+ms$"_s).match(store.line(store.count() - 2).text).hasMatch() ||
            QRegularExpression(u"^ \\d+ms$"_s).match(store.line(store.count() - 1).text).hasMatch());

    // A refresh while a transfer runs on the side leaves the side busy.
    side.state().Busy = true;
    side.setButtonEnabled(SideButton::Stop, true);
    m_app->listing().RefreshDirectory(SideId::Left, false);
    QVERIFY(side.state().Busy);
    QCOMPARE(side.listing().count(), 5);
}

void TestListingRetrieval::passiveListingGoesToTheControlAddress() {
    startApp("List Method=2\r\nList Custom Text=al\r\n");
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    ScriptLogin(fake);
    // An informational line before the 200; a PASV reply without parentheses
    // naming a host that is not the server's.
    fake.expect("PWD", "257 \"/pub\" is current")
        .expect("TYPE A", "100 switching\r\n200 ok")
        .expect("PASV",
                [](FakeFtpServer& s, const QByteArray&) {
                    s.send(s.openPassive(false).replace("127,0,0,1", "10,0,0,1"));
                })
        .expect("LIST -al", [](FakeFtpServer& s, const QByteArray&) {
            s.send("150 here");
            s.sendData(FakeListing);
            s.send("226 done");
        });
    ConnectLeftToFake(*m_app, fake, u"2"_s);
    Side& side = m_app->left();
    QVERIFY2(fake.mismatches().isEmpty(), fake.mismatches().join('\n'));
    QCOMPARE(names(side), (QStringList{u".."_s, u" lead"_s, u"a.txt"_s, u"b.txt"_s}));
    QCOMPARE(side.rawListing().size(), 3);
    QVERIFY(lines().contains(u"226 done"_s));
    // The 200 was waited for before PASV went out.
    QVERIFY(lines().indexOf(u"200 ok"_s) >= 0 &&
            lines().indexOf(u"200 ok"_s) < lines().indexOf(u"PASV"_s));

    // A directory named with a leading blank is entered by its full path.
    fake.expect("CWD /pub/ lead", "250 ok");
    ScriptPassiveList(fake, "/pub/ lead", "");
    m_app->navigation().ListDoubleClick(SideId::Left, 1);
    QVERIFY2(fake.scriptDone(), fake.received().join('\n'));
    QCOMPARE(side.currentPath(), u"/pub/ lead/"_s);
    QCOMPARE(names(side), QStringList{u".."_s});
    // ".." goes up with CDUP; the path box and the tree change directory too.
    fake.expect("CDUP", "250 ok");
    ScriptPassiveList(fake, "/pub", FakeListing);
    m_app->navigation().ListDoubleClick(SideId::Left, 0);
    fake.expect("CWD /elsewhere", "250 ok");
    ScriptPassiveList(fake, "/elsewhere", "");
    m_app->navigation().PathBoxEnter(SideId::Left, u"/elsewhere"_s);
    fake.expect("CWD /pub", "250 ok");
    ScriptPassiveList(fake, "/pub", FakeListing);
    m_app->navigation().TreeDoubleClick(SideId::Left, side.tree().FindPath(u"/pub/"_s, u'/'));
    QVERIFY2(fake.scriptDone(), fake.received().join('\n'));
    QCOMPARE(side.pathHistory().mid(0, 3),
             (QStringList{u"/pub/"_s, u"/elsewhere/"_s, u"/elsewhere"_s}));
    QVERIFY(fake.mismatches().isEmpty());
}

void TestListingRetrieval::pasvWithoutPortIsReported_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("425") << QByteArray("425 can't open data connection");
    QTest::newRow("502") << QByteArray("502 not implemented");
}

void TestListingRetrieval::pasvWithoutPortIsReported() {
    QFETCH(QByteArray, reply);
    startApp();
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    ScriptLogin(fake);
    fake.expect("PWD", "257 \"/\"").expect("TYPE A", "200 ok").expect("PASV", reply);
    ConnectLeftToFake(*m_app, fake, u"2"_s);
    Side& side = m_app->left();
    QVERIFY(m_prompts->asked.contains(u"information:List Error: Port Not Defined"_s));
    QCOMPARE(names(side), QStringList{u".."_s});
    QVERIFY(side.button(SideButton::Refresh).enabled);
    QVERIFY(!fake.received().contains("LIST"));
}

void TestListingRetrieval::refusedPwdStillLists() {
    startApp();
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    ScriptLogin(fake);
    fake.expect("PWD", "550 no");
    fake.expect("TYPE A", "200 ok").expect("PASV", &FakeFtpServer::ReplyPassive);
    fake.expect("LIST", [](FakeFtpServer& s, const QByteArray&) {
        s.send("150 here");
        s.sendData(FakeListing);
        s.send("226 done");
    });
    ConnectLeftToFake(*m_app, fake, u"2"_s);
    Side& side = m_app->left();
    QVERIFY(lines().contains(u"Error: Unable to determine Current Directory"_s));
    QVERIFY(side.currentPath().isEmpty());
    QCOMPARE(side.listing().count(), 4);
    QCOMPARE(side.tree().rowCount(), 0);
}

void TestListingRetrieval::emptyActiveListingIsTaken() {
    // The server's data connection closes before we take it: it is still
    // the server's, not a stranger's.
    startApp("ConnectTimeout=2\r\n");
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    ScriptLogin(fake);
    fake.expect("PWD", "257 \"/empty\"");
    fake.expect("PORT", [](FakeFtpServer& s, const QByteArray& command) {
        s.connectActive(command);
        s.send("200 ok");
    });
    fake.expect("LIST", [](FakeFtpServer& s, const QByteArray&) {
        s.sendData("");
        s.send("150 here\r\n226 done");
    });
    ConnectLeftToFake(*m_app, fake, u"1"_s);
    // Refused, the wait for another connection would end in the time-out
    // and the refresh would never reach its timing line.
    QVERIFY2(!lines().filter(QRegularExpression(u"^ \\d+ms$"_s)).isEmpty(),
             qPrintable(lines().join(u'\n')));
    QVERIFY(lines().contains(u"226 done"_s));
    QCOMPARE(names(m_app->left()), QStringList{u".."_s});
}

void TestListingRetrieval::droppedOrSilentServerEndsTheRefresh_data() {
    QTest::addColumn<bool>("drop");
    QTest::newRow("dropped") << true;
    QTest::newRow("silent data connection") << false;
}

void TestListingRetrieval::droppedOrSilentServerEndsTheRefresh() {
    QFETCH(bool, drop);
    startApp("ConnectTimeout=1\r\n");
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    ScriptLogin(fake);
    fake.expect("PWD", "257 \"/\"").expect("TYPE A", "200 ok");
    fake.expect("PASV", &FakeFtpServer::ReplyPassive);
    fake.expect("LIST", [drop](FakeFtpServer& s, const QByteArray&) {
        s.send("150 here");
        // Part of a line, then nothing more.
        s.sendData("drwxr-xr-x 2 ftp ftp 4096 Jan 1 2024 half", false);
        if (drop)
            s.closeClient();
    });
    fake.expect("ABOR", "226 aborted");
    ConnectLeftToFake(*m_app, fake, u"2"_s);
    Side& side = m_app->left();
    QVERIFY(!side.state().ListingActive && !side.state().Busy);
    QCOMPARE(names(side), QStringList{u".."_s}.mid(0, drop ? 0 : 1));
    if (!drop) {
        QVERIFY(lines().contains(u"List Error: no listing data from the server within 1 s"_s));
        QVERIFY(side.session().isConnected());
        QVERIFY(lines().contains(u"226 aborted"_s));
    }
}

void TestListingRetrieval::cacheServesRevisitedDirectories() {
    startApp("Cache=1\r\n");
    Side& side = m_app->left();
    m_app->connections().ConnectToSite({u"Home"_s, m_server->host(),
                                        QString::number(m_server->port()), m_server->user(),
                                        m_server->password(), u"1"_s, m_server->baseDir()},
                                       SideId::Left);
    QVERIFY(side.state().LoggedIn);
    const QString dir = makeTree(side);
    side.session().ChangeDir(dir);
    side.session().ChangeDir(u"sub"_s);
    const int listed = count(u"LIST"_s);
    QCOMPARE(side.cache().records().size(), size_t(3));

    // Back up: replayed from the cache, no LIST.
    m_app->navigation().ListDoubleClick(SideId::Left, 0);
    QCOMPARE(side.currentPath(), dir + u'/');
    QCOMPARE(count(u"LIST"_s), listed);
    QCOMPARE(count(u"List (cached)"_s), 1);
    QCOMPARE(count(u"List Complete."_s), 1);
    QCOMPARE(names(side).size(), 5);
    QVERIFY(side.rawListing().isEmpty());

    // Refresh asks the server and leaves the cache as it was.
    m_app->listing().RefreshDirectory(SideId::Left, false);
    QCOMPARE(count(u"LIST"_s), listed + 1);
    QCOMPARE(side.cache().records().size(), size_t(3));
    QCOMPARE(names(side).size(), 5);

    // Cleared: the next visit lists again.
    m_app->navigation().ClearCache();
    QVERIFY(side.cache().records().empty());
    side.session().ChangeDir(u"sub"_s);
    QCOMPARE(count(u"LIST"_s), listed + 2);
    QCOMPARE(count(u"List (cached)"_s), 1);
    // A disconnect empties the side's cache.
    m_app->connections().DisconnectClick(SideId::Left);
    QVERIFY(side.cache().records().empty());
}

void TestListingRetrieval::endlessListingStopsAtItsLimit_data() {
    QTest::addColumn<QString>("options");
    QTest::addColumn<bool>("lines");
    QTest::newRow("passive, too many lines") << u"2"_s << true;
    QTest::newRow("passive, one endless line") << u"2"_s << false;
    QTest::newRow("session, too many lines") << u"1"_s << true;
}

void TestListingRetrieval::endlessListingStopsAtItsLimit() {
    QFETCH(QString, options);
    QFETCH(bool, lines);
    startApp();
    m_app->listing().setListingLimits(1000, 1024 * 1024);
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    QByteArray listing;
    for (int i = 0; i < 1500; ++i)
        listing += "-rw-r--r-- 1 ftp ftp 1 Jan 1 2024 f" + QByteArray::number(i) + "\r\n";
    ScriptLogin(fake);
    fake.expect("PWD", "257 \"/\"");
    if (options == u"1"_s) {
        fake.expect("PORT", [](FakeFtpServer& s, const QByteArray& command) {
            s.connectActive(command);
            s.send("200 ok");
        });
    } else {
        fake.expect("TYPE A", "200 ok").expect("PASV", &FakeFtpServer::ReplyPassive);
    }
    fake.expect("LIST", [&](FakeFtpServer& s, const QByteArray&) {
        s.send("150 here");
        if (lines)
            s.sendData(listing, false);
        else
            s.streamData(-1, false);
    });
    fake.expect("ABOR", "226 aborted");
    ConnectLeftToFake(*m_app, fake, options);
    Side& side = m_app->left();
    QVERIFY2(count(u"List Error: the listing passed 1,000 lines or 1 MiB"_s) == 1,
             qPrintable(this->lines().join(u'\n')));
    QCOMPARE(side.listing().count(), lines ? 1001 : 1);
    QVERIFY(!side.state().ListingActive && !side.state().Busy);
    QVERIFY(side.session().isConnected());
    // A listing cut short is aborted at the server, whichever way it came.
    QVERIFY(fake.received().contains("ABOR"));
}

QTEST_GUILESS_MAIN(TestListingRetrieval)
#include "test_listing_retrieval.moc"
