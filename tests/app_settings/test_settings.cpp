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
#include <unistd.h>

class TestSettings : public QObject {
    Q_OBJECT

private:
    static QString ini(const TempDataDir& dir) { return dir.filePath("Korvane.ini"); }

private slots:
    void iniMatchesWithoutCaseAndFallsBack();
    void iniKeepsOrderAndEditsInPlace();
    void iniLineEnds();
    void iniSectionBytesRoundTrip();
    void iniRefusesWhatALineCannotHold();
    void iniBatchSavesOnce();
    void iniNoTempFileLeft();
    void iniFailedSaveKeepsOriginal();
    void iniReadOnlyDirectoryKeepsOriginal();
    void iniUnreadableOriginalIsNotReplaced();

    void dataPathsResolve();

    void fontStrings_data();
    void fontStrings();
    void fontToStringFormat();
    void malformedFontStrings();
    void colourNames();

    void patternListsLoad();
    void patternListsSave();

    void defaultsWithoutIniFile();
    void valuesFallBackAndMatchWithoutCase();
    void savePreferencesRoundTrip();
    void savePreferencesErasesOldSkipSectionOnly();
    void savePreferencesKeepsMenuToggles();
    void idleTimeValidation();
    void windowLayout();
    void viewerWindow();
    void togglesAndAllFlag();
};

void TestSettings::iniMatchesWithoutCaseAndFallsBack() {
    TempDataDir dir;
    QVERIFY(dir.writeFile("Korvane.ini", "[_Main_]\nConnectTimeout=12\nWord=abc\n"
                                         "Hex=$FF\nBig=99999999999\nSpaced = 7 \nNeg=-3\n"));
    IniFile file(ini(dir));
    QCOMPARE(file.readInteger("_MAIN_", "connecttimeout", 40), 12);
    QVERIFY(file.sectionExists("_main_"));
    QCOMPARE(file.readInteger("_Main_", "Word", 5), 5);
    QCOMPARE(file.readInteger("_Main_", "Big", 5), 5);
    QCOMPARE(file.readInteger("_Main_", "Hex", 0), 255);
    QCOMPARE(file.readInteger("_Main_", "Spaced", 0), 7);
    QCOMPARE(file.readInteger("_Main_", "Neg", 0), -3);
    QCOMPARE(file.readInteger("_Main_", "Missing", 9), 9);
    QCOMPARE(file.readInteger("_Other_", "ConnectTimeout", 9), 9);
    // any non-zero integer is true; text keeps the default
    QCOMPARE(file.readBool("_Main_", "Neg", false), true);
    QCOMPARE(file.readBool("_Main_", "Word", true), true);
    QCOMPARE(file.readBool("_Main_", "Word", false), false);
    QCOMPARE(file.readString("_Main_", "WORD"), QString("abc"));

    // a write to a differently-cased key updates the existing line
    QVERIFY(file.writeInteger("_main_", "CONNECTTIMEOUT", 30));
    QVERIFY(dir.readFile("Korvane.ini").startsWith("[_Main_]\r\nConnectTimeout=30\r\n"));

    IniFile missing(dir.filePath("none.ini"));
    QVERIFY(missing.isReadable());
    QVERIFY(!missing.sectionExists("_Main_"));
    QCOMPARE(missing.readString("_Main_", "Email", "x"), QString("x"));
}

void TestSettings::iniKeepsOrderAndEditsInPlace() {
    TempDataDir dir;
    QVERIFY(dir.writeFile("Korvane.ini", "; hand note\r\n[B]\r\nz=1\r\na=2\r\n\r\n"
                                         "[A]\r\nk=v\r\n[C]\r\nc=3\r\n"));
    IniFile file(ini(dir));
    QCOMPARE(file.sectionNames(), (QList<QByteArray>{"B", "A", "C"}));
    QCOMPARE(file.readSection("b"), (QList<QByteArray>{"z", "a"}));

    QVERIFY(file.writeString("B", "z", "one"));
    QVERIFY(file.writeString("B", "new", "n")); // after the last key, before the blank line
    QVERIFY(file.writeString("D", "d", "4"));   // new section at the end
    QCOMPARE(dir.readFile("Korvane.ini"),
             QByteArray("; hand note\r\n[B]\r\nz=one\r\na=2\r\nnew=n\r\n\r\n"
                        "[A]\r\nk=v\r\n[C]\r\nc=3\r\n[D]\r\nd=4\r\n"));

    QVERIFY(file.deleteKey("b", "A"));
    QVERIFY(file.eraseSection("a"));
    QCOMPARE(
        dir.readFile("Korvane.ini"),
        QByteArray("; hand note\r\n[B]\r\nz=one\r\nnew=n\r\n\r\n[C]\r\nc=3\r\n[D]\r\nd=4\r\n"));
    // deleting what is not there changes nothing and is no failure
    QVERIFY(file.deleteKey("X", "y"));
    QVERIFY(file.eraseSection("X"));

    // a fresh object reads what was written
    IniFile again(ini(dir));
    QCOMPARE(again.readString("D", "d"), QString("4"));
    QVERIFY(!again.sectionExists("A"));
}

void TestSettings::iniLineEnds() {
    TempDataDir dir;
    QVERIFY(dir.writeFile("Korvane.ini", "[S]\nk1=a\r\nk2=b\nk3=c"));
    IniFile file(ini(dir));
    QCOMPARE(file.readString("S", "k1"), QString("a"));
    QCOMPARE(file.readString("S", "k2"), QString("b"));
    QCOMPARE(file.readString("S", "k3"), QString("c"));
    QVERIFY(file.writeBool("S", "flag", true));
    QCOMPARE(dir.readFile("Korvane.ini"), QByteArray("[S]\r\nk1=a\r\nk2=b\r\nk3=c\r\nflag=1\r\n"));
}

void TestSettings::iniSectionBytesRoundTrip() {
    TempDataDir dir;
    const QByteArray site = "\xFE"
                            "a site\xFF";
    const QByteArray other = "\xDE"
                             "a site\xFF"; // 0xDE must not fold onto 0xFE
    {
        IniFile file(ini(dir));
        QVERIFY(file.writeString(site, "IP", QString::fromUtf8("h\xC3\xB8st")));
        QVERIFY(file.writeString(other, "IP", "other"));
    }
    QVERIFY(dir.readFile("Korvane.ini").startsWith("[" + site + "]\r\nIP=h\xC3\xB8st\r\n"));
    IniFile file(ini(dir));
    QCOMPARE(file.readString(site, "ip"), QString::fromUtf8("h\xC3\xB8st"));
    QCOMPARE(file.readString(other, "ip"), QString("other"));
    QCOMPARE(file.sectionNames(), (QList<QByteArray>{site, other}));
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
    QCOMPARE(file.readString("S", "k"), QString("v"));
}

void TestSettings::iniBatchSavesOnce() {
    TempDataDir dir;
    QVERIFY(dir.writeFile("Korvane.ini", "[S]\r\nold=1\r\n"));
    IniFile file(ini(dir));
    file.beginUpdate();
    QVERIFY(file.writeInteger("S", "a", 1));
    QVERIFY(file.writeInteger("S", "b", 2));
    QVERIFY(file.deleteKey("S", "old"));
    QCOMPARE(dir.readFile("Korvane.ini"), QByteArray("[S]\r\nold=1\r\n")); // not yet
    QCOMPARE(file.readInteger("S", "b", 0), 2);                            // visible in memory
    QVERIFY(file.endUpdate());
    QCOMPARE(dir.readFile("Korvane.ini"), QByteArray("[S]\r\na=1\r\nb=2\r\n"));

    // one refused write makes the group report failure, the rest is still saved
    file.beginUpdate();
    file.writeString("S", "c", "3");
    file.writeString("S", "d", "bad\nvalue");
    QVERIFY(!file.endUpdate());
    QCOMPARE(IniFile(ini(dir)).readString("S", "c"), QString("3"));
}

void TestSettings::iniNoTempFileLeft() {
    TempDataDir dir;
    IniFile file(ini(dir));
    for (int i = 0; i < 5; ++i)
        QVERIFY(file.writeInteger("S", "k" + QByteArray::number(i), i));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Korvane.ini"});
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
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Korvane.ini"});
    QCOMPARE(file.readString("S", "k"), QString("original")); // memory follows the file
}

void TestSettings::iniReadOnlyDirectoryKeepsOriginal() {
    TempDataDir dir;
    const QByteArray original = "[S]\r\nk=original\r\n";
    QVERIFY(dir.writeFile("Korvane.ini", original));
    // root ignores permissions, so act as an unprivileged owner for the write
    const bool root = geteuid() == 0;
    const uid_t nobody = 65534;
    if (root) {
        QCOMPARE(chown(QFile::encodeName(dir.path()).constData(), nobody, nobody), 0);
        QCOMPARE(chown(QFile::encodeName(ini(dir)).constData(), nobody, nobody), 0);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    if (root)
        QCOMPARE(seteuid(nobody), 0);
    bool written = true;
    {
        IniFile file(ini(dir));
        written = file.writeString("S", "k", "changed");
    }
    if (root)
        QCOMPARE(seteuid(0), 0);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!written);
    QCOMPARE(dir.readFile("Korvane.ini"), original);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Korvane.ini"});
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
    const QString explicitDir = fallback.filePath("given/deeper");

    QCOMPARE(DataPaths::Resolve({"--data-dir", explicitDir, "host"}, program.path()).directory(),
             explicitDir);
    QVERIFY(QFileInfo(explicitDir).isDir()); // created
    QCOMPARE(DataPaths::Resolve({"--data-dir=" + explicitDir}, program.path()).directory(),
             explicitDir);
    QCOMPARE(DataPaths::Resolve({"site"}, program.path(), fallback.path()).directory(),
             program.path());
    const QString noProgramDir = program.filePath("missing");
    QCOMPARE(DataPaths::Resolve({}, noProgramDir, fallback.path()).directory(), fallback.path());

    QCOMPARE(DataPaths::StripOptions({"--data-dir", "/x", "left", "--verbose", ";right"}),
             (QStringList{"left", ";right"}));
    QCOMPARE(DataPaths::StripOptions({"--data-dir=/x", "a"}), QStringList{"a"});

    const DataPaths paths(program.path());
    QCOMPARE(paths.filePath("Korvane.ini"), program.path() + "/Korvane.ini");
    QCOMPARE(paths.filePath("/var/log/k.log"), QString("/var/log/k.log"));
    // no probe file left behind in the program directory
    QCOMPARE(QDir(program.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
}

void TestSettings::fontStrings_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("styles"); // letters b i u s
    QTest::addColumn<QString>("colour");

    QTest::newRow("bold italic") << R"("Courier New", 10, [Bold|Italic], [clBlack])"
                                 << "Courier New" << 10 << "bi"
                                 << "clBlack";
    QTest::newRow("no style") << R"("Courier New", 10, [], [clBlack])"
                              << "Courier New" << 10 << ""
                              << "clBlack";
    QTest::newRow("all styles, hex colour")
        << R"("Sans", 12, [Bold|Italic|Underline|Strikeout], [$000080FF])"
        << "Sans" << 12 << "bius"
        << "$000080FF";
    QTest::newRow("comma in name") << R"("Odd, Font", 9, [Underline], [clWindowText])"
                                   << "Odd, Font" << 9 << "u"
                                   << "clWindowText";
}

void TestSettings::fontStrings() {
    QFETCH(QString, text);
    QFETCH(QString, family);
    QFETCH(int, size);
    QFETCH(QString, styles);
    QFETCH(QString, colour);

    FontDescription font;
    font.bold = font.italic = font.underline = font.strikeout = true; // all replaced
    QVERIFY(StringToFont(text, font));
    QCOMPARE(font.family, family);
    QCOMPARE(font.pointSize, size);
    QCOMPARE(font.bold, styles.contains('b'));
    QCOMPARE(font.italic, styles.contains('i'));
    QCOMPARE(font.underline, styles.contains('u'));
    QCOMPARE(font.strikeout, styles.contains('s'));
    QCOMPARE(font.colour, colour);
    QCOMPARE(FontToString(font), text);
}

void TestSettings::fontToStringFormat() {
    FontDescription font;
    font.family = "DejaVu Sans Mono";
    font.pointSize = 11;
    font.strikeout = true;
    font.bold = true;
    font.colour = ColourToName(clMaroon);
    QCOMPARE(FontToString(font),
             QString(R"("DejaVu Sans Mono", 11, [Bold|Strikeout], [clMaroon])"));
}

void TestSettings::malformedFontStrings() {
    FontDescription base;
    base.family = "Base";
    base.pointSize = 14;
    base.italic = true;
    base.colour = "clRed";

    FontDescription font = base;
    QVERIFY(StringToFont(QString(), font)); // empty: unchanged
    QCOMPARE(font, base);

    font = base;
    QVERIFY(!StringToFont("no commas at all", font));
    QCOMPARE(font, base);

    font = base;
    QVERIFY(!StringToFont(R"("Mono", big, [Bold], [clBlack])", font));
    FontDescription expected = base;
    expected.family = "Mono";
    QCOMPARE(font, expected);

    font = base;
    QVERIFY(!StringToFont(R"("Mono", 9, [Bold])", font)); // no colour part
    expected.pointSize = 9;
    QCOMPARE(font, expected);

    font = base;
    QVERIFY(!StringToFont(R"("Mono", 9, [Bold], )", font)); // empty colour
    expected.bold = true;
    expected.italic = false;
    QCOMPARE(font, expected);
}

void TestSettings::colourNames() {
    QCOMPARE(ColourToName(clRed), QString("clRed"));
    QCOMPARE(ColourToName(MakeColour(1, 2, 3)), QString("$00030201"));
    QCOMPARE(ColourFromName("$00030201"), std::optional<Colour>(MakeColour(1, 2, 3)));
    QCOMPARE(ColourFromName("clBlue"), std::optional<Colour>(clBlue));
    QCOMPARE(ColourFromName("clWindow"), std::optional<Colour>(clWindowBackground));
    QVERIFY(!ColourFromName("clNoSuchColour").has_value());
    QVERIFY(!ColourFromName("$zz").has_value());
}

void TestSettings::patternListsLoad() {
    TempDataDir dir;
    QVERIFY(dir.writeFile("skiplist.dat", "[_Skip_]\r\ns0=*.txt\r\ns1=*.nfo\r\ns3=never\r\n"));
    QCOMPARE(LoadPatternList(dir.filePath("skiplist.dat"), SkipListSection),
             (QStringList{"*.txt", "*.nfo"}));

    QVERIFY(dir.writeFile("empty.dat", "[_Skip_]\r\ns0=\r\ns1=*.x\r\n"));
    QVERIFY(LoadPatternList(dir.filePath("empty.dat"), SkipListSection).isEmpty());
    QVERIFY(LoadPatternList(dir.filePath("missing.dat"), SkipListSection).isEmpty());

    QByteArray many = "[_favorite_]\n";
    for (int i = 0; i < 3010; ++i)
        many += "S" + QByteArray::number(i) + "=p" + QByteArray::number(i) + "\n";
    QVERIFY(dir.writeFile("favorite.dat", many));
    const QStringList loaded = LoadPatternList(dir.filePath("favorite.dat"), "_FAVORITE_");
    QCOMPARE(loaded.size(), 3001);
    QCOMPARE(loaded.last(), QString("p3000"));
}

void TestSettings::patternListsSave() {
    TempDataDir dir;
    const QString path = dir.filePath("skiplist.dat");
    QVERIFY(dir.writeFile("skiplist.dat", "[_Skip_]\r\ns0=a\r\ns1=b\r\ns2=c\r\ns3=d\r\n"));
    QVERIFY(SavePatternList(path, SkipListSection, {"  zeta.*", "Alpha*", "   ", "beta "}));
    QCOMPARE(dir.readFile("skiplist.dat"),
             QByteArray("[_Skip_]\r\ns0=Alpha*\r\ns1=beta\r\ns2=zeta.*\r\n"));
    QCOMPARE(LoadPatternList(path, SkipListSection), (QStringList{"Alpha*", "beta", "zeta.*"}));

    QVERIFY(SavePatternList(path, SkipListSection, {}));
    QVERIFY(LoadPatternList(path, SkipListSection).isEmpty());
}

void TestSettings::defaultsWithoutIniFile() {
    TempDataDir dir;
    const SettingsStore store{DataPaths(dir.path())};
    const LoadedSettings loaded = store.LoadSettings();
    const Settings& s = loaded.settings;
    QCOMPARE(s.connectTimeout, 40);
    QCOMPARE(s.retryDelay, 120);
    QCOMPARE(s.statusSize, 200);
    QCOMPARE(s.autoSort, 0);
    QCOMPARE(s.sort, 0);
    QVERIFY(s.owner && s.group && !s.attrib);
    QVERIFY(s.onCompleteIdle);
    QVERIFY(s.deleteMethod);
    QVERIFY(s.dupeMatch);
    QCOMPARE(s.itemCount, 17);
    QCOMPARE(s.logName, QString("korvane.log"));
    QCOMPARE(s.skipColour, clRed);
    QVERIFY(s.identdOnly && s.viewWithShell && s.treeStyle && s.statusStyle);
    QVERIFY(!s.email.isEmpty());
    QVERIFY(loaded.skipList.isEmpty() && loaded.favourites.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{}); // reading creates nothing
}

void TestSettings::valuesFallBackAndMatchWithoutCase() {
    TempDataDir dir;
    QVERIFY(dir.writeFile("Korvane.ini", "[_main_]\nCONNECTTIMEOUT=abc\nretrydelay=7\n"
                                         "Item Count=xx\nOwner=yes\nGroup=0\nAttrib=2\n"
                                         "Proxy Port=21a\nSkipColor=65280\n"
                                         "[_sounds_]\nerror sound=5\nError Wav=/tmp/e.wav\n"));
    const Settings s = SettingsStore(DataPaths(dir.path())).ReadSettings();
    QCOMPARE(s.connectTimeout, 40);
    QCOMPARE(s.retryDelay, 7);
    QCOMPARE(s.itemCount, 17);
    QCOMPARE(s.owner, true);
    QCOMPARE(s.group, false);
    QCOMPARE(s.attrib, true);
    QCOMPARE(s.proxyPort, QString("21a"));
    QCOMPARE(s.skipColour, MakeColour(0, 255, 0));
    QCOMPARE(s.errorSound, 5);
    QCOMPARE(s.errorWav, QString("/tmp/e.wav"));

    QVERIFY(dir.writeFile("Korvane.ini", "[_Main_]\r\nItem Count=25\r\n"));
    QCOMPARE(SettingsStore(DataPaths(dir.path())).ReadSettings().itemCount, 25);
}

void TestSettings::savePreferencesRoundTrip() {
    TempDataDir dir;
    const SettingsStore store{DataPaths(dir.path())};
    Settings s;
    s.email = QString::fromUtf8("j\xC3\xB8rn@example.org");
    s.connectTimeout = 15;
    s.idleTime = 45;
    s.antiIdle = true;
    s.downloadDirectory = "/home/u/down";
    s.font = R"("Mono", 9, [Bold], [clBlack])";
    s.itemCount = 30;
    s.listCustomText = "-la";
    s.skipColour = MakeColour(1, 2, 3);
    s.proxyPort = "8021";
    s.exitEmptyQueue = true;
    s.queueSound = 6;
    s.queueWav = "/x/done.wav";
    s.cleanUp = true;
    QVERIFY(store.SavePreferences(s, {" *.bad ", "*.tmp"}, {"*mp3*"}));

    const LoadedSettings loaded = store.LoadSettings();
    const Settings& r = loaded.settings;
    QCOMPARE(r.email, s.email);
    QCOMPARE(r.connectTimeout, 15);
    QCOMPARE(r.idleTime, 45);
    QCOMPARE(r.antiIdle, true);
    QCOMPARE(r.downloadDirectory, s.downloadDirectory);
    QCOMPARE(r.font, s.font);
    QCOMPARE(r.itemCount, 30);
    QCOMPARE(r.listCustomText, s.listCustomText);
    QCOMPARE(r.skipColour, s.skipColour);
    QCOMPARE(r.proxyPort, s.proxyPort);
    QCOMPARE(r.exitEmptyQueue, true);
    QCOMPARE(r.queueSound, 6);
    QCOMPARE(r.queueWav, s.queueWav);
    QCOMPARE(r.cleanUp, true);
    QCOMPARE(loaded.skipList, (QStringList{"*.bad", "*.tmp"}));
    QCOMPARE(loaded.favourites, QStringList{"*mp3*"});

    const QByteArray text = dir.readFile("Korvane.ini");
    QVERIFY(text.contains("\r\nItem Count=30\r\n"));
    QVERIFY(text.contains("\r\nAnti-Idle=1\r\n"));
    QVERIFY(text.contains("[_Confirm_]\r\nExitEmptyQueue=1\r\n"));
}

void TestSettings::savePreferencesErasesOldSkipSectionOnly() {
    TempDataDir dir;
    QVERIFY(dir.writeFile("Korvane.ini", "[_Sites_]\r\ns0=home\r\n[_skip_]\r\ns0=*.old\r\n"
                                         "[home]\r\nIP=127.0.0.1\r\n"));
    const SettingsStore store{DataPaths(dir.path())};
    QVERIFY(store.SavePreferences(Settings(), {"*.new"}, {}));
    const IniFile file(store.iniPath());
    QVERIFY(!file.sectionExists("_Skip_"));
    QCOMPARE(file.readString("_Sites_", "s0"), QString("home"));
    QCOMPARE(file.readString("home", "IP"), QString("127.0.0.1"));
    QCOMPARE(file.sectionNames().first(), QByteArray("_Sites_"));
    QCOMPARE(LoadPatternList(store.skipListPath(), SkipListSection), QStringList{"*.new"});
}

void TestSettings::savePreferencesKeepsMenuToggles() {
    TempDataDir dir;
    const SettingsStore store{DataPaths(dir.path())};
    Settings dialogCopy = store.ReadSettings();
    // menus change these while the dialog is open
    QVERIFY(store.WriteToggle(ToggleKey::DupeMatch, false));
    QVERIFY(store.WriteToggle(ToggleKey::Cache, true));
    QVERIFY(store.WriteAll(true));
    QVERIFY(store.SavePreferences(dialogCopy, {}, {}));
    const Settings r = store.ReadSettings();
    QCOMPARE(r.dupeMatch, false);
    QCOMPARE(r.cache, true);
    QCOMPARE(r.all, true);
    QVERIFY(!IniFile(store.iniPath()).keyExists("_Main_", "Left")); // layout is written at close
}

void TestSettings::idleTimeValidation() {
    QCOMPARE(SettingsStore::ValidateIdleTime(29),
             QString("Ant-idle value to low. \nLowest value 30 sec."));
    QCOMPARE(SettingsStore::ValidateIdleTime(0), SettingsStore::ValidateIdleTime(29));
    QVERIFY(SettingsStore::ValidateIdleTime(30).isEmpty());
    QVERIFY(SettingsStore::ValidateIdleTime(120).isEmpty());
}

void TestSettings::windowLayout() {
    TempDataDir dir;
    const SettingsStore store{DataPaths(dir.path())};
    WindowLayout d = store.ReadWindowLayout();
    QCOMPARE(QList<int>({d.left, d.top, d.width, d.height, d.split3, d.split1, d.split2}),
             QList<int>({100, 100, 507, 455, 320, 248, 248}));
    QVERIFY(!d.maximized);

    QVERIFY(dir.writeFile("Korvane.ini", "[_Main_]\r\nWidth=800\r\nSplit 2=10\r\nState=2\r\n"));
    d = store.ReadWindowLayout();
    QCOMPARE(d.split1, 395); // follows the stored width
    QCOMPARE(d.split2, 10);
    QVERIFY(!d.maximized); // only 1 maximizes

    const WindowLayout w{5, 6, 700, 500, 300, 111, 222, true};
    QVERIFY(store.WriteWindowLayout(w));
    const WindowLayout r = store.ReadWindowLayout();
    QCOMPARE(QList<int>({r.left, r.top, r.width, r.height, r.split3, r.split1, r.split2}),
             QList<int>({5, 6, 700, 500, 300, 111, 222}));
    QVERIFY(r.maximized);
    const QByteArray text = dir.readFile("Korvane.ini");
    QVERIFY(text.contains("\r\nSplit 3=300\r\n"));
    QVERIFY(text.contains("\r\nState=1\r\n"));
    QCOMPARE(store.ReadSettings().layout.split2, 222);
}

void TestSettings::viewerWindow() {
    TempDataDir dir;
    const SettingsStore store{DataPaths(dir.path())};
    const QRect current(1, 2, 300, 200);
    QVERIFY(!store.ReadViewerGeometry(current).has_value());
    QVERIFY(store.ReadViewerFont().isEmpty());

    QVERIFY(store.WriteViewerFont(R"("Mono", 9, [], [clBlack])"));
    QCOMPARE(store.ReadViewerGeometry(current), std::optional<QRect>(current));
    QVERIFY(store.WriteViewerGeometry(QRect(10, 20, 640, 480)));
    QCOMPARE(store.ReadViewerGeometry(current), std::optional<QRect>(QRect(10, 20, 640, 480)));
    QCOMPARE(store.ReadViewerFont(), QString(R"("Mono", 9, [], [clBlack])"));
}

void TestSettings::togglesAndAllFlag() {
    TempDataDir dir;
    const SettingsStore store{DataPaths(dir.path())};
    QVERIFY(!store.ReadAll());
    QVERIFY(store.WriteAll(true));
    QVERIFY(store.ReadAll());
    QVERIFY(store.WriteToggle(ToggleKey::OnCompleteIdle, false));
    QVERIFY(store.WriteToggle(ToggleKey::LeftTree, true));
    QCOMPARE(dir.readFile("Korvane.ini"),
             QByteArray("[_Main_]\r\nall=1\r\nOn Complete Idle=0\r\nLeft Tree=1\r\n"));
    const Settings s = store.ReadSettings();
    QVERIFY(!s.onCompleteIdle && s.leftTree && s.all);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
