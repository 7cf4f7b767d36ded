// The settings files: the INI file class, the data directory, font and
// colour strings, the pattern lists and the settings store.
#include "RecordingDesktopServices.h"
#include "TempDataDir.h"
#include "app/DataPaths.h"
#include "app/FontDescription.h"
#include "app/IniFile.h"
#include "app/PatternList.h"
#include "app/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList filesIn(const TempDataDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private:
    static QString ini(const TempDataDir& dir) { return dir.filePath("Korvane.ini"); }

private slots:
    void iniMatchesWithoutCaseAndFallsBack();
    void iniKeepsOrderAndEditsInPlace();
    void iniSectionBytesRoundTrip();
    void iniKeepsTheByteOrderMark();
    void iniRefusesWhatALineCannotHold();
    void iniBatchSavesOnce();
    void iniFailedSaveKeepsOriginal();
    void iniUnreadableOriginalIsNotReplaced();
    void dataPathsResolve();

    void fontStrings();
    void malformedFontStrings();
    void colourNames();
    void patternLists();

    void valuesFallBackToTheDefaults();
    void savePreferencesTouchesOnlyItsOwnKeys();
    void preferencesConfirmation();
    void windowLayoutTogglesAndViewer();
};

void TestSettings::iniMatchesWithoutCaseAndFallsBack() {
    TempDataDir dir;
    QVERIFY(dir.writeFile("Korvane.ini", "[_Main_]\nConnectTimeout=12\nWord=abc\n"
                                         "Hex=$FF\nBig=99999999999\nSpaced = 7 \nNeg=-3\n"));
    IniFile file(ini(dir));
    QVERIFY(file.sectionExists("_main_"));
    // Text and out-of-range numbers keep the default.
    const QList<int> numbers{file.readInteger("_MAIN_", "connecttimeout", 40),
                             file.readInteger("_Main_", "Word", 5),
                             file.readInteger("_Main_", "Big", 5),
                             file.readInteger("_Main_", "Hex", 0),
                             file.readInteger("_Main_", "Spaced", 0),
                             file.readInteger("_Main_", "Neg", 0),
                             file.readInteger("_Main_", "Missing", 9),
                             file.readInteger("_Other_", "ConnectTimeout", 9)};
    QCOMPARE(numbers, (QList<int>{12, 5, 5, 255, 7, -3, 9, 9}));
    // any non-zero integer is true; text keeps the default
    QVERIFY(file.readBool("_Main_", "Neg", false));
    QVERIFY(file.readBool("_Main_", "Word", true) && !file.readBool("_Main_", "Word", false));
    QCOMPARE(file.readString("_Main_", "WORD"), u"abc"_s);

    // a write to a differently-cased key updates the existing line
    QVERIFY(file.writeInteger("_main_", "CONNECTTIMEOUT", 30));
    QVERIFY(dir.readFile("Korvane.ini").startsWith("[_Main_]\r\nConnectTimeout=30\r\n"));

    IniFile missing(dir.filePath("none.ini"));
    QVERIFY(missing.isReadable() && !missing.sectionExists("_Main_"));
    QCOMPARE(missing.readString("_Main_", "Email", "x"), u"x"_s);
}

void TestSettings::iniKeepsOrderAndEditsInPlace() {
    TempDataDir dir;
    // LF and CR LF both read; the last line needs no line end.
    QVERIFY(dir.writeFile("Korvane.ini", "; hand note\n[B]\r\nz=1\na=2\r\n\r\n"
                                         "[A]\r\nk=v\r\n[C]\r\nc=3"));
    IniFile file(ini(dir));
    QCOMPARE(file.sectionNames(), (QList<QByteArray>{"B", "A", "C"}));
    QCOMPARE(file.readSection("b"), (QList<QByteArray>{"z", "a"}));
    QCOMPARE(file.readString("C", "c"), u"3"_s);

    QVERIFY(file.writeString("B", "z", "one"));
    QVERIFY(file.writeString("B", "new", "n")); // after the last key, before the blank line
    QVERIFY(file.writeString("D", "d", "4"));   // new section at the end
    QCOMPARE(dir.readFile("Korvane.ini"), "; hand note\r\n[B]\r\nz=one\r\na=2\r\nnew=n\r\n\r\n"
                                          "[A]\r\nk=v\r\n[C]\r\nc=3\r\n[D]\r\nd=4\r\n");

    QVERIFY(file.deleteKey("b", "A"));
    QVERIFY(file.eraseSection("a"));
    QCOMPARE(dir.readFile("Korvane.ini"),
             "; hand note\r\n[B]\r\nz=one\r\nnew=n\r\n\r\n[C]\r\nc=3\r\n[D]\r\nd=4\r\n");
    // deleting what is not there changes nothing and is no failure
    QVERIFY(file.deleteKey("X", "y") && file.eraseSection("X"));

    // a fresh object reads what was written, and no temporary file is left
    IniFile again(ini(dir));
    QCOMPARE(again.readString("D", "d"), u"4"_s);
    QVERIFY(!again.sectionExists("A"));
    QCOMPARE(filesIn(dir), QStringList{"Korvane.ini"});
}

void TestSettings::iniSectionBytesRoundTrip() {
    TempDataDir dir;
    const QByteArray site = "\xFE"
                            "a site\xFF";
    const QByteArray other = "\xDE"
                             "a site\xFF"; // 0xDE must not fold onto 0xFE
    {
        IniFile file(ini(dir));
        QVERIFY(file.writeString(site, "IP", u"h\u00F8st"_s));
        QVERIFY(file.writeString(other, "IP", "other"));
    }
    QVERIFY(dir.readFile("Korvane.ini").startsWith("[" + site + "]\r\nIP=h\xC3\xB8st\r\n"));
    IniFile file(ini(dir));
    QCOMPARE(file.readString(site, "ip"), u"h\u00F8st"_s);
    QCOMPARE(file.readString(other, "ip"), u"other"_s);
    QCOMPARE(file.sectionNames(), (QList<QByteArray>{site, other}));
}

void TestSettings::iniKeepsTheByteOrderMark() {
    TempDataDir dir;
    const QByteArray bom = "\xEF\xBB\xBF";
    // A second mark makes the first line no section; a save must not turn
    // it into one by dropping the mark the next read would strip.
    QVERIFY(dir.writeFile("Korvane.ini", bom + bom + "[a[]\nk=1\n"));
    {
        IniFile file(ini(dir));
        QVERIFY(!file.sectionExists("a["));
        QVERIFY(file.writeString("B", "x", "2"));
    }
    QCOMPARE(dir.readFile("Korvane.ini"), bom + bom + "[a[]\r\nk=1\r\n[B]\r\nx=2\r\n");
    IniFile again(ini(dir));
    QCOMPARE(again.sectionNames(), QList<QByteArray>{"B"});
    QCOMPARE(again.readString("B", "x"), u"2"_s);

    // A file without a mark gets none.
    QVERIFY(dir.writeFile("Korvane.ini", "[c]\nk=1\n"));
    IniFile plain(ini(dir));
    QVERIFY(plain.writeString("c", "k", "3"));
    QCOMPARE(dir.readFile("Korvane.ini"), "[c]\r\nk=3\r\n");
}

void TestSettings::iniRefusesWhatALineCannotHold() {
    TempDataDir dir;
    IniFile file(ini(dir));
    QVERIFY(file.writeString("S", "k", "v"));
    const QByteArray before = dir.readFile("Korvane.ini");
    QVERIFY(!file.writeString("S", "k", "two\r\nlines=injected"));
    QVERIFY(!file.writeString("S", "a=b", "v"));
    QVERIFY(!file.writeString("S", "", "v"));
    QVERIFY(!file.writeString("S\nT", "k", "v"));
    QVERIFY(!file.writeString("", "k", "v"));
    QCOMPARE(dir.readFile("Korvane.ini"), before);
    QCOMPARE(file.readString("S", "k"), u"v"_s);
}

void TestSettings::iniBatchSavesOnce() {
    TempDataDir dir;
    QVERIFY(dir.writeFile("Korvane.ini", "[S]\r\nold=1\r\n"));
    IniFile file(ini(dir));
    file.beginUpdate();
    QVERIFY(file.writeInteger("S", "a", 1) && file.writeInteger("S", "b", 2));
    QVERIFY(file.deleteKey("S", "old"));
    QCOMPARE(dir.readFile("Korvane.ini"), "[S]\r\nold=1\r\n"); // not yet
    QCOMPARE(file.readInteger("S", "b", 0), 2);                // visible in memory
    QVERIFY(file.endUpdate());
    QCOMPARE(dir.readFile("Korvane.ini"), "[S]\r\na=1\r\nb=2\r\n");

    // one refused write makes the group report failure, the rest is still saved
    file.beginUpdate();
    file.writeString("S", "c", "3");
    file.writeString("S", "d", "bad\nvalue");
    QVERIFY(!file.endUpdate());
    QCOMPARE(IniFile(ini(dir)).readString("S", "c"), u"3"_s);
}

void TestSettings::iniFailedSaveKeepsOriginal() {
    // A file-size limit makes every large write fail as a full disk would.
    TempDataDir dir;
    const QByteArray original = "[S]\r\nk=original\r\n";
    QVERIFY(dir.writeFile("Korvane.ini", original));
    IniFile file(ini(dir));

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = file.writeValue("S", "k", QByteArray(256 * 1024, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!written);
    QCOMPARE(dir.readFile("Korvane.ini"), original);
    QCOMPARE(filesIn(dir), QStringList{"Korvane.ini"});
    QCOMPARE(file.readString("S", "k"), u"original"_s); // memory follows the file
}

void TestSettings::iniUnreadableOriginalIsNotReplaced() {
    TempDataDir dir;
    QVERIFY(QDir(dir.path()).mkdir("Korvane.ini")); // exists, cannot be read as a file
    IniFile file(ini(dir));
    QVERIFY(!file.isReadable());
    QVERIFY(!file.writeString("S", "k", "v"));
    QVERIFY(!file.eraseSection("S"));
    QVERIFY(QFileInfo(ini(dir)).isDir());
}

void TestSettings::dataPathsResolve() {
    TempDataDir program;
    TempDataDir fallback;
    const QString given = fallback.filePath("given/deeper");
    QCOMPARE(DataPaths::Resolve({"--data-dir", given, "host"}, program.path()).directory(), given);
    QVERIFY(QFileInfo(given).isDir()); // created
    QCOMPARE(DataPaths::Resolve({"--data-dir=" + given}, program.path()).directory(), given);
    QCOMPARE(DataPaths::Resolve({"site"}, program.path(), fallback.path()).directory(),
             program.path());
    QCOMPARE(DataPaths::Resolve({}, program.filePath("missing"), fallback.path()).directory(),
             fallback.path());
    QCOMPARE(filesIn(program), QStringList{}); // no probe file left behind

    QCOMPARE(DataPaths::StripOptions({"--data-dir", "/x", "left", "--verbose", ";right"}),
             (QStringList{"left", ";right"}));
    QCOMPARE(DataPaths::StripOptions({"--data-dir=/x", "a"}), QStringList{"a"});
    const DataPaths paths(program.path());
    QCOMPARE(paths.filePath("Korvane.ini"), program.path() + "/Korvane.ini");
    QCOMPARE(paths.filePath("/var/log/k.log"), u"/var/log/k.log"_s);
}

void TestSettings::fontStrings() {
    const struct {
        QString text;
        QString family;
        int size;
        QString styles; // letters b i u s
        QString colour;
    } fonts[] = {
        {u"\"Courier New\", 10, [Bold|Italic], [clBlack]"_s, u"Courier New"_s, 10, u"bi"_s,
         u"clBlack"_s},
        {u"\"Courier New\", 10, [], [clBlack]"_s, u"Courier New"_s, 10, {}, u"clBlack"_s},
        {u"\"Sans\", 12, [Bold|Italic|Underline|Strikeout], [$000080FF]"_s, u"Sans"_s, 12,
         u"bius"_s, u"$000080FF"_s},
        {u"\"Odd, Font\", 9, [Underline], [clWindowText]"_s, u"Odd, Font"_s, 9, u"u"_s,
         u"clWindowText"_s},
    };
    for (const auto& f : fonts) {
        FontDescription font;
        font.bold = font.italic = font.underline = font.strikeout = true; // all replaced
        QVERIFY(StringToFont(f.text, font));
        QCOMPARE(font.family, f.family);
        QCOMPARE(font.pointSize, f.size);
        QCOMPARE(QList<bool>({font.bold, font.italic, font.underline, font.strikeout}),
                 QList<bool>({f.styles.contains('b'), f.styles.contains('i'),
                              f.styles.contains('u'), f.styles.contains('s')}));
        QCOMPARE(font.colour, f.colour);
        QCOMPARE(FontToString(font), f.text);
    }
}
void TestSettings::malformedFontStrings() {
    // The fields read before the one that fails are applied; the rest stay.
    FontDescription base;
    base.family = "Base";
    base.pointSize = 14;
    base.italic = true;
    base.colour = "clRed";
    auto read = [&base](const QString& text) {
        FontDescription font = base;
        const bool complete = StringToFont(text, font);
        return std::pair(complete, font);
    };
    QCOMPARE(read(QString()), std::pair(true, base)); // empty: unchanged
    QCOMPARE(read(u"no commas at all"_s), std::pair(false, base));
    FontDescription expected = base;
    expected.family = "Mono";
    QCOMPARE(read(u"\"Mono\", big, [Bold], [clBlack]"_s), std::pair(false, expected));
    expected.pointSize = 9;
    QCOMPARE(read(u"\"Mono\", 9, [Bold]"_s), std::pair(false, expected)); // no colour part
    expected.bold = true;
    expected.italic = false;
    QCOMPARE(read(u"\"Mono\", 9, [Bold], "_s), std::pair(false, expected)); // empty colour
}

void TestSettings::colourNames() {
    QCOMPARE(ColourToName(clRed), u"clRed"_s);
    QCOMPARE(ColourToName(MakeColour(1, 2, 3)), u"$00030201"_s);
    QCOMPARE(ColourFromName("$00030201"), std::optional<Colour>(MakeColour(1, 2, 3)));
    QCOMPARE(ColourFromName("clBlue"), std::optional<Colour>(clBlue));
    QCOMPARE(ColourFromName("clWindow"), std::optional<Colour>(clWindowBackground));
    QVERIFY(!ColourFromName("clNoSuchColour") && !ColourFromName("$zz"));
}

void TestSettings::patternLists() {
    TempDataDir dir;
    const QString path = dir.filePath("skiplist.dat");
    QVERIFY(dir.writeFile("skiplist.dat", "[_Skip_]\r\ns0=*.txt\r\ns1=*.nfo\r\ns3=never\r\n"));
    QCOMPARE(LoadPatternList(path, SkipListSection), (QStringList{"*.txt", "*.nfo"}));
    QVERIFY(dir.writeFile("empty.dat", "[_Skip_]\r\ns0=\r\ns1=*.x\r\n"));
    QVERIFY(LoadPatternList(dir.filePath("empty.dat"), SkipListSection).isEmpty());
    QVERIFY(LoadPatternList(dir.filePath("missing.dat"), SkipListSection).isEmpty());

    QByteArray many = "[_favorite_]\n";
    for (int i = 0; i < 3010; ++i)
        many += "S" + QByteArray::number(i) + "=p" + QByteArray::number(i) + "\n";
    QVERIFY(dir.writeFile("favorite.dat", many));
    const QStringList loaded = LoadPatternList(dir.filePath("favorite.dat"), "_FAVORITE_");
    QCOMPARE(loaded.size(), 3001);
    QCOMPARE(loaded.last(), u"p3000"_s);

    // Saved sorted and trimmed, replacing the longer old list.
    QVERIFY(dir.writeFile("skiplist.dat", "[_Skip_]\r\ns0=a\r\ns1=b\r\ns2=c\r\ns3=d\r\n"));
    QVERIFY(SavePatternList(path, SkipListSection, {"  zeta.*", "Alpha*", "   ", "beta "}));
    QCOMPARE(dir.readFile("skiplist.dat"), "[_Skip_]\r\ns0=Alpha*\r\ns1=beta\r\ns2=zeta.*\r\n");
    QVERIFY(SavePatternList(path, SkipListSection, {}));
    QVERIFY(LoadPatternList(path, SkipListSection).isEmpty());
}

void TestSettings::valuesFallBackToTheDefaults() {
    TempDataDir dir;
    const SettingsStore store{DataPaths(dir.path())};
    const LoadedSettings loaded = store.LoadSettings();
    QVERIFY(loaded.settings.statusSize == 200 && loaded.settings.owner && !loaded.settings.attrib);
    QVERIFY(loaded.skipList.isEmpty() && loaded.favourites.isEmpty());
    QVERIFY(!store.ReadWindowLayout().maximized);
    QCOMPARE(filesIn(dir), QStringList{}); // reading creates nothing

    // Values that do not read keep theirs; keys and sections match without case.
    QVERIFY(dir.writeFile("Korvane.ini", "[_main_]\nCONNECTTIMEOUT=abc\nretrydelay=7\n"
                                         "[_sounds_]\nerror sound=5\n"));
    const Settings s = store.ReadSettings();
    QVERIFY(s.connectTimeout == 40 && s.retryDelay == 7 && s.errorSound == 5);
}

void TestSettings::savePreferencesTouchesOnlyItsOwnKeys() {
    TempDataDir dir;
    QVERIFY(dir.writeFile("Korvane.ini", "[_Sites_]\r\ns0=home\r\n[_skip_]\r\ns0=*.old\r\n"
                                         "[home]\r\nIP=127.0.0.1\r\n"));
    const SettingsStore store{DataPaths(dir.path())};
    const Settings dialogCopy = store.ReadSettings();
    // menus change these while the dialog is open
    QVERIFY(store.WriteToggle(ToggleKey::DupeMatch, false));
    QVERIFY(store.WriteAll(true));
    QVERIFY(store.SavePreferences(dialogCopy, {"*.new"}, {}));

    const Settings r = store.ReadSettings();
    QVERIFY(!r.dupeMatch && r.all);
    const IniFile file(store.iniPath());
    QVERIFY(!file.keyExists("_Main_", "Left")); // the layout is written at close
    // Only the old skip list section goes; the sites stay where they were.
    QVERIFY(!file.sectionExists("_Skip_"));
    QCOMPARE(file.sectionNames().first(), QByteArray("_Sites_"));
    QCOMPARE(file.readString("home", "IP"), u"127.0.0.1"_s);
    QCOMPARE(LoadPatternList(store.skipListPath(), SkipListSection), QStringList{"*.new"});
}

void TestSettings::preferencesConfirmation() {
    TempDataDir dir;
    const SettingsStore store{DataPaths(dir.path())};
    RecordingDesktopServices services;
    Settings edited;
    edited.idleTime = 29;
    edited.connectTimeout = 55;
    QCOMPARE(store.ConfirmPreferences(edited, {"*.nfo"}, {}, services),
             u"Ant-idle value to low. \nLowest value 30 sec."_s);
    QCOMPARE(services.soundCalls(), QStringList{"playSystemSound:5"});
    QCOMPARE(filesIn(dir), QStringList{}); // nothing written

    // 30 is the lowest interval accepted.
    edited.idleTime = 30;
    QVERIFY(store.ConfirmPreferences(edited, {"*.nfo"}, {}, services).isEmpty());
    QCOMPARE(store.ReadSettings().connectTimeout, 55);
    QCOMPARE(services.soundCalls().size(), 1);

    // A file that cannot be written is reported with the folder to check.
    QVERIFY(QDir(dir.path()).mkdir("favorite.dat"));
    QVERIFY(store.ConfirmPreferences(edited, {}, {}, services)
                .startsWith("The preferences could not be saved in " +
                            QDir::toNativeSeparators(dir.path())));
}

void TestSettings::windowLayoutTogglesAndViewer() {
    TempDataDir dir;
    const SettingsStore store{DataPaths(dir.path())};
    QVERIFY(dir.writeFile("Korvane.ini", "[_Main_]\r\nWidth=800\r\nSplit 2=10\r\nState=2\r\n"));
    const WindowLayout d = store.ReadWindowLayout();
    QCOMPARE(d.split1, 395); // follows the stored width
    QCOMPARE(d.split2, 10);
    QVERIFY(!d.maximized); // only 1 maximizes

    QVERIFY(dir.writeFile("Korvane.ini", {}));
    QVERIFY(store.WriteWindowLayout({5, 6, 700, 500, 300, 111, 222, true}));
    const WindowLayout r = store.ReadWindowLayout();
    QCOMPARE(QList<int>({r.left, r.top, r.width, r.height, r.split3, r.split1, r.split2}),
             QList<int>({5, 6, 700, 500, 300, 111, 222}));
    QVERIFY(r.maximized);

    // Menu toggles and "all" write their key at once.
    QVERIFY(store.WriteAll(true) && store.ReadAll());
    QVERIFY(store.WriteToggle(ToggleKey::OnCompleteIdle, false));
    QCOMPARE(dir.readFile("Korvane.ini"),
             "[_Main_]\r\nLeft=5\r\nTop=6\r\nWidth=700\r\nHeight=500\r\nSplit 1=111\r\n"
             "Split 2=222\r\nSplit 3=300\r\nState=1\r\nall=1\r\nOn Complete Idle=0\r\n");

    // The viewer's geometry counts only once its section exists.
    const QRect current(1, 2, 300, 200);
    QVERIFY(!store.ReadViewerGeometry(current) && store.ReadViewerFont().isEmpty());
    QVERIFY(store.WriteViewerFont(u"\"Mono\", 9, [], [clBlack]"_s));
    QCOMPARE(store.ReadViewerGeometry(current), std::optional<QRect>(current));
    QVERIFY(store.WriteViewerGeometry(QRect(10, 20, 640, 480)));
    QCOMPARE(store.ReadViewerGeometry(current), std::optional<QRect>(QRect(10, 20, 640, 480)));
    QCOMPARE(store.ReadViewerFont(), u"\"Mono\", 9, [], [clBlack]"_s);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
