// The directory cache: recording and replaying listings, keys, lost or damaged
// files, unfinished recordings and leftovers of earlier runs.
#include "listing/DirectoryCache.h"
#include "net/WireText.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <optional>
#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Replay : CacheReplayListener {
    QStringList events;
    void replayStarted() override { events << u"<started>"_s; }
    void replayLine(const QString& line) override { events << line; }
    void replayFinished() override { events << u"<finished>"_s; }
};

const QStringList Missed = {u"<miss>"_s};

QStringList Framed(const QStringList& lines) {
    return QStringList{u"<started>"_s} + lines + QStringList{u"<finished>"_s};
}

bool WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(name);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Caps the size of files this process writes, so writes fail as on a full disk.
struct FileSizeLimit {
    rlimit saved{};
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved); }
};

} // namespace

class TestListingCache : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> m_dir;
    std::optional<DirectoryCache> m_cache;
    QStringList files() const { return QDir(m_dir->path()).entryList(QDir::Files); }

    // A lookup that must be fetched: nothing replayed, a recording open.
    bool miss(const QString& path, bool useCache = true) {
        Replay replay;
        return !m_cache->CacheLookup(path, useCache, replay) && m_cache->isRecording() &&
               replay.events.isEmpty();
    }
    // What a fetched listing does: miss, record every line, close.
    bool fetch(const QString& path, const QStringList& lines) {
        const bool recorded = miss(path) && std::all_of(lines.begin(), lines.end(), [&](auto& l) {
                                  return m_cache->Record(l);
                              });
        m_cache->CloseRecording();
        return recorded;
    }
    // What a navigation to path shows, ending in "<miss>" on a miss, whose recording is dropped.
    QStringList visit(const QString& path) {
        Replay replay;
        if (!m_cache->CacheLookup(path, true, replay)) {
            m_cache->DiscardRecording();
            replay.events << u"<miss>"_s;
        }
        return replay.events;
    }

private Q_SLOTS:
    void init() {
        m_dir.emplace();
        m_cache.emplace(m_dir->path());
    }
    void cleanup() { m_cache.reset(); }
    void missRecordsThenHitReplaysExactly();
    void lookupsMatchExactPathsNewestFirst();
    void lookupWithoutCacheRerecords();
    void clearDeletesEverything();
    void unfinishedRecordingsAreNeverReplayed();
    void writeErrorsDropTheRecording_data();
    void writeErrorsDropTheRecording();
    void largeListing();
    void removeStaleFiles();
};

void TestListingCache::missRecordsThenHitReplaysExactly() {
    const QStringList lines = {
        u"drwxr-xr-x   2 ftp  ftp      4096 Jan  1 00:00 pub"_s,
        u"   leading blanks\tand a trailing one "_s,
        u"carriage return\r inside and at the end\r"_s,
        WireText::Decode("Latin-1 caf\xe9 and stray \xff\xfe\x80"),
        WireText::Decode("UTF-8 caf\xc3\xa9 \xf0\x9f\x93\x81"),
        QString(),
    };
    QVERIFY(fetch(u"/pub/"_s, lines));
    QCOMPARE(visit(u"/pub/"_s), Framed(lines));
    QVERIFY(!m_cache->isRecording());

    QCOMPARE(m_cache->records().size(), 1u);
    QCOMPARE(m_cache->records()[0].Path, u"/pub/"_s);
    const QFileInfo file(m_cache->records()[0].FileName);
    QCOMPARE(file.absolutePath(), QDir(m_dir->path()).absolutePath());
    QVERIFY(file.fileName().startsWith(u"fxp"_s));
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    QCOMPARE(file.permissions() & others, QFile::Permissions());

    // An empty listing is a listing too.
    QVERIFY(fetch(u"/empty/"_s, {}));
    QCOMPARE(visit(u"/empty/"_s), Framed({}));
}

void TestListingCache::lookupsMatchExactPathsNewestFirst() {
    QVERIFY(fetch(u"/pub/"_s, {u"old"_s}));
    QVERIFY(fetch(u"/Pub/"_s, {u"upper"_s}));
    QVERIFY(fetch(u"/pub"_s, {u"no separator"_s}));
    QCOMPARE(visit(u"/Pub/"_s), Framed({u"upper"_s}));
    QCOMPARE(visit(u"/pub"_s), Framed({u"no separator"_s}));

    // Its file gone: fetched again under a new record; the old one stays but loses.
    const QString oldFile = m_cache->records()[0].FileName;
    QVERIFY(QFile::remove(oldFile));
    QVERIFY(fetch(u"/pub/"_s, {u"new"_s}));
    QCOMPARE(m_cache->records().size(), 4u);
    QVERIFY(m_cache->records()[3].FileName != oldFile);
    QVERIFY(WriteFile(oldFile, "old\n"));
    QCOMPARE(visit(u"/pub/"_s), Framed({u"new"_s}));

    // Cut short or unreadable: a miss too, with no fall back to the older record.
    QVERIFY(WriteFile(m_cache->records()[3].FileName, "new\nne"));
    const QString unreadable = m_cache->records()[1].FileName;
    QVERIFY(QFile::remove(unreadable) && QDir().mkdir(unreadable));
    // Opens but fails to read (address 0 of our memory is never mapped).
    const QString failing = m_cache->records()[2].FileName;
    QVERIFY(QFile::remove(failing) && QFile::link(u"/proc/self/mem"_s, failing));
    QCOMPARE(visit(u"/pub/"_s), Missed);
    QCOMPARE(visit(u"/Pub/"_s), Missed);
    QCOMPARE(visit(u"/pub"_s), Missed);
}

void TestListingCache::lookupWithoutCacheRerecords() {
    QVERIFY(fetch(u"/pub/"_s, {u"old"_s}));
    QVERIFY(fetch(u"/other/"_s, {u"other"_s}));
    const QString oldFile = m_cache->records()[0].FileName;
    QVERIFY(miss(u"/pub/"_s, false));
    QVERIFY(m_cache->Record(u"new"_s));
    m_cache->CloseRecording();

    // The record is refreshed in place, its old file gone.
    QCOMPARE(m_cache->records().size(), 2u);
    QCOMPARE(m_cache->records()[0].Path, u"/pub/"_s);
    QVERIFY(!QFile::exists(oldFile));
    QCOMPARE(visit(u"/pub/"_s), Framed({u"new"_s}));
}

void TestListingCache::clearDeletesEverything() {
    QVERIFY(fetch(u"/a/"_s, {u"a"_s}));
    QVERIFY(fetch(u"/b/"_s, {u"b"_s}));
    QVERIFY(miss(u"/c/"_s));
    QVERIFY(m_cache->Record(u"c"_s));

    m_cache->Clear();
    QVERIFY(m_cache->records().empty());
    QVERIFY(!m_cache->Record(u"late"_s));
    QCOMPARE(files(), QStringList());
    QVERIFY(miss(u"/a/"_s));
}

void TestListingCache::unfinishedRecordingsAreNeverReplayed() {
    QVERIFY(fetch(u"/kept/"_s, {u"kept"_s}));

    // The listing failed.
    QVERIFY(miss(u"/pub/"_s));
    QVERIFY(m_cache->Record(u"partial"_s));
    m_cache->DiscardRecording();
    QCOMPARE(files().size(), 1);
    QCOMPARE(visit(u"/pub/"_s), Missed);

    // Never closed before the next lookup.
    QVERIFY(miss(u"/pub/"_s));
    QVERIFY(m_cache->Record(u"partial"_s));
    QVERIFY(fetch(u"/other/"_s, {}));
    QCOMPARE(visit(u"/pub/"_s), Missed);

    // A line holding LF would come back as two.
    QVERIFY(miss(u"/lf/"_s));
    QVERIFY(!m_cache->Record(u"one\ntwo"_s));
    QVERIFY(!m_cache->isRecording());
    QCOMPARE(visit(u"/lf/"_s), Missed);

    QCOMPARE(m_cache->records().size(), 2u);
    QCOMPARE(visit(u"/kept/"_s), Framed({u"kept"_s}));
}

void TestListingCache::writeErrorsDropTheRecording_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("lines");
    // Writing fails at once, or only when the buffered lines are flushed.
    QTest::newRow("while recording") << 8192 << 5000;
    QTest::newRow("on close") << 0 << 3;
}

void TestListingCache::writeErrorsDropTheRecording() {
    QFETCH(int, limit);
    QFETCH(int, lines);
    QVERIFY(fetch(u"/kept/"_s, {u"kept"_s}));
    QVERIFY(miss(u"/pub/"_s));
    int written = 0;
    bool accepted = true;
    {
        // No test output while the limit holds: it may be going to a file.
        FileSizeLimit full(limit);
        for (; written < lines && m_cache->isRecording(); ++written)
            accepted = m_cache->Record(u"-rw-r--r-- 1 ftp ftp 1 Jan 1 00:00 name"_s);
        m_cache->CloseRecording();
    }
    QCOMPARE(written == lines, limit == 0);
    QCOMPARE(accepted, limit == 0); // the line that failed says so
    QCOMPARE(files().size(), 1);
    QCOMPARE(m_cache->records().size(), 1u);
    QCOMPARE(visit(u"/pub/"_s), Missed);
}

void TestListingCache::largeListing() {
    QStringList lines;
    for (int i = 0; i < 100000; ++i)
        lines << u"-rw-r--r--   1 user  group  %1 Jan  1 00:00 file%1.bin"_s.arg(i);
    QVERIFY(fetch(u"/big/"_s, lines));
    QCOMPARE(visit(u"/big/"_s), Framed(lines));
}

void TestListingCache::removeStaleFiles() {
    const QDir folder(m_dir->path());
    // No process can have the largest pid_t; ours is running; the rest are not our names.
    const QStringList stale = {u"fxp2147483647-a1B2c3.kcache"_s, u"fxp2147483647-ZZZZZZ.kcache"_s};
    const QStringList others = {u"fxp%1-a1B2c3.kcache"_s.arg(QCoreApplication::applicationPid()),
                                u"fxp2147483647-a1B2c3.tmp"_s,
                                u"fxp-a1B2c3.kcache"_s,
                                u"fxp0-a1B2c3.kcache"_s,
                                u"fxp2147483648-a1B2c3.kcache"_s,
                                u"fxp2147483647a1B2c3.kcache"_s,
                                u"target"_s};
    for (const QString& name : stale + others)
        QVERIFY(WriteFile(folder.filePath(name), "line\n"));
    QVERIFY(QFile::link(u"target"_s, folder.filePath(u"fxp2147483647-link00.kcache"_s)));
    QVERIFY(folder.mkdir(u"fxp2147483647-dir000.kcache"_s));
    QVERIFY(fetch(u"/pub/"_s, {u"live"_s}));

    const auto entries = [&] { return folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot); };
    QStringList expected = entries();
    for (const QString& name : stale)
        expected.removeOne(name);
    QCOMPARE(DirectoryCache::RemoveStaleFiles(m_dir->path()), 2);
    QCOMPARE(entries(), expected);
    QCOMPARE(visit(u"/pub/"_s), Framed({u"live"_s}));
}

QTEST_GUILESS_MAIN(TestListingCache)
#include "test_listing_cache.moc"
