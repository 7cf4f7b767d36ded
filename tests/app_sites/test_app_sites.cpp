// Saved sites: password scrambling, Korvane.ini storage, Stats.dat, the
// quick-connect history, the command line and the site drop-down.
#include "TempDataDir.h"
#include "sites/CommandLineConnect.h"
#include "sites/PasswordScrambler.h"
#include "sites/QuickConnect.h"
#include "sites/SiteMenuLayout.h"
#include "sites/SiteStats.h"
#include "sites/SiteStorage.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestAppSites : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();

    void scrambleRestoresEveryCharacter();
    void scrambleMatchesHandComputation();
    void scrambledTextsDifferAndInvalidTextIsRejected();
    void bracketNamesUseMarkerBytes();
    void saveLoadDeleteRename();
    void refusedSavesWriteNothing();
    void damagedPasswordStillLoadsTheSite();
    void notesEncoding_data();
    void notesEncoding();
    void statistics();
    void historyFile();
    void resolveQuickConnect();
    void siteMenu();
    void commandLine_data();
    void commandLine();
    void commandLineSavedSites();

private:
    SiteRecord site(const QString& name, const QString& host) const {
        SiteRecord s;
        s.name = name;
        s.host = host;
        s.user = u"user-"_s + name;
        s.password = u"pw:é;[x]"_s;
        s.port = u"2121"_s;
        s.remotePath = u"/pub/"_s + name;
        s.localPath = u"/tmp/l"_s;
        s.notes = u"one\r\ntwo"_s;
        s.options = u"21"_s;
        s.anonymous = true;
        return s;
    }
    QByteArray ini() const { return m_dir->readFile(u"Korvane.ini"_s); }

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<SiteStorage> m_sites;
};

void TestAppSites::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_sites = std::make_unique<SiteStorage>(m_dir->filePath(u"Korvane.ini"_s));
}

void TestAppSites::scrambleRestoresEveryCharacter() {
    QString all;
    for (int code = 1; code <= 255; ++code) {
        const QString one{QChar(char16_t(code))};
        all += one;
        for (int start : {0, 1, 127, 254, 255})
            QCOMPARE(PasswordScrambler::Restore(PasswordScrambler::Scramble(one, start)), one);
    }
    for (int start = 0; start < 256; ++start)
        QCOMPARE(PasswordScrambler::Restore(PasswordScrambler::Scramble(all, start)), all);
    const QString wide = u"Пароль-密码-🔑"_s;
    QCOMPARE(ScramblePassword('D', ScramblePassword('E', wide)), wide);
    // U+FEFF first is a character of the password, not a byte order mark.
    const QString zeroWidth = u"\uFEFFpw"_s;
    QCOMPARE(ScramblePassword('D', ScramblePassword('E', zeroWidth)), zeroWidth);
}

void TestAppSites::scrambleMatchesHandComputation() {
    // 29 characters: the last one uses key position 1 ("Q") again.
    const QString password = u"Korvane-Password-0123456789!?"_s;
    const QString expected = u"A7A37EC40C1FD90D42C557F32BC963E63D246CFF6BFD0774CE4CB28DE978"_s;
    QCOMPARE(PasswordScrambler::Scramble(password, 0xA7), expected);
    QCOMPARE(PasswordScrambler::Scramble(password.left(28), 0xA7), expected.left(58));
    QCOMPARE(PasswordScrambler::Restore(expected), password);
    QCOMPARE(PasswordScrambler::Restore(expected.toLower()), password);
    // Bytes that are not UTF-8 (an older Latin-1 file) read as Latin-1.
    QCOMPARE(PasswordScrambler::Restore(u"00B8"_s), u"é"_s);
}

void TestAppSites::scrambledTextsDifferAndInvalidTextIsRejected() {
    const QString password = u"secret12"_s;
    QSet<QString> seen;
    for (int i = 0; i < 8; ++i) {
        const QString scrambled = ScramblePassword('E', password);
        QCOMPARE(scrambled.size(), 2 + 2 * password.size());
        QCOMPARE(ScramblePassword('D', scrambled), password);
        seen.insert(scrambled);
    }
    QVERIFY(seen.size() > 1);

    QCOMPARE(ScramblePassword('E', QString()), QString());
    QCOMPARE(ScramblePassword('D', QString()), QString());
    for (const QString& bad : {u"ABC"_s, u"0G12"_s, u"12 4"_s, u"A7A3-E"_s})
        QVERIFY2(!PasswordScrambler::Restore(bad), qPrintable(bad));
    QCOMPARE(ScramblePassword('D', u"0G12"_s), QString());
}

void TestAppSites::bracketNamesUseMarkerBytes() {
    QVERIFY(m_sites->SaveSite(site(u"[Home] ä"_s, u"h.example"_s)));
    const QByteArray section = "\xFEHome\xFF \xC3\xA4";
    QVERIFY(ini().contains("\r\n[" + section + "]\r\n"));
    QVERIFY(ini().contains("s0=" + section + "\r\n"));
    QCOMPARE(m_sites->SiteNames(), QStringList{u"[Home] ä"_s});
    QCOMPARE(m_sites->HostOf(u"[home] ä"_s), u"h.example"_s);

    SiteStats stats(m_dir->filePath(u"Stats.dat"_s));
    QVERIFY(stats.UpdateSiteStats(u"[Home] ä"_s, SiteStats::Kind::Login, 0));
    QVERIFY(m_dir->readFile(u"Stats.dat"_s).startsWith("[" + section + "]\r\nTotal Logins=1\r\n"));
    QCOMPARE(stats.Read(u"[Home] ä"_s).totalConnects, u"1"_s);

    // A name that begins with U+FEFF keeps it, so the site is found again.
    const QString zeroWidth = u"\uFEFFwork"_s;
    QCOMPARE(SiteDisplayName(SiteSectionName(zeroWidth)), zeroWidth);
    QVERIFY(m_sites->SaveSite(site(zeroWidth, u"w.example"_s)));
    QCOMPARE(m_sites->SiteNames(), (QStringList{u"[Home] ä"_s, zeroWidth}));
    QCOMPARE(m_sites->LoadSite(zeroWidth).host, u"w.example"_s);
}

void TestAppSites::saveLoadDeleteRename() {
    for (const QString& name : {u"alpha"_s, u"beta"_s, u"Zeta"_s})
        QVERIFY(m_sites->SaveSite(site(name, name + u".example"_s)));
    // Saving under another letter case updates the same entry.
    SiteRecord changed = site(u"BETA"_s, u"new.example"_s);
    changed.password.clear();
    changed.anonymous = false;
    QVERIFY(m_sites->SaveSite(changed));
    QCOMPARE(m_sites->SiteNames(), (QStringList{u"alpha"_s, u"beta"_s, u"Zeta"_s}));

    SiteRecord beta = m_sites->LoadSite(u"beta"_s);
    QCOMPARE(beta.host, u"new.example"_s);
    QCOMPARE(beta.password, QString());
    QVERIFY(!beta.anonymous && beta.problem.isEmpty());
    const SiteRecord alpha = m_sites->LoadSite(u"alpha"_s);
    const SiteRecord expected = site(u"alpha"_s, u"alpha.example"_s);
    QCOMPARE(alpha.connectRequest().password, expected.password);
    QCOMPARE((QStringList{alpha.user, alpha.port, alpha.remotePath, alpha.localPath, alpha.notes,
                          alpha.options}),
             (QStringList{expected.user, expected.port, expected.remotePath, expected.localPath,
                          expected.notes, expected.options}));
    QVERIFY(alpha.anonymous);
    QVERIFY(ini().contains("Anonymous=1\r\n") && ini().contains("Anonymous=0\r\n"));
    QVERIFY(!ini().contains("pw:"));

    // Delete closes the gap in the index and removes the stale last key.
    QVERIFY(m_sites->DeleteSite(u"Alpha"_s));
    QCOMPARE(m_sites->SiteNames(), (QStringList{u"beta"_s, u"Zeta"_s}));
    QVERIFY(!ini().contains("s2=") && !ini().contains("[alpha]"));
    const SiteRecord gone = m_sites->LoadSite(u"alpha"_s);
    QVERIFY(gone.host.isEmpty() && gone.port == u"21"_s && gone.options == u"3"_s);

    // Rename, with the statistics following the site.
    SiteStats stats(m_dir->filePath(u"Stats.dat"_s));
    QVERIFY(stats.UpdateSiteStats(u"beta"_s, SiteStats::Kind::Received, 10));
    QVERIFY(stats.UpdateSiteStats(u"delta"_s, SiteStats::Kind::Login, 0)); // an old site's
    QVERIFY(m_sites->RenameSite(u"beta"_s, site(u"delta"_s, u"d.example"_s)));
    QVERIFY(stats.MoveSite(u"beta"_s, u"delta"_s));
    QCOMPARE(m_sites->SiteNames(), (QStringList{u"Zeta"_s, u"delta"_s}));
    QVERIFY(!ini().contains("[beta]") && !ini().contains("s2="));
    QCOMPARE(m_sites->HostOf(u"delta"_s), u"d.example"_s);
    QCOMPARE(stats.Read(u"delta"_s).bytesDownloaded, u"10"_s);
    QCOMPARE(stats.Read(u"delta"_s).totalConnects, u"0"_s);
    QCOMPARE(stats.Read(u"beta"_s).filesDownloaded, u"0"_s);
    // A change of letter case only keeps both the site and its statistics.
    QVERIFY(m_sites->RenameSite(u"delta"_s, site(u"Delta"_s, u"d2.example"_s)));
    QVERIFY(stats.MoveSite(u"delta"_s, u"Delta"_s));
    QCOMPARE(m_sites->SiteNames(), (QStringList{u"Zeta"_s, u"Delta"_s}));
    QCOMPARE(stats.Read(u"DELTA"_s).filesDownloaded, u"1"_s);
    // Renaming onto another saved site would replace it.
    QVERIFY(!m_sites->RenameSite(u"zeta"_s, site(u"delta"_s, u"x"_s)));
    QCOMPARE(m_sites->HostOf(u"zeta"_s), u"Zeta.example"_s);

    QVERIFY(m_sites->SavePath(u"ZETA"_s, u"/new"_s));
    QCOMPARE(m_sites->LoadSite(u"zeta"_s).remotePath, u"/new"_s);
    QVERIFY(!m_sites->SavePath(u"quick.example"_s, u"/x"_s));
    QVERIFY(!ini().contains("quick.example"));
    QVERIFY(m_sites->DeleteSite(u"zeta"_s));
    QCOMPARE(m_sites->SiteNames(), QStringList{u"Delta"_s});
}

void TestAppSites::refusedSavesWriteNothing() {
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, "[_Main_]\r\nEmail=me@x\r\n"));
    const QByteArray before = ini();
    // Sections of the program's own, and text that cannot be one INI line.
    QVERIFY(!m_sites->SaveSite(site(u"_main_"_s, u"h"_s)));
    QVERIFY(!m_sites->DeleteSite(u"_Main_"_s));
    QVERIFY(!m_sites->SaveSite(site(u"a\nb"_s, u"h"_s)));
    QVERIFY(!m_sites->SaveSite(site(u"ok"_s, u"h\r\n[x]"_s)));
    QVERIFY(!m_sites->SaveSite(site(QString(), u"h"_s)));
    QVERIFY(!m_sites->SaveSite(site(u" padded"_s, u"h"_s)));
    QCOMPARE(ini(), before);

    QVERIFY(m_sites->SaveSite(site(u"keep"_s, u"h"_s)));
    QVERIFY(!m_sites->RenameSite(u"keep"_s, site(u"bad\nname"_s, u"h"_s)));
    QCOMPARE(m_sites->SiteNames(), QStringList{u"keep"_s});

    // A full index takes no further site; one already in it still saves.
    QByteArray full = "[_Sites_]\r\n";
    for (int i = 0; i < SiteStorage::MaxSites; ++i)
        full += "s" + QByteArray::number(i) + "=site" + QByteArray::number(i) + "\r\n";
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, full + "s3001=hidden\r\n"));
    QCOMPARE(m_sites->SiteNames().size(), SiteStorage::MaxSites);
    QVERIFY(!m_sites->SaveSite(site(u"one-more"_s, u"h"_s)));
    QVERIFY(m_sites->SaveSite(site(u"site3000"_s, u"h"_s)));
    QVERIFY(m_sites->RenameSite(u"site0"_s, site(u"renamed"_s, u"h"_s)));
    QCOMPARE(m_sites->SiteNames().last(), u"renamed"_s);
}

void TestAppSites::damagedPasswordStillLoadsTheSite() {
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, "[_Sites_]\r\ns0=Work\r\n[Work]\r\nIP=w.example\r\n"
                                               "User=bob\r\nPass=ABC\r\nPort=\r\npath=/w\r\n"));
    const SiteRecord work = m_sites->LoadSite(u"Work"_s);
    QVERIFY(work.problem.contains(u"Work"_s));
    QCOMPARE(work.password, QString());
    QCOMPARE(work.host, u"w.example"_s);
    QCOMPARE(work.user, u"bob"_s);
    QCOMPARE(work.port, u"21"_s);
    QCOMPARE(work.remotePath, u"/w"_s);
    QVERIFY(!work.anonymous && work.options == u"3"_s);
}

void TestAppSites::notesEncoding_data() {
    QTest::addColumn<QString>("notes");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("loaded");
    QTest::newRow("two lines and an empty one") << u"a\r\nb\r\n\r\n"_s << u"a;b"_s << u"a\r\nb"_s;
    QTest::newRow("blanks trimmed") << u"  a \r\n\tb  "_s << u"a;b"_s << u"a\r\nb"_s;
    QTest::newRow("bare line feeds") << u"a\nb\n"_s << u"a;b"_s << u"a\r\nb"_s;
    QTest::newRow("empty line inside") << u"a\r\n\r\nb"_s << u"a;;b"_s << u"a\r\n\r\nb"_s;
    QTest::newRow("only one trailing ; goes") << u"a\r\n\r\n\r\n"_s << u"a;"_s << u"a\r\n"_s;
    QTest::newRow("empty") << QString() << QString() << QString();
}

void TestAppSites::notesEncoding() {
    QFETCH(QString, notes);
    QFETCH(QString, stored);
    QFETCH(QString, loaded);
    QCOMPARE(EncodeNotes(notes), stored);
    QCOMPARE(DecodeNotes(stored), loaded);
}

void TestAppSites::statistics() {
    SiteStats stats(m_dir->filePath(u"Stats.dat"_s));
    const QLocale german(QLocale::German, QLocale::Germany);
    QVERIFY(stats.UpdateSiteStats(QString(), SiteStats::Kind::Login, 0));
    QVERIFY(!QFile::exists(m_dir->filePath(u"Stats.dat"_s)));
    SiteStatsView empty = stats.Read(u"s"_s, german);
    QCOMPARE(empty.lastConnect, u"none"_s);
    QCOMPARE(empty.totalSince, u"none"_s);
    QCOMPARE(empty.totalConnects, u"0"_s);
    QCOMPARE(empty.totalBytes, u"0"_s);

    const QDateTime first(QDate(2024, 3, 5), QTime(7, 8, 9));
    const QDateTime later = first.addDays(1);
    const qint64 big = 3 * (qint64(1) << 30); // past what 32 bits count
    QVERIFY(stats.UpdateSiteStats(u"s"_s, SiteStats::Kind::Login, 0, first));
    QVERIFY(stats.UpdateSiteStats(u"s"_s, SiteStats::Kind::Login, 0, later));
    QVERIFY(stats.UpdateSiteStats(u"s"_s, SiteStats::Kind::Sent, big, first));
    QVERIFY(stats.UpdateSiteStats(u"s"_s, SiteStats::Kind::Sent, big, later));
    QVERIFY(stats.UpdateSiteStats(u"s"_s, SiteStats::Kind::Received, 5, later));
    QVERIFY(stats.UpdateSiteStats(u"other"_s, SiteStats::Kind::Sent, 1, later));
    QVERIFY(m_dir->readFile(u"Stats.dat"_s).contains("Last Login=2024-03-06 07:08:09\r\n"));
    SiteStatsView view = stats.Read(u"S"_s, german);
    QCOMPARE(view.totalConnects, u"2"_s);
    QVERIFY2(view.lastConnect.startsWith(u"06.03.24 07:08:09"_s), qPrintable(view.lastConnect));
    QCOMPARE(view.filesUploaded, u"2"_s);
    QCOMPARE(view.bytesUploaded, QString::number(2 * big));
    QCOMPARE(view.filesDownloaded, u"1"_s);
    QCOMPARE(view.bytesDownloaded, u"5"_s);
    QCOMPARE(view.totalBytes, QString::number(2 * big + 1));     // received bytes not counted
    QVERIFY(view.totalSince.startsWith(u"05.03.24 07:08:09"_s)); // set when it was 0

    // Site-to-site copies count for both sites. They are held until the
    // oldest held is a second old, then written together.
    const QByteArray written = m_dir->readFile(u"Stats.dat"_s);
    QVERIFY(stats.RecordCopy(u"other"_s, u"s"_s, 3, later));
    QVERIFY(stats.RecordCopy(u"other"_s, u"s"_s, 4, later.addMSecs(999)));
    QCOMPARE(m_dir->readFile(u"Stats.dat"_s), written);
    QVERIFY(stats.RecordCopy(u"other"_s, u"s"_s, 0, later.addSecs(1)));
    QVERIFY(m_dir->readFile(u"Stats.dat"_s).contains("Total Sent Files=4\r\n"));
    QCOMPARE(stats.Read(u"s"_s, german).filesDownloaded, u"4"_s);
    QCOMPARE(stats.Read(u"s"_s, german).bytesDownloaded, u"12"_s);
    QCOMPARE(stats.Read(u"s"_s, german).totalBytes, QString::number(2 * big + 8));
    // Reading, and the end of the object, write what is held.
    QVERIFY(stats.RecordCopy(u"other"_s, u"s"_s, 1, later));
    QCOMPARE(stats.Read(u"other"_s, german).filesUploaded, u"5"_s);
    {
        SiteStats shortLived(m_dir->filePath(u"Stats.dat"_s));
        QVERIFY(shortLived.RecordCopy(u"other"_s, u"s"_s, 1, later));
    }
    QCOMPARE(stats.Read(u"other"_s, german).filesUploaded, u"6"_s);

    // Values written by older versions: float byte counts, locale dates, junk.
    const QString localeDate = QLocale::system().toString(
        first, QLocale::system().dateFormat(QLocale::ShortFormat) + u" "_s +
                   QLocale::system().timeFormat(QLocale::LongFormat));
    QVERIFY(
        m_dir->writeFile(u"Stats.dat"_s, "[old]\r\nTotal Sent Bytes=1.5E10\r\nLast Login=junk\r\n"
                                         "[Total]\r\nBytes=12\r\nSince=" +
                                             localeDate.toUtf8() + "\r\n"));
    view = stats.Read(u"old"_s, german);
    QCOMPARE(view.bytesUploaded, u"15000000000"_s);
    QVERIFY2(view.lastConnect.startsWith(u"11.01.90 11:11:11"_s), qPrintable(view.lastConnect));
    QVERIFY2(view.totalSince.startsWith(u"05.03.24 07:08:09"_s), qPrintable(view.totalSince));
    QVERIFY(stats.UpdateSiteStats(u"old"_s, SiteStats::Kind::Sent, 1, later));
    QCOMPARE(stats.Read(u"old"_s).bytesUploaded, u"15000000001"_s);

    // Reset: a site named "Total" does not take the grand total with it.
    QVERIFY(stats.UpdateSiteStats(u"Total"_s, SiteStats::Kind::Login, 0, later));
    QVERIFY(stats.ResetSite(u"Total"_s));
    QCOMPARE(stats.Read(u"x"_s).totalBytes, u"13"_s);
    QVERIFY(stats.ResetSite(u"old"_s));
    QCOMPARE(stats.Read(u"old"_s).bytesUploaded, u"0"_s);
    QVERIFY(stats.ResetTotal());
    QCOMPARE(stats.Read(u"x"_s).totalSince, u"none"_s);
    QVERIFY(!m_dir->readFile(u"Stats.dat"_s).contains("[Total]"));
}

void TestAppSites::historyFile() {
    const QString path = m_dir->filePath(u"History.dat"_s);
    QuickConnectHistory history(path);
    QStringList problems;
    QVERIFY(history.Load(&problems).isEmpty() && problems.isEmpty());
    QVERIFY(QuickConnectHistory(m_dir->path()).Load(&problems).isEmpty()); // a folder
    QCOMPARE(problems.size(), 1);
    problems.clear();

    const HistoryEntry withColons{u"h"_s, u"u"_s, u"p"_s, u"21"_s, u"/a:b/c:"_s};
    QVERIFY(history.Add(withColons, {}));
    QCOMPARE(history.Load(), QList<HistoryEntry>{withColons});
    const QByteArray once = m_dir->readFile(u"History.dat"_s);
    QVERIFY(history.Add(withColons, history.Load()));
    QCOMPARE(m_dir->readFile(u"History.dat"_s), once);
    // A colon elsewhere would shift the fields when read back.
    QVERIFY(!history.Add({u"h"_s, u"u"_s, u"p:q"_s, u"21"_s, u""_s}, history.Load()));
    QCOMPARE(history.Load().size(), 1);
    QCOMPARE(HistoryEntry::FromPlain(u"::p"_s), (HistoryEntry{u""_s, u""_s, u"p"_s, u""_s, u""_s}));

    // Newest first; 16 lines are written, 15 read back.
    QList<HistoryEntry> added{withColons};
    for (int i = 1; i <= 15; ++i) {
        const HistoryEntry e{u"host%1"_s.arg(i), u"u"_s, u"p"_s, u"21"_s, u"/"_s};
        QVERIFY(history.Add(e, history.Load()));
        added.prepend(e);
    }
    QCOMPARE(m_dir->readFile(u"History.dat"_s).count("\r\n"), 16);
    QCOMPARE(history.Load(), added.first(15));

    // A damaged line is left out and reported; an empty line ends the list.
    const QByteArray good = ScramblePassword('E', u"a:b:c:21:/"_s).toLatin1();
    QVERIFY(m_dir->writeFile(u"History.dat"_s, good + "\r\nXYZ\r\n" + good + "\n\n" + good));
    const QList<HistoryEntry> loaded = history.Load(&problems);
    QCOMPARE(loaded.size(), 2);
    QCOMPARE(loaded[1], (HistoryEntry{u"a"_s, u"b"_s, u"c"_s, u"21"_s, u"/"_s}));
    QCOMPARE(problems.size(), 1);
    QVERIFY(problems[0].contains(u"Line 2"_s));
}

void TestAppSites::resolveQuickConnect() {
    QVERIFY(m_sites->SaveSite(site(u"[Saved]"_s, u"saved.example"_s)));
    QuickConnectFields fields;
    QCOMPARE(ResolveQuickConnect(fields, *m_sites, u"me@x"_s).connect, false);

    // Not a saved site, no user: anonymous with the e-mail address.
    fields.server = u"ftp.example"_s;
    fields.port = QString();
    fields.path = u"/pub"_s;
    QuickConnectResult r = ResolveQuickConnect(fields, *m_sites, u"me@x"_s);
    QVERIFY(r.connect && r.addToHistory);
    QCOMPARE(r.request.displayName, u"ftp.example"_s);
    QCOMPARE(r.request.options, u"3"_s);
    QCOMPARE(r.entry,
             (HistoryEntry{u"ftp.example"_s, u"anonymous"_s, u"me@x"_s, u"21"_s, u"/pub"_s}));
    QCOMPARE((HistoryEntry{r.request.host, r.request.user, r.request.password, r.request.port,
                           r.request.path}),
             r.entry);

    // A saved site's name: its host, the typed login, no history.
    fields.server = u"[saved]"_s;
    fields.user = u"typed"_s;
    fields.password = u"pw"_s;
    fields.pasvMode = 1;
    fields.normalFxp = true;
    r = ResolveQuickConnect(fields, *m_sites, u"me@x"_s);
    QVERIFY(r.connect && !r.addToHistory);
    QCOMPARE(r.request.host, u"saved.example"_s);
    QCOMPARE(r.request.displayName, u"[saved]"_s);
    QCOMPARE(r.request.user, u"typed"_s);
    QCOMPARE(r.request.options, u"11"_s);

    QCOMPARE(QuickConnectOptions(2, false), u"2"_s);
    QCOMPARE(QuickConnectOptions(3, true), u"31"_s);
    fields.server = u"other.example"_s;
    fields.password = u"with:colon"_s;
    QVERIFY(!ResolveQuickConnect(fields, *m_sites, u"me@x"_s).addToHistory);
}

void TestAppSites::siteMenu() {
    using K = SiteMenuEntry::Kind;
    auto kinds = [](const QList<SiteMenuEntry>& entries) {
        QString text;
        for (const SiteMenuEntry& e : entries)
            text += e.kind == K::ColumnBreak ? u"|"_s : e.caption + u" "_s;
        return text;
    };
    // Five top-level names with Item Count 2: three columns.
    QCOMPARE(kinds(BuildSiteMenu({u"e"_s, u"C"_s, u"a"_s, u"D"_s, u"b"_s}, 2)), u"a b |C D |e "_s);
    QCOMPARE(kinds(BuildSiteMenu({u"c"_s, u"B"_s, u"a"_s}, 0)), u"a B c "_s);
    // Breaks stop after the sixth.
    QStringList many;
    for (int i = 0; i < 10; ++i)
        many << QString::number(i);
    QCOMPARE(kinds(BuildSiteMenu(many, 1)), u"0 |1 |2 |3 |4 |5 |6 7 8 9 "_s);

    // Groups merge across letter case, captioned as first sorted; a site of
    // the group's caption stays a site.
    const QList<SiteMenuEntry> menu = BuildSiteMenu(
        {u"<Work> b"_s, u"z"_s, u"<work> a"_s, u"<broken"_s, u"<WORK>c"_s, u"work"_s, u"a"_s}, 2);
    QCOMPARE(kinds(menu), u"work a |work z "_s);
    QCOMPARE(menu[0].kind, K::Group);
    QCOMPARE(menu[0].members, (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QCOMPARE(menu[0].memberNames, (QStringList{u"<work> a"_s, u"<Work> b"_s, u"<WORK>c"_s}));
    QCOMPARE(menu[3].kind, K::Site);
    // No empty column after the last entry.
    QCOMPARE(kinds(BuildSiteMenu({u"<f> x"_s, u"<g> x"_s, u"<g> y"_s}, 2)), u"f g "_s);
}

void TestAppSites::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("left"); // host port user password options path name
    QTest::addColumn<QStringList>("right");
    QTest::addColumn<QString>("error");
    const QStringList none;
    QTest::newRow("bare host") << QStringList{u"ftp.example"_s}
                               << QStringList{u"ftp.example"_s, u"21"_s, u"anonymous"_s,  u"me@x"_s,
                                              u"3"_s,           u""_s,   u"ftp.example"_s}
                               << none << QString();
    QTest::newRow("ftp address, blanks joined, options left out")
        << QStringList{u"--data-dir"_s, u"/tmp/d"_s, u"FTP://u:p@"_s, u"h:2121/dir/a:b"_s,
                       u"--verbose"_s}
        << QStringList{u"h"_s, u"2121"_s, u"u"_s, u"p"_s, u"3"_s, u"/dir/a:b"_s, u"h"_s} << none
        << QString();
    QTest::newRow("ftp address without port or path; colon fields right")
        << QStringList{u"ftp://u:p@h;h2:v:w:65535:/x:y"_s}
        << QStringList{u"h"_s, u"21"_s, u"u"_s, u"p"_s, u"3"_s, u""_s, u"h"_s}
        << QStringList{u"h2"_s, u"65535"_s, u"v"_s, u"w"_s, u"3"_s, u"/x:y"_s, u"h2"_s}
        << QString();
    QTest::newRow("two colon fields")
        << QStringList{u"h:u"_s}
        << QStringList{u"h"_s, u"21"_s, u"u"_s, u""_s, u"3"_s, u""_s, u"h"_s} << none << QString();
    QTest::newRow("no @") << QStringList{u"ftp://h/dir"_s} << none << none << u"ftp://h/dir"_s;
    QTest::newRow("left read, right bad")
        << QStringList{u"a;:u:p"_s}
        << QStringList{u"a"_s, u"21"_s, u"anonymous"_s, u"me@x"_s, u"3"_s, u""_s, u"a"_s} << none
        << u":u:p"_s;
    QTest::newRow("bad port ends it")
        << QStringList{u"h:u:p:99999;b"_s} << none << none << u"99999"_s;
    QTest::newRow("port not a number")
        << QStringList{u"ftp://u:p@h:2x/"_s} << none << none << u"2x"_s;
    QTest::newRow("no host after @")
        << QStringList{u"ftp://u:p@:21"_s} << none << none << u"ftp://u:p@:21"_s;
    QTest::newRow("no host before /")
        << QStringList{u"ftp://u:p@/dir"_s} << none << none << u"ftp://u:p@/dir"_s;
    QTest::newRow("no password; no user is anonymous")
        << QStringList{u"ftp://u@h;ftp://:pw@h2"_s}
        << QStringList{u"h"_s, u"21"_s, u"u"_s, u""_s, u"3"_s, u""_s, u"h"_s}
        << QStringList{u"h2"_s, u"21"_s, u"anonymous"_s, u"me@x"_s, u"3"_s, u""_s, u"h2"_s}
        << QString();
    QTest::newRow("prefix not first")
        << QStringList{u"x ftp://u:p@h"_s} << none << none << u"x ftp://"_s;
}

void TestAppSites::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, left);
    QFETCH(QStringList, right);
    QFETCH(QString, error);
    const CommandLineConnections c =
        ParseCommandLineConnect(JoinConnectArguments(arguments), *m_sites, u"me@x"_s);
    auto fields = [](const std::optional<ConnectRequest>& r) {
        return r ? QStringList{r->host,    r->port, r->user,       r->password,
                               r->options, r->path, r->displayName}
                 : QStringList();
    };
    QCOMPARE(fields(c.left), left);
    QCOMPARE(fields(c.right), right);
    QVERIFY2(error.isEmpty() ? c.error.isEmpty() : c.error.contains(error), qPrintable(c.error));
}

void TestAppSites::commandLineSavedSites() {
    QVERIFY(m_sites->SaveSite(site(u"[A] one"_s, u"a.example"_s)));
    QVERIFY(m_sites->SaveSite(site(u"b]"_s, u"b.example"_s)));
    CommandLineConnections c = ParseCommandLineConnect(
        JoinConnectArguments({u"[a]"_s, u" one;B]"_s}), *m_sites, u"me@x"_s);
    QVERIFY(c.error.isEmpty() && c.warnings.isEmpty());
    QVERIFY(c.left && c.right);
    QCOMPARE(c.left->host, u"a.example"_s);
    QCOMPARE(c.left->displayName, u"[a] one"_s);
    QCOMPARE(c.left->password, u"pw:é;[x]"_s);
    QCOMPARE(c.left->path, u"/pub/[A] one"_s);
    QCOMPARE(c.left->options, u"21"_s);
    QCOMPARE(c.right->host, u"b.example"_s);
    QCOMPARE(c.right->user, u"user-b]"_s);

    // A saved site without IP is read as an address; a damaged password
    // still connects and is reported.
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s,
                             "[noip]\r\nUser=x\r\n[bad]\r\nIP=bad.example\r\nPass=Q\r\n"));
    c = ParseCommandLineConnect(u"noip;bad"_s, *m_sites, u"me@x"_s);
    QCOMPARE(c.left->host, u"noip"_s);
    QCOMPARE(c.left->user, u"anonymous"_s);
    QCOMPARE(c.right->host, u"bad.example"_s);
    QCOMPARE(c.warnings.size(), 1);
    QVERIFY(c.warnings[0].contains(u"bad"_s));
    QVERIFY(!ParseCommandLineConnect(QString(), *m_sites, u"me@x"_s).left);
}

QTEST_GUILESS_MAIN(TestAppSites)
#include "test_app_sites.moc"
