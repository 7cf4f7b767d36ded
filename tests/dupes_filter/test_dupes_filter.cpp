// The duplicate filter: both matching modes on plain name lists, the
// two-day directories, and the run on two real listings with race mode.
#include "FtpServerFixture.h"
#include "RecordingDesktopServices.h"
#include "RemoteFiles.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "TwoSites.h"
#include "app/App.h"
#include "app/RemotePath.h"
#include "dupes/DupeMatching.h"
#include "dupes/NameIndex.h"
#include "dupes/TwoDayDirectory.h"
#include "net/FtpSession.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// The names a pass removed, in list order.
QStringList Names(const QStringList& list, std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    QStringList names;
    for (int row : rows)
        names << list.at(row);
    return names;
}

struct Kept {
    QStringList left, right;
};

Kept Remaining(const QStringList& left, const QStringList& right, const DupeOutcome& outcome) {
    Kept kept{left, right};
    std::vector<int> l, r;
    for (const DupePass& pass : outcome.passes) {
        l.insert(l.end(), pass.left.begin(), pass.left.end());
        r.insert(r.end(), pass.right.begin(), pass.right.end());
    }
    std::sort(l.begin(), l.end(), std::greater<>());
    std::sort(r.begin(), r.end(), std::greater<>());
    for (int row : l)
        kept.left.removeAt(row);
    for (int row : r)
        kept.right.removeAt(row);
    return kept;
}

const std::atomic<bool> NoStop{false};

} // namespace

class TestDupesFilter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void exactMatching_data();
    void exactMatching();
    void partialMatching_data();
    void partialMatching();
    void progressAndStop();
    void nameIndexFindsTheFirstName();
    void yesterdayDirectory_data();
    void yesterdayDirectory();
    void initTestCase();
    void cleanup();
    void filtersTwoRealListings();
    void twoDayFilter();
    void raceQueuesTheSmallerListFirst();

private:
    void startApp(const QByteArray& mainKeys = {});
    // A fresh directory on each server holding these files; both sides in it.
    void fill(const QStringList& left, const QStringList& right);
    QStringList shown(SideId side) const;
    bool logged(const QString& text, Colour colour) const;
    // Starts a run and waits for it and what it chains.
    void filter();

    TwoSites m_sites;
    RecordingDesktopServices m_services;
    ScriptedUserPrompts m_prompts;
    std::unique_ptr<App> m_app;
    int m_dirs = 0;
};

void TestDupesFilter::exactMatching_data() {
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("right");
    QTest::addColumn<QStringList>("leftKept");
    QTest::addColumn<QStringList>("rightKept");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("inFirstPass");
    QTest::newRow("underscore against dot, letter case")
        << QStringList{u".."_s, u"Some_File.zip"_s, u"mine"_s}
        << QStringList{u".."_s, u"some.file.zip"_s, u"theirs"_s}
        << QStringList{u".."_s, u"mine"_s} << QStringList{u".."_s, u"theirs"_s} << 1 << 1;
    QTest::newRow("mixed separators are not the same name")
        << QStringList{u"a_b.c"_s} << QStringList{u"a.b_c"_s} << QStringList{u"a_b.c"_s}
        << QStringList{u"a.b_c"_s} << 0 << 0;
    QTest::newRow("nothing in common")
        << QStringList{u".."_s, u"x"_s} << QStringList{u".."_s, u"y"_s}
        << QStringList{u".."_s, u"x"_s} << QStringList{u".."_s, u"y"_s} << 0 << 0;
    // The scan takes the last entry of the other list that is contained in
    // the name, even when an equal one stands before it.
    QTest::newRow("last contained entry goes")
        << QStringList{u"abc"_s} << QStringList{u"abc"_s, u"b"_s}
        << QStringList() << QStringList{u"abc"_s} << 1 << 1;
    QTest::newRow("dot against underscore: variant B")
        << QStringList{u"Release.Name"_s, u"other"_s} << QStringList{u"release_name"_s}
        << QStringList{u"other"_s} << QStringList() << 1 << 1;
    // Only the right name's variant A finds the left one.
    QTest::newRow("found in the second pass")
        << QStringList{u"x.y.z"_s} << QStringList{u"x_y.z"_s} << QStringList() << QStringList()
        << 1 << 0;
    QTest::newRow("empty lists") << QStringList() << QStringList() << QStringList()
                                 << QStringList() << 0 << 0;
}

void TestDupesFilter::exactMatching() {
    QFETCH(QStringList, left);
    QFETCH(QStringList, right);
    const DupeOutcome outcome = ExactDupes(left, right, NoStop);
    const Kept kept = Remaining(left, right, outcome);
    QTEST(kept.left, "leftKept");
    QTEST(kept.right, "rightKept");
    QTEST(outcome.removed, "removed");
    QTEST(int(outcome.passes[0].left.size()), "inFirstPass");
}

void TestDupesFilter::partialMatching_data() {
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<QStringList>("right");
    QTest::addColumn<QStringList>("leftKept");
    QTest::addColumn<QStringList>("rightKept");
    QTest::newRow("a name inside another")
        << QStringList{u".."_s, u"release"_s} << QStringList{u".."_s, u"release-2"_s}
        << QStringList{u".."_s} << QStringList{u".."_s};
    QTest::newRow("variant C: underscores as dashes")
        << QStringList{u"My_Show"_s} << QStringList{u"x-my-show-720p"_s} << QStringList()
        << QStringList();
    QTest::newRow("variant D: dots as dashes")
        << QStringList{u"my.show"_s} << QStringList{u"my-show.avi"_s} << QStringList()
        << QStringList();
    QTest::newRow("the first holder goes, the others stay")
        << QStringList{u"abc"_s} << QStringList{u"xabcx"_s, u"abc"_s} << QStringList()
        << QStringList{u"abc"_s};
    QTest::newRow("both passes")
        << QStringList{u"one"_s, u"two-extra"_s} << QStringList{u"one-extra"_s, u"two"_s}
        << QStringList() << QStringList();
    QTest::newRow("nothing in common") << QStringList{u"x"_s} << QStringList{u"y"_s}
                                       << QStringList{u"x"_s} << QStringList{u"y"_s};
    // What the first pass removed is not searched in the second.
    QTest::newRow("gone after the first pass")
        << QStringList{u"abc"_s, u"abcde"_s} << QStringList{u"abcd"_s}
        << QStringList{u"abcde"_s} << QStringList();
    QTest::newRow("one list emptied by the first pass")
        << QStringList{u"ab"_s, u"cd"_s, u"ef"_s}
        << QStringList{u"ab1"_s, u"cd1"_s, u"ef1"_s, u"a"_s} << QStringList()
        << QStringList{u"a"_s};
}

void TestDupesFilter::partialMatching() {
    QFETCH(QStringList, left);
    QFETCH(QStringList, right);
    const Kept kept = Remaining(left, right, PartialDupes(left, right, NoStop));
    QTEST(kept.left, "leftKept");
    QTEST(kept.right, "rightKept");
}

void TestDupesFilter::progressAndStop() {
    QStringList left, right;
    for (int i = 0; i < 12; ++i) {
        left << u"file%1"_s.arg(i);
        right << u"FILE%1"_s.arg(i + 6);
    }
    QList<std::pair<int, int>> shown;
    const DupeOutcome outcome =
        ExactDupes(left, right, NoStop, [&](int processed, int maximum) {
            shown.append({processed, maximum});
        });
    // Six pairs; every third index shows, the maximum dropping per removal.
    QCOMPARE(outcome.removed, 6);
    QCOMPARE(Names(left, outcome.passes[0].left),
             QStringList({u"file6"_s, u"file7"_s, u"file8"_s, u"file9"_s, u"file10"_s,
                          u"file11"_s}));
    QVERIFY(!shown.isEmpty());
    QCOMPARE(shown.first(), std::make_pair(2, 22 - 2)); // index 10 after two removals
    QCOMPARE(shown.last().second, 22 - 6);

    std::atomic<bool> stop{true};
    const DupeOutcome stopped = PartialDupes(left, right, stop);
    QCOMPARE(stopped.removed, 0);
}

void TestDupesFilter::nameIndexFindsTheFirstName() {
    const QStringList names{u"zzabcd"_s, u"abc"_s, u"xab"_s, u"qabcdq"_s};
    const NameIndex index(names);
    QCOMPARE(index.FirstContaining(u"abcd"_s), 0);
    QCOMPARE(index.FirstContaining(u"abc"_s), 0);
    QCOMPARE(index.FirstContaining(u"ab"_s), 0);
    QCOMPARE(index.FirstContaining(u"xab"_s), 2);
    QCOMPARE(index.FirstContaining(u"dq"_s), 3);
    QCOMPARE(index.FirstContaining(u"abcdx"_s), -1);
    QCOMPARE(index.FirstContaining(u"q"_s), 3);
}

void TestDupesFilter::yesterdayDirectory_data() {
    QTest::addColumn<QString>("today");
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("yesterday");
    QTest::newRow("0301, common year") << u"/incoming/0301/"_s << 2026 << u"/incoming/0228/"_s;
    QTest::newRow("0301, leap year") << u"/incoming/0301"_s << 2024 << u"/incoming/0229/"_s;
    QTest::newRow("0115") << u"/incoming/0115/"_s << 2026 << u"/incoming/0114/"_s;
    QTest::newRow("0101") << u"/in/x0101/"_s << 2026 << u"/in/x1231/"_s;
    QTest::newRow("0501") << u"/0501/"_s << 2026 << u"/0430/"_s;
    QTest::newRow("not a date") << u"/incoming/today/"_s << 2026 << QString();
    QTest::newRow("month 13") << u"/incoming/1301/"_s << 2026 << QString();
    QTest::newRow("too short") << u"/1/"_s << 2026 << QString();
}

void TestDupesFilter::yesterdayDirectory() {
    QFETCH(QString, today);
    QFETCH(int, year);
    QTEST(YesterdayDirectory(today, year), "yesterday");
}

void TestDupesFilter::initTestCase() {
    QString error;
    QVERIFY2(m_sites.startServers(error), qPrintable(error));
}

void TestDupesFilter::cleanup() {
    m_app.reset();
    m_prompts = ScriptedUserPrompts();
}

void TestDupesFilter::startApp(const QByteArray& mainKeys) {
    m_app = m_sites.startConnectedApp(m_services, m_prompts, mainKeys);
    QVERIFY(m_app);
}

void TestDupesFilter::fill(const QStringList& left, const QStringList& right) {
    const QString name = u"korvane-dupes-%1-%2"_s.arg(QCoreApplication::applicationPid()).arg(++m_dirs);
    for (auto [side, files] : {std::pair{&m_app->left(), left}, std::pair{&m_app->right(), right}}) {
        const QString dir = side->currentPath() + name + u'/';
        side->session().MakeDir(dir);
        for (const QString& file : files) {
            if (file.endsWith(u'/'))
                side->session().MakeDir(dir + file);
            else
                QVERIFY(PutRemoteFile(side->session(), dir + file, file.toUtf8()));
        }
        side->session().ChangeDir(dir);
    }
}

QStringList TestDupesFilter::shown(SideId id) const {
    QStringList names;
    for (const DirEntry& entry : m_app->side(id).listing().entries())
        names << entry.name;
    return names;
}

bool TestDupesFilter::logged(const QString& text, Colour colour) const {
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = 0; i < store.count(); ++i)
        if (store.line(i).text == text && store.line(i).colour == colour)
            return true;
    return false;
}

void TestDupesFilter::filter() {
    QSignalSpy completed(&m_app->dupeFilter(), &DupeFilter::completed);
    m_app->dupeFilter().RemoveDupes1Click();
    QVERIFY(completed.wait(10000));
}

void TestDupesFilter::filtersTwoRealListings() {
    startApp();
    fill({u"Common_File.zip"_s, u"mine.zip"_s, u"Shared/"_s},
         {u"common.file.zip"_s, u"theirs.zip"_s, u"shared/"_s});
    QSignalSpy started(&m_app->dupeFilter(), &DupeFilter::runStarted);
    QStringList panel;
    QObject::connect(&m_app->left(), &Side::statusBarTextChanged, m_app.get(),
                     [&panel](const QString& text) { panel << text; });
    filter();
    QCOMPARE(shown(SideId::Left), QStringList({u".."_s, u"mine.zip"_s}));
    QCOMPARE(shown(SideId::Right), QStringList({u".."_s, u"theirs.zip"_s}));
    // The gauge's maximum: both lists' rows less one each.
    QCOMPARE(started.first().first().toInt(), 3 + 3);
    QCOMPARE(panel.first(), u"Removing Dupes."_s);
    QCOMPARE(panel.last(), u"Idle."_s);
    QVERIFY(logged(u" 2 dupes filtered."_s, clFuchsia));
    QVERIFY(m_app->left().button(SideButton::FilterDupes).enabled);
    QCOMPARE(m_app->left().button(SideButton::FilterDupes).imageIndex, FilterImageReady);

    // Again: nothing in common is left.
    filter();
    QVERIFY(logged(u" 0 dupes filtered."_s, clFuchsia));
    // Partial mode: "mine.zip" is inside "mine.zip.sfv".
    m_app->WriteToggle(ToggleKey::DupeMatch, false);
    QVERIFY(PutRemoteFile(m_app->right().session(), m_app->right().currentPath() + u"mine.zip.sfv"_s, "s"));
    m_app->listing().RefreshDirectory(SideId::Right, false);
    filter();
    QCOMPARE(shown(SideId::Left), QStringList(u".."_s));
    // The refresh brought back what the exact run had hidden.
    QCOMPARE(shown(SideId::Right).join(u"|"_s), u"..|shared|common.file.zip|theirs.zip"_s);
}

void TestDupesFilter::twoDayFilter() {
    startApp();
    const QString today = u"0301"_s;
    const QString yesterday =
        YesterdayDirectory(u"/"_s + today + u'/', QDate::currentDate().year()).mid(1, 4);
    fill({yesterday + u'/', today + u'/'}, {u"old.zip"_s, u"new.zip"_s, u"other.zip"_s});
    Side& left = m_app->left();
    const QString base = left.currentPath();
    QVERIFY(PutRemoteFile(left.session(), base + yesterday + u"/old.zip"_s, "o"));
    QVERIFY(PutRemoteFile(left.session(), base + today + u"/new.zip"_s, "n"));
    QVERIFY(PutRemoteFile(left.session(), base + today + u"/only-here.zip"_s, "h"));
    m_prompts.inputAnswers.enqueue(base + today);
    QSignalSpy completed(&m_app->dupeFilter(), &DupeFilter::completed);
    m_app->dupeFilter().TwoDayFilter(SideId::Left);
    QCOMPARE(m_prompts.asked.last(), u"input:Two Day Dupe|Todays Date Directory"_s);
    QCOMPARE(m_prompts.inputDefaults.last(), base);
    QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 2, 10000);
    QVERIFY(logged(u" 2 Day Dupe Complete"_s, clFuchsia));
    QCOMPARE(left.currentPath(), base + today + u'/');
    QCOMPARE(shown(SideId::Left), QStringList({u".."_s, u"only-here.zip"_s}));
    QCOMPARE(shown(SideId::Right), QStringList({u".."_s, u"other.zip"_s}));
    QVERIFY(left.button(SideButton::TwoDayFilterDupes).enabled);

    // Not a dated directory: nothing is entered.
    m_prompts.inputAnswers.enqueue(base + u"today"_s);
    m_app->dupeFilter().TwoDayFilter(SideId::Left);
    QVERIFY(logged(u"Two Day Dupe: "_s + base + u"today/ does not end in a date (MMDD)"_s, clRed));
    QCOMPARE(left.currentPath(), base + today + u'/');
}

void TestDupesFilter::raceQueuesTheSmallerListFirst() {
    startApp();
    fill({u"both.zip"_s, u"left1.zip"_s, u"left2.zip"_s}, {u"both.zip"_s, u"right.zip"_s});
    QStringList queued;
    QObject::connect(&m_app->queue(), &QAbstractItemModel::rowsInserted, m_app.get(),
                     [this, &queued](const QModelIndex&, int first, int last) {
                         for (int row = first; row <= last; ++row)
                             queued << FileNamePart(m_app->queue().entry(row).SourcePath);
                     });
    QSignalSpy completed(&m_app->dupeFilter(), &DupeFilter::completed);
    m_app->dupeFilter().setRace(true);
    // The first run queues and copies; the second finds nothing left to copy.
    QTRY_COMPARE_WITH_TIMEOUT(completed.count(), 2, 20000);
    // The right list is the smaller one after the filter: it goes first.
    QCOMPARE(queued, QStringList({u"right.zip"_s, u"left1.zip"_s, u"left2.zip"_s}));
    QVERIFY(m_app->queue().isEmpty());
    QCOMPARE(FetchRemoteFile(m_app->left().session(), m_app->left().currentPath() + u"right.zip"_s),
             QByteArray("right.zip"));
    m_app->dupeFilter().setRace(false);
}

QTEST_GUILESS_MAIN(TestDupesFilter)
#include "test_dupes_filter.moc"
