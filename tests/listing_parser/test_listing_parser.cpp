// The listing parser: fields, layouts, names, sizes, dates and the skip and
// favourites marks, with hostile lines.
#include "listing/ListDate.h"
#include "listing/ListingParser.h"
#include "listing/SkipRules.h"

#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const QLocale Us(QLocale::English, QLocale::UnitedStates);
// Mid-June: "Dec 1 12:00" lies ahead, so it is last December.
const QDateTime Now(QDate(2024, 6, 15), QTime(12, 0));

QDateTime At(int y, int mo, int d, int h = 0, int mi = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC);
}

ListParseContext Context(const QString& system = u"UNIX Type: L8"_s) {
    ListParseContext c;
    c.systemType = system;
    c.now = Now;
    c.locale = Us;
    return c;
}
} // namespace

class TestListingParser : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splitFields_data();
    void splitFields();
    void parseLine_data();
    void parseLine();
    void ignoredLines_data();
    void ignoredLines();
    void sizesAndDateTextFollowTheLocale();
    void marks();
    void unixDates_data();
    void unixDates();
    void msDosDates_data();
    void msDosDates();
    void skipList_data();
    void skipList();
    void favouritesAndNullFiles();
    void hostileLinesAreLinear();
};

void TestListingParser::splitFields_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QStringList>("fields");
    const QStringList eight{u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s};
    auto nine = [&](const QString& last) { return eight + QStringList{last}; };
    QTest::newRow("empty") << QString() << QChar(u' ') << QStringList();
    QTest::newRow("leading and repeated blanks, tabs")
        << u"  \ta  b\t c"_s << QChar(u' ') << QStringList{u"a"_s, u"b\t"_s, u"c"_s};
    QTest::newRow("eight fields, trailing blank") << u"1 2 3 4 5 6 7 8 "_s << QChar(u' ') << eight;
    QTest::newRow("blanks before the eighth are padding")
        << u"1 2 3 4 5 6 7     8"_s << QChar(u' ') << eight;
    QTest::newRow("ninth keeps inner blanks")
        << u"1 2 3 4 5 6 7 8 My  Documents x"_s << QChar(u' ') << nine(u"My  Documents x"_s);
    QTest::newRow("ninth keeps leading blanks")
        << u"1 2 3 4 5 6 7 8   lead"_s << QChar(u' ') << nine(u"  lead"_s);
    QTest::newRow("leading blank, ends in slash")
        << u"1 2 3 4 5 6 7 8  dir/"_s << QChar(u' ') << nine(u" dir/"_s);
    QTest::newRow("path") << u"/pub//incoming/x y/"_s << QChar(u'/')
                          << QStringList{u"pub"_s, u"incoming"_s, u"x y"_s};
}

void TestListingParser::splitFields() {
    QFETCH(QString, line);
    QFETCH(QChar, separator);
    QFETCH(QStringList, fields);
    QCOMPARE(SplitFields(line, separator), fields);
}

void TestListingParser::parseLine_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("system");
    QTest::addColumn<QString>("entry"); // name|kind|owner|group|size|attributes
    QTest::addColumn<QDateTime>("date");
    const QString unix = u"UNIX Type: L8"_s;
    const QString nt = u"215 Windows_NT"_s;
    const QDateTime y1997 = At(1997, 1, 5);
    QTest::newRow("nine columns, name with blank")
        << u"drwxr-xr-x   2 user  group   4096 Dec  1 12:00 My Documents"_s << unix
        << u"My Documents|1|user|group|4096|drwxr-xr-x"_s << At(2023, 12, 1, 12, 0);
    QTest::newRow("nine columns, link")
        << u"lrwxrwxrwx   1 root  root  11 Jan  5  1997 lib -> usr/lib"_s << unix
        << u"lib|2|root|root|11|lrwxrwxrwx"_s << y1997;
    QTest::newRow("eight columns") << u"-rw-r--r--   1 owner   1234 Dec  1 12:00 file"_s << unix
                                   << u"file|3|owner| |1234|-"_s << At(2023, 12, 1, 12, 0);
    QTest::newRow("eight columns, link: owner is not the link count")
        << u"lrwxrwxrwx 1 root 11 Jan 5 1997 lib -> usr/lib"_s << unix
        << u"lib|2|root| |11|lrwxrwxrwx"_s << y1997;
    QTest::newRow("seven columns") << u"drwxr-xr-x 2 512 Jun 16 11:00 pub"_s << unix
                                   << u"pub|1| | |512|d"_s << At(2024, 6, 16, 11, 0);
    QTest::newRow("two days ahead is last year")
        << u"-rw-r--r-- 1 u g 7 Jun 17 10:00 f"_s << unix << u"f|3|u|g|7|-rw-r--r--"_s
        << At(2023, 6, 17, 10, 0);
    QTest::newRow("colour codes") << u"drwxr-xr-x 2 u g 1 Jan 5 1997 \x1b[01;34msrc\x1b[0m"_s
                                  << unix << u"src|1|u|g|1|drwxr-xr-x"_s << y1997;
    QTest::newRow("arrow in a file name stays") << u"-rw-r--r-- 1 u g 1 Jan 5 1997 a -> b"_s << unix
                                                << u"a -> b|3|u|g|1|-rw-r--r--"_s << y1997;
    QTest::newRow("link without blanks")
        << u"lrwxrwxrwx 1 u g 1 Jan 5 1997 a->b"_s << unix << u"a|2|u|g|1|lrwxrwxrwx"_s << y1997;
    QTest::newRow("leading blank in a name") << u"-rw-r--r-- 1 u g 1 Jan 5 1997  lead"_s << unix
                                             << u" lead|3|u|g|1|-rw-r--r--"_s << y1997;
    QTest::newRow("over 2 GiB") << u"-rw-r--r-- 1 u g 5368709120 Jan 5 1997 big.iso"_s << unix
                                << u"big.iso|3|u|g|5368709120|-rw-r--r--"_s << y1997;
    QTest::newRow("size beyond 64 bits, unreadable date")
        << u"-rw-r--r-- 1 u g 99999999999999999999 Foo 99 1997 x"_s << unix
        << u"x|3|u|g|0|-rw-r--r--"_s << QDateTime();
    QTest::newRow("largest size") << u"-rw-r--r-- 1 u g 9223372036854775807 Jan 5 1997 x"_s << unix
                                  << u"x|3|u|g|9223372036854775807|-rw-r--r--"_s << y1997;
    QTest::newRow("Windows_NT directory") << u"12-01-98  10:00AM       <DIR>          pub"_s << nt
                                          << u"pub|1| | |0|D"_s << At(2023, 12, 1, 10, 0);
    QTest::newRow("Windows_NT file, PM") << u"12-01-98  12:30PM  512 readme.txt"_s << nt
                                         << u"readme.txt|3| | |512|-"_s << At(2023, 12, 1, 12, 30);
    QTest::newRow("Windows_NT four fields, other date")
        << u"2023/12/01 10:00 512 a.txt"_s << nt << u"a.txt|3| | |512|-"_s << QDateTime();
    QTest::newRow("Windows_NT name with blanks")
        << u"06-01-98  01:30PM  3000000000 My  Big File.bin "_s << nt
        << u"My  Big File.bin|3| | |3000000000|-"_s << At(2024, 6, 1, 13, 30);
    QTest::newRow("Windows_NT server, Unix listing")
        << u"-rw-r--r-- 1 owner group 5 Jan 5 1997 a b c d"_s << nt
        << u"a b c d|3|owner|group|5|-rw-r--r--"_s << y1997;
}

void TestListingParser::parseLine() {
    QFETCH(QString, line);
    QFETCH(QString, system);
    const std::optional<DirEntry> e = ParseListLine(line, Context(system));
    QVERIFY(e);
    const QStringList fields{e->name,  QString::number(int(e->kind)), e->owner,
                             e->group, QString::number(e->size),      e->attributes};
    QTEST(fields.join(u'|'), "entry");
    QCOMPARE(e->sizeText, FormatSizeText(e->size, Us));
    QTEST(e->date, "date");
    QCOMPARE(e->dateText, e->date.isValid() ? FormatListDate(e->date, Us) : u"01/01/90 00:00"_s);
    QCOMPARE(e->mark, EntryMark::None);
    QCOMPARE(OffersToTree(*e), e->kind != EntryKind::File);
}

void TestListingParser::ignoredLines_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("system");
    const QString unix = u"UNIX Type: L8"_s;
    const QString nt = u"Windows_NT"_s;
    QTest::newRow("total") << u"total 42"_s << unix;
    QTest::newRow("blank") << u"   "_s << unix;
    QTest::newRow("MS-DOS line from Unix server")
        << u"12-01-98  10:00AM       <DIR>          pub"_s << unix;
    QTest::newRow("six fields") << u"drwxr-xr-x 2 Dec 1 12:00 x"_s << unix;
    QTest::newRow("dot") << u"drwxr-xr-x 2 u g 1 Jan 5 1997 ."_s << unix;
    QTest::newRow("dot dot") << u"drwxr-xr-x 2 u g 1 Jan 5 1997 .."_s << unix;
    QTest::newRow("link to nothing") << u"lrwxrwxrwx 1 u g 1 Jan 5 1997  -> x"_s << unix;
    QTest::newRow("colour never closed") << u"-rw-r--r-- 1 u g 1 Jan 5 1997 \x1b[0msrc"_s << unix;
    // Short lines from a Windows_NT server carry no entry and do not end
    // the listing.
    QTest::newRow("Windows_NT three fields") << u"12-01-98  10:00AM  <DIR>"_s << nt;
    QTest::newRow("Windows_NT blank") << QString() << nt;
    QTest::newRow("Windows_NT message") << u"Total 5"_s << nt;
    QTest::newRow("Windows_NT long message") << u"226 Transfer complete, 5 files listed"_s << nt;
}

void TestListingParser::ignoredLines() {
    QFETCH(QString, line);
    QFETCH(QString, system);
    QVERIFY(!ParseListLine(line, Context(system)));
}

void TestListingParser::sizesAndDateTextFollowTheLocale() {
    QCOMPARE(FormatSizeText(0, Us), u"0"_s);
    QCOMPARE(FormatSizeText(999, Us), u"999"_s);
    QCOMPARE(FormatSizeText(1000, Us), u"1,000"_s);
    QCOMPARE(FormatSizeText(Q_INT64_C(2147483648), Us), u"2,147,483,648"_s);
    QCOMPARE(FormatSizeText(-123456, Us), u"-123,456"_s);
    QCOMPARE(FormatSizeText(-1234, Us), u"-1,234"_s);
    const QLocale german(QLocale::German, QLocale::Germany);
    QCOMPARE(FormatSizeText(Q_INT64_C(1234567), german), u"1.234.567"_s);

    ListParseContext c = Context();
    c.locale = german;
    const auto e = ParseListLine(u"-rw-r--r-- 1 u g 4096 Jan 5 1997 f"_s, c);
    QVERIFY(e);
    QCOMPARE(e->sizeText, u"4.096"_s);
    QCOMPARE(e->dateText, u"05.01.97 00:00"_s);
    QCOMPARE(NormaliseListDate(u"Dec 1 12:30", Now, Us), u"12/1/23 12:30 PM"_s);
    QCOMPARE(NormaliseListDate(u"12-01-98 12:30PM", Now, Us), std::nullopt);
}

void TestListingParser::marks() {
    ListParseContext c = Context();
    c.skipList = PatternSet({u"?*.tmp"_s, u"core"_s});
    c.favourites = PatternSet({u"*.iso"_s, u"core"_s});
    auto mark = [&](const QString& line) { return ParseListLine(line, c)->mark; };
    const QString dirTmp = u"drwxr-xr-x 2 u g 1 Jan 5 1997 x.tmp"_s;
    const QString fileTmp = u"-rw-r--r-- 1 u g 1 Jan 5 1997 x.tmp"_s;
    const QString empty = u"-rw-r--r-- 1 u g 0 Jan 5 1997 empty"_s;
    const QString core = u"-rw-r--r-- 1 u g 5 Jan 5 1997 core"_s;
    const QString iso = u"-rw-r--r-- 1 u g 5 Jan 5 1997 a.iso"_s;

    QCOMPARE(mark(fileTmp), EntryMark::None); // "Skip" off
    QCOMPARE(mark(iso), EntryMark::None);     // "Favorites" off
    c.options.skip = c.options.favorites = true;
    c.options.skipListAppliesToDirs = true;
    QCOMPARE(mark(dirTmp), EntryMark::None);
    QCOMPARE(mark(fileTmp), EntryMark::Skip);
    QCOMPARE(mark(core), EntryMark::Skip); // skip wins over favourite
    QCOMPARE(mark(iso), EntryMark::Favourite);
    QCOMPARE(mark(empty), EntryMark::None);
    c.options.skipNullFiles = true;
    QCOMPARE(mark(empty), EntryMark::Skip);
    QCOMPARE(mark(u"drwxr-xr-x 2 u g 0 Jan 5 1997 d"_s), EntryMark::None);
}

void TestListingParser::unixDates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDateTime>("expected");
    const QDateTime leapAfter(QDate(2025, 3, 1), QTime(9, 0));
    const QDateTime leapBefore(QDate(2024, 2, 28), QTime(12, 0));
    // Now is 15 June 2024 12:00; more than a day ahead means last year.
    QTest::newRow("less than a day ahead") << u"Jun 16 11:59"_s << Now << At(2024, 6, 16, 11, 59);
    QTest::newRow("exactly a day ahead") << u"Jun 16 12:00"_s << Now << At(2024, 6, 16, 12, 0);
    QTest::newRow("a minute more") << u"Jun 16 12:01"_s << Now << At(2023, 6, 16, 12, 1);
    QTest::newRow("year given") << u"Jan 5 1997"_s << Now << At(1997, 1, 5);
    QTest::newRow("case ignored, two-digit day") << u"DEC 25 2001"_s << Now << At(2001, 12, 25);
    QTest::newRow("unknown month is January") << u"Xyz 5 1997"_s << Now << At(1997, 1, 5);
    QTest::newRow("leap day, last year") << u"Feb 29 10:00"_s << leapAfter << At(2024, 2, 29, 10);
    QTest::newRow("leap day ahead goes to the last leap year")
        << u"Feb 29 13:00"_s << leapBefore << At(2020, 2, 29, 13);
    QTest::newRow("leap day within a day")
        << u"Feb 29 11:00"_s << leapBefore << At(2024, 2, 29, 11);
    QTest::newRow("leap day across 2100")
        << u"Feb 29 10:00"_s << QDateTime(QDate(2104, 2, 1), QTime(0, 0)) << At(2096, 2, 29, 10);
    QTest::newRow("no such leap day") << u"Feb 29 2023"_s << Now << QDateTime();
    QTest::newRow("no such day") << u"Apr 31 10:00"_s << Now << QDateTime();
    QTest::newRow("bad hour") << u"Dec 1 24:00"_s << Now << QDateTime();
    QTest::newRow("no minute") << u"Dec 1 12:"_s << Now << QDateTime();
    QTest::newRow("bad minute") << u"Dec 1 12:60"_s << Now << QDateTime();
    QTest::newRow("day not a number") << u"Dec x 12:00"_s << Now << QDateTime();
    QTest::newRow("MS-DOS text") << u"12-01-98 10:00AM"_s << Now << QDateTime();
    QTest::newRow("empty") << QString() << Now << QDateTime();
}

void TestListingParser::unixDates() {
    QFETCH(QString, text);
    QFETCH(QDateTime, now);
    QFETCH(QDateTime, expected);
    QCOMPARE(ReadUnixListDate(text, now).value_or(QDateTime()), expected);
}

void TestListingParser::msDosDates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("12 PM stays") << u"12-01-98 12:30PM"_s << At(2023, 12, 1, 12, 30);
    QTest::newRow("12 AM is midnight") << u"12-01-98 12:05AM"_s << At(2023, 12, 1, 0, 5);
    QTest::newRow("1 PM") << u"12-01-98 01:15pm"_s << At(2023, 12, 1, 13, 15);
    QTest::newRow("11 PM") << u"12-01-98 11:59PM"_s << At(2023, 12, 1, 23, 59);
    QTest::newRow("11 AM") << u"12-01-98 11:59AM"_s << At(2023, 12, 1, 11, 59);
    QTest::newRow("24-hour clock") << u"12-01-98 14:00"_s << At(2023, 12, 1, 14, 0);
    QTest::newRow("within a day: this year") << u"06-16-98 11:00AM"_s << At(2024, 6, 16, 11);
    QTest::newRow("no time: listed year") << u"12-01-1998"_s << At(1998, 12, 1);
    QTest::newRow("month 13") << u"13-01-98 10:00AM"_s << QDateTime();
    QTest::newRow("Unix text") << u"Dec 1 12:00"_s << QDateTime();
}

void TestListingParser::msDosDates() {
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    QCOMPARE(ReadMsDosListDate(text, Now).value_or(QDateTime()), expected);
}

void TestListingParser::skipList_data() {
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<QString>("name");
    QTest::addColumn<EntryKind>("kind");
    QTest::addColumn<bool>("expected");
    const auto F = EntryKind::File, D = EntryKind::Directory;
    const QStringList txt{u"*.txt"_s};
    QTest::newRow("* matches nothing") << QStringList{u"*"_s} << u"a"_s << F << false;
    QTest::newRow("** matches nothing") << QStringList{u"**"_s} << u"a*"_s << F << false;
    QTest::newRow("exact, case ignored") << QStringList{u"ReadMe"_s} << u"README"_s << F << true;
    QTest::newRow("exact is whole") << QStringList{u"readme"_s} << u"readme.txt"_s << F << false;
    QTest::newRow("suffix") << txt << u"A.TXT"_s << F << true;
    QTest::newRow("suffix: first occurrence only") << txt << u"a.txt.txt"_s << F << false;
    QTest::newRow("suffix: elsewhere") << txt << u"a.txt.bak"_s << F << false;
    QTest::newRow("suffix: whole text") << txt << u"atxt"_s << F << false;
    QTest::newRow("contains") << QStringList{u"*TMP*"_s} << u"xtmpy"_s << F << true;
    QTest::newRow("contains: absent") << QStringList{u"*tmp*"_s} << u"xtmy"_s << F << false;
    QTest::newRow("inner star is literal") << QStringList{u"*a*b"_s} << u"xa*b"_s << F << true;
    QTest::newRow("inner star, no literal") << QStringList{u"*a*b"_s} << u"xab"_s << F << false;
    QTest::newRow("prefix, rest ignored") << QStringList{u"abc*zz"_s} << u"ABCdef"_s << F << true;
    QTest::newRow("prefix is a start") << QStringList{u"abc*"_s} << u"xabc"_s << F << false;
    QTest::newRow("files-only on a file") << QStringList{u"?*.tmp"_s} << u"x.tmp"_s << F << true;
    QTest::newRow("files-only on a dir") << QStringList{u"?*.tmp"_s} << u"x.tmp"_s << D << false;
    QTest::newRow("files-only match stops at once")
        << QStringList{u"?x*"_s, u"x.tmp"_s} << u"x.tmp"_s << D << false;
    QTest::newRow("files-only miss goes on")
        << QStringList{u"?y*"_s, u"x.tmp"_s} << u"x.tmp"_s << D << true;
    QTest::newRow("files-only not for exact names")
        << QStringList{u"?x.tmp"_s} << u"x.tmp"_s << D << true;
    QTest::newRow("later pattern") << QStringList{u"a"_s, u"b*"_s} << u"bee"_s << F << true;
}

void TestListingParser::skipList() {
    QFETCH(QStringList, patterns);
    QFETCH(QString, name);
    QFETCH(EntryKind, kind);
    QFETCH(bool, expected);
    SkipOptions on;
    on.skip = on.skipListAppliesToDirs = true;
    const PatternSet set(patterns);
    QCOMPARE(MatchesSkipList(name, kind, u"1", false, on, set), expected);
    if (!expected)
        return;
    QVERIFY(!MatchesSkipList(name, kind, u"1", true, on, set)); // bypass
    SkipOptions off = on;
    off.skip = false;
    QVERIFY(!MatchesSkipList(name, kind, u"1", false, off, set));
    SkipOptions filesOnly = on;
    filesOnly.skipListAppliesToDirs = false;
    QCOMPARE(MatchesSkipList(name, kind, u"1", false, filesOnly, set), kind == EntryKind::File);
    // The same forms find favourites; "?" means nothing there.
    SkipOptions favourites;
    favourites.favorites = true;
    QVERIFY(MatchesFavorites(name, favourites, PatternSet(patterns)) || kind != EntryKind::File);
}

void TestListingParser::favouritesAndNullFiles() {
    SkipOptions o;
    const PatternSet set({u"?*.mp3"_s, u"*beta*"_s});
    QVERIFY(!MatchesFavorites(u"a.mp3", o, set));
    o.favorites = true;
    QVERIFY(MatchesFavorites(u"Album.MP3", o, set));
    QVERIFY(MatchesFavorites(u"xBETAy", o, set));
    QVERIFY(!MatchesFavorites(u"a.mp4", o, set));

    // Null files: a size text whose digits read as 0, files only.
    SkipOptions nulls;
    nulls.skip = nulls.skipNullFiles = nulls.skipListAppliesToDirs = true;
    const PatternSet none;
    for (const QString& size : {u"0"_s, u""_s, u"0,000"_s})
        QVERIFY2(MatchesSkipList(u"f", EntryKind::File, size, false, nulls, none),
                 qPrintable(size));
    QVERIFY(!MatchesSkipList(u"f", EntryKind::File, u"1,000", false, nulls, none));
    QVERIFY(!MatchesSkipList(u"f", EntryKind::File, u"90", false, nulls, none));
    QVERIFY(!MatchesSkipList(u"f", EntryKind::File, u"0", true, nulls, none));
    QVERIFY(!MatchesSkipList(u"d", EntryKind::Directory, u"0", false, nulls, none));
}

void TestListingParser::hostileLinesAreLinear() {
    // A quadratic step would take minutes on these; each must stay quick.
    const qsizetype mib = 1 << 20;
    ListParseContext c = Context(u"Windows_NT"_s);
    c.options.skip = c.options.favorites = true;
    QStringList patterns;
    for (int i = 0; i < 10; ++i)
        patterns << u"*pat%1*"_s.arg(i) << u"*.e%1"_s.arg(i) << u"p%1*"_s.arg(i);
    c.skipList = c.favourites = PatternSet(patterns);
    QElapsedTimer timer;
    timer.start();

    const QString head = u"-rw-r--r-- 1 u g 1 Jan 5 1997 "_s;
    const QString longName = QString(mib, u'a');
    auto e = ParseListLine(head + longName, c);
    QVERIFY(e);
    QCOMPARE(e->name.size(), mib);
    QVERIFY(!ParseListLine(QString(mib, u' '), c));
    QVERIFY(!ParseListLine(u'\x1b' + QString(mib, u'm'), c));
    e = ParseListLine(head + QString(mib / 2, u'x') + u" -> "_s + longName, c);
    QVERIFY(e); // a file keeps its arrow
    QCOMPARE(e->name.size(), mib / 2 + 4 + mib);
    e = ParseListLine(u"l"_s + head + QString(mib, u'-') + u" -> x"_s, c);
    QVERIFY(e);
    QCOMPARE(e->name.size(), mib);
    QCOMPARE(SplitFields(QString(mib, u'a').replace(u'a', u"a "_s), u' ').size(), 9);
    e = ParseListLine(u"-rw-r--r-- 1 u g "_s + QString(mib, u'9') + u" Jan 5 1997 x"_s, c);
    QVERIFY(e);
    QCOMPARE(e->size, 0);
    e = ParseListLine(u"01-01-98  10:00AM  <DIR> "_s + QString(mib, u' ') + u"n"_s, c);
    QVERIFY(e);
    QCOMPARE(e->name, u"n"_s);

    // Names are reported as listed, NUL bytes and slashes included.
    for (const QString& name : {u"a\0b"_s, u"../x"_s, u"a/b"_s, u"/etc/passwd"_s}) {
        e = ParseListLine(head + name, c);
        QVERIFY(e);
        QCOMPARE(e->name, name);
    }
    QVERIFY2(timer.elapsed() < 20000, qPrintable(QString::number(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestListingParser)
#include "test_listing_parser.moc"
