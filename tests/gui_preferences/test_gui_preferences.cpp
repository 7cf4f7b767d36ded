// The Preferences dialog: it shows the settings it is given, writes every
// field on "&OK" through the settings store, and leaves the file alone
// otherwise. The store's own rules (validation, file layout) are tested in
// the settings tests.
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/FontConversion.h"
#include "app/PatternList.h"
#include "app/PreferencesDialog.h"
#include "app/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// A data directory, a store on it and recorders for everything the dialog
// would ask the user or the desktop.
struct Fixture {
    TempDataDir dir;
    SettingsStore store{DataPaths(dir.path())};
    RecordingDesktopServices services;
    ScriptedUserPrompts prompts;

    std::unique_ptr<PreferencesDialog> open(const Settings& current = Settings()) {
        auto dialog = std::make_unique<PreferencesDialog>(current, store, services, prompts);
        dialog->show();
        return dialog;
    }
    // The refusals and failures shown so far.
    QStringList messages() const { return prompts.asked.filter(QRegularExpression("^error:")); }
    QByteArray ini() const { return dir.readFile("Korvane.ini"); }
};

template <class T = QWidget> T* child(const QWidget* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (!found)
        qFatal("no child %s", qPrintable(name));
    return found;
}

void click(const QWidget* dialog, const QString& button) {
    child<QPushButton>(dialog, button)->click();
}

QStringList listTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// Puts the state of every named field of one dialog into the other, as a
// user would enter it.
void copyFields(const QWidget* from, QWidget* to) {
    for (const QWidget* source : from->findChildren<QWidget*>()) {
        const QString name = source->objectName();
        QWidget* target =
            name.isEmpty() || name.startsWith("qt_") ? nullptr : to->findChild<QWidget*>(name);
        if (auto* edit = qobject_cast<const QLineEdit*>(source); edit && target)
            qobject_cast<QLineEdit*>(target)->setText(edit->text());
        else if (auto* spin = qobject_cast<const QSpinBox*>(source); spin && target)
            qobject_cast<QSpinBox*>(target)->setValue(spin->value());
        else if (auto* box = qobject_cast<const QComboBox*>(source); box && target)
            qobject_cast<QComboBox*>(target)->setCurrentIndex(box->currentIndex());
        else if (auto* button = qobject_cast<const QAbstractButton*>(source);
                 button && button->isCheckable() && target)
            qobject_cast<QAbstractButton*>(target)->setChecked(button->isChecked());
    }
}

// Every key the dialog writes, each away from its default.
const QByteArray EveryKeyChanged =
    "[_Main_]\r\nEmail=me@example.org\r\nConnectTimeout=41\r\nRetryDelay=121\r\n"
    "RetryCount=3\r\nStatus Size=201\r\nLog Name=/var/log/k.log\r\nLogging=1\r\n"
    "Download Directory=/srv/down\r\nView=0\r\nFile Viewer=/usr/bin/less\r\nUse Temp=1\r\n"
    "Anti-Idle=1\r\nIdle Time=45\r\nDirectories=1\r\nAutoSort=3\r\nSort=1\r\nOwner=0\r\n"
    "Group=0\r\nAttrib=1\r\nFont=\"Courier New\", 12, [Bold], [clBlack]\r\n"
    "StatusFont=\"Mono\", 9, [], [clRed]\r\nItem Count=23\r\nOn Double Click=2\r\n"
    "On DragDrop=1\r\nOn Local Duplicate=3\r\nWait=1\r\nAlt List=1\r\nShow214=1\r\n"
    "RestoreResume=1\r\nCleanUp=1\r\nList Method=2\r\nList Custom Text=-la\r\nSkip=1\r\n"
    "Skip null files=1\r\nSkip Empty Dirs=1\r\nSkip List Applies to Dirs=1\r\nShow Skip=1\r\n"
    "SkipColor=16711680\r\nFavorites=1\r\nFColor=65280\r\nIdentd Server=1\r\n"
    "Identd User=ident-me\r\nIdentd Only=0\r\nProxy=1\r\nProxy Host=proxy.local\r\n"
    "Proxy Port=2121\r\n[_Confirm_]\r\nExitEmptyQueue=1\r\n[_Sounds_]\r\n"
    "Connect Sound=6\r\nDisconnect Sound=2\r\nError Sound=5\r\nQueue Sound=1\r\n"
    "Connect Wav=/s/c.wav\r\nDisconnect Wav=/s/d.wav\r\nError Wav=/s/e.wav\r\n"
    "Queue Wav=/s/q.wav\r\n";

} // namespace

class TestGuiPreferences : public QObject {
    Q_OBJECT

private slots:
    void everyFieldIsShownAndWritten();
    void fontsListsAndAllComeFromTheFiles();
    void onlyASuccessfulOkWrites();
    void unlistedStoredChoicesSurvive();
    void dependentFieldsAndSpinLimits();
    void patternListEditing();
    void pickersFillFieldsAndPlayButtonsPlay();
    void fontConversionRoundTrip();
};

void TestGuiPreferences::everyFieldIsShownAndWritten() {
    Fixture f;
    QVERIFY(f.dir.writeFile("Korvane.ini", EveryKeyChanged));
    const Settings stored = f.store.ReadSettings();

    // One dialog shows the stored values; a user copies each field into a
    // dialog that started from the defaults and confirms it.
    auto shown = f.open(stored);
    auto entered = f.open();
    QSignalSpy saved(entered.get(), &PreferencesDialog::preferencesSaved);
    copyFields(shown.get(), entered.get());
    // Into an empty file, so that a key written too few or too many shows.
    QVERIFY(f.dir.writeFile("Korvane.ini", {}));
    click(entered.get(), "OK1");
    QVERIFY(f.messages().isEmpty());
    QCOMPARE(entered->result(), int(QDialog::Accepted));
    QCOMPARE(saved.count(), 1);
    QCOMPARE(saved.at(0).at(0).value<Settings>().identdOnly, true);
    QCOMPARE(saved.at(0).at(1).value<Settings>().identdOnly, false);
    // Every key was read, shown and written back. Line by line, so a failure
    // names the key.
    QCOMPARE(QString::fromUtf8(f.ini()).split("\r\n"),
             QString::fromUtf8(EveryKeyChanged).split("\r\n"));

    // Each value sits in its own field.
    const QWidget* d = shown.get();
    const std::pair<const char*, int> spins[] = {
        {"connectTimeoutSpin", 41}, {"retryDelaySpin", 121}, {"retryCountSpin", 3},
        {"statusSizeSpin", 201},    {"idleTimeSpin", 45},    {"itemCountSpin", 23}};
    for (const auto& [name, value] : spins)
        QCOMPARE(child<QSpinBox>(d, name)->value(), value);
    const std::pair<const char*, QString> boxes[] = {{"connectSoundCombo", u"<Wav File>"_s},
                                                     {"errorSoundCombo", u"Stop"_s},
                                                     {"skipColourBox", u"Blue"_s},
                                                     {"favoritesColourBox", u"Lime"_s}};
    for (const auto& [name, text] : boxes)
        QCOMPARE(child<QComboBox>(d, name)->currentText(), text);
    QVERIFY(child<QRadioButton>(d, "autoSortGroupButton3")->isChecked());
    QCOMPARE(child<QRadioButton>(d, "onLocalDuplicateGroupButton3")->text(), u"Skip always"_s);
    QVERIFY(child<QRadioButton>(d, "onLocalDuplicateGroupButton3")->isChecked());
}

void TestGuiPreferences::fontsListsAndAllComeFromTheFiles() {
    Fixture f;
    QVERIFY(f.dir.writeFile("Korvane.ini", "[_Main_]\r\nFont=\"Courier New\", 12, [Bold], "
                                           "[clMaroon]\r\nall=1\r\n"));
    QVERIFY(f.dir.writeFile("skiplist.dat", "[_Skip_]\r\ns0=zeta*\r\ns1=  Alpha  \r\n"
                                            "s2=*.tmp\r\ns4=never\r\n"));
    QVERIFY(f.dir.writeFile("favorite.dat", "[_favorite_]\r\ns0=*.mp3\r\n"));
    Settings given; // the values in use may be older than a hand edit
    given.font = u"\"Given\", 8, [], [clRed]"_s;
    given.cleanUp = true;
    auto dialog = f.open(given);
    QVERIFY(child<QLabel>(dialog.get(), "fontPreviewLabel")->text().startsWith("Courier New, 12"));
    QCOMPARE(dialog->editedSettings().font, u"\"Courier New\", 12, [Bold], [clMaroon]"_s);
    const QWidget* optionsTab = child(dialog.get(), "optionsTab");
    QVERIFY(child(dialog.get(), "cleanUpCheck")->isVisibleTo(optionsTab));
    QCOMPARE(listTexts(child<QListWidget>(dialog.get(), "skipPatternList")),
             (QStringList{"*.tmp", "Alpha", "zeta*"}));
    QCOMPARE(listTexts(child<QListWidget>(dialog.get(), "favoritePatternList")),
             QStringList{"*.mp3"});

    // The font dialog starts from the shown font and its answer keeps the
    // colour. No answer is a cancel: the empty status font stays empty.
    FontDescription chosen;
    chosen.family = u"DejaVu Sans"_s;
    chosen.pointSize = 14;
    chosen.bold = true;
    f.prompts.fontAnswers.enqueue(chosen);
    click(dialog.get(), "fontButton");
    click(dialog.get(), "statusFontButton");
    const QList<FontDescription>& offered = f.prompts.fontsOffered;
    QCOMPARE(offered.size(), 2);
    QVERIFY(offered[0].family == u"Courier New"_s && offered[0].pointSize == 12 && offered[0].bold);
    QVERIFY(child<QLabel>(dialog.get(), "fontPreviewLabel")->text().startsWith("DejaVu Sans, 14"));
    QCOMPARE(dialog->editedSettings().font, u"\"DejaVu Sans\", 14, [Bold], [clMaroon]"_s);
    QVERIFY(dialog->editedSettings().statusFont.isEmpty());

    // "all" off hides "Clean up Empty Directorys", which still keeps its value.
    QVERIFY(f.dir.writeFile("Korvane.ini", "[_Main_]\r\nall=0\r\n"));
    given.all = true;
    auto hidden = f.open(given);
    QVERIFY(!child(hidden.get(), "cleanUpCheck")->isVisibleTo(child(hidden.get(), "optionsTab")));
    QVERIFY(hidden->editedSettings().cleanUp);
}

void TestGuiPreferences::onlyASuccessfulOkWrites() {
    Fixture f;
    const QByteArray original = "[_Main_]\r\nEmail=old@example.org\r\n";
    QVERIFY(f.dir.writeFile("Korvane.ini", original));
    QVERIFY(f.dir.writeFile("skiplist.dat", "[_Skip_]\r\ns0=keep*\r\n"));
    auto dialog = f.open();
    QSignalSpy saved(dialog.get(), &PreferencesDialog::preferencesSaved);
    child<QLineEdit>(dialog.get(), "emailEdit")->setText("kept@example.org");
    child<QListWidget>(dialog.get(), "skipPatternList")->setCurrentRow(0);
    click(dialog.get(), "skipPatternRemoveButton");
    // A refused interval: the message, and the dialog stays open.
    child<QSpinBox>(dialog.get(), "idleTimeSpin")->setValue(29);
    click(dialog.get(), "OK1");
    QVERIFY(f.messages().size() == 1 && dialog->isVisible());
    QCOMPARE(f.ini(), original);
    // A directory where a pattern file belongs cannot be replaced by a file.
    child<QSpinBox>(dialog.get(), "idleTimeSpin")->setValue(30);
    QVERIFY(QDir(f.dir.path()).mkdir("favorite.dat"));
    click(dialog.get(), "OK1");
    QVERIFY(f.messages().size() == 2 && dialog->isVisible() && saved.count() == 0);
    // With every edit still there, the next OK saves them.
    QVERIFY(QDir(f.dir.path()).rmdir("favorite.dat"));
    click(dialog.get(), "OK1");
    QVERIFY(f.messages().size() == 2 && saved.count() == 1 && !dialog->isVisible());
    QCOMPARE(f.store.ReadSettings().email, u"kept@example.org"_s);
    QVERIFY(LoadPatternList(f.store.skipListPath(), SkipListSection).isEmpty());

    // "&Cancel" writes nothing.
    QVERIFY(f.dir.writeFile("Korvane.ini", original));
    auto cancelled = f.open();
    child<QLineEdit>(cancelled.get(), "emailEdit")->setText("new@example.org");
    click(cancelled.get(), "cancelButton");
    QCOMPARE(cancelled->result(), int(QDialog::Rejected));
    QCOMPARE(f.ini(), original);
    QCOMPARE(saved.count(), 1);
}

void TestGuiPreferences::unlistedStoredChoicesSurvive() {
    // A hand-edited file can hold values no control offers; opening and
    // confirming the dialog must not change them.
    Fixture f;
    Settings given;
    given.autoSort = 7;
    given.onDoubleClick = -1;
    given.queueSound = 9;
    given.favoritesColour = 0x00ABCDEF;
    auto dialog = f.open(given);
    for (int i = 0; i < 6; ++i)
        QVERIFY(!child<QRadioButton>(dialog.get(), QString("autoSortGroupButton%1").arg(i))
                     ->isChecked());
    QCOMPARE(child<QComboBox>(dialog.get(), "queueSoundCombo")->currentIndex(), -1);
    QCOMPARE(child<QComboBox>(dialog.get(), "favoritesColourBox")->currentText(), u"$00ABCDEF"_s);
    click(dialog.get(), "queuePlayButton");
    QVERIFY(f.services.soundCalls().isEmpty());

    click(dialog.get(), "OK1");
    const Settings read = f.store.ReadSettings();
    QCOMPARE(read.autoSort, 7);
    QCOMPARE(read.onDoubleClick, -1);
    QCOMPARE(read.queueSound, 9);
    QCOMPARE(read.favoritesColour, Colour(0x00ABCDEF));

    // Picking a choice replaces the unlisted value.
    auto again = f.open(read);
    child<QRadioButton>(again.get(), "autoSortGroupButton1")->setChecked(true);
    QCOMPARE(again->editedSettings().autoSort, 1);
}

void TestGuiPreferences::dependentFieldsAndSpinLimits() {
    Fixture f;
    Settings given; // View on, Identd Server off, Proxy off
    auto dialog = f.open(given);
    auto enabled = [&dialog](const QStringList& names) {
        int count = 0;
        for (const QString& name : names)
            count += child(dialog.get(), name)->isEnabled() ? 1 : 0;
        return count;
    };
    const QStringList viewer{"fileViewerEdit", "fileViewerBrowseButton"};
    const QStringList ident{"identUserEdit", "identOnlyCheck"};
    const QStringList proxy{"proxyHostEdit", "proxyPortEdit"};
    QVERIFY(enabled(viewer) == 0 && enabled(ident) == 0 && enabled(proxy) == 0);
    child<QCheckBox>(dialog.get(), "viewWithShellCheck")->setChecked(false);
    child<QCheckBox>(dialog.get(), "identEnableCheck")->setChecked(true);
    QVERIFY(enabled(viewer) == 2 && enabled(ident) == 2 && enabled(proxy) == 0);
    child<QCheckBox>(dialog.get(), "proxyEnableCheck")->setChecked(true);
    child<QCheckBox>(dialog.get(), "identEnableCheck")->setChecked(false);
    child<QCheckBox>(dialog.get(), "viewWithShellCheck")->setChecked(true);
    QVERIFY(enabled(viewer) == 0 && enabled(ident) == 0 && enabled(proxy) == 2);

    // Loaded values set the enabled state too.
    given.viewWithShell = false;
    given.proxy = true;
    auto other = f.open(given);
    QVERIFY(child(other.get(), "fileViewerEdit")->isEnabled());
    QVERIFY(child(other.get(), "proxyHostEdit")->isEnabled());

    const QList<QSpinBox*> spins = dialog->findChildren<QSpinBox*>();
    QCOMPARE(spins.size(), 6);
    for (QSpinBox* spin : spins) {
        spin->setValue(-5);
        QVERIFY2(spin->value() == 0, qPrintable(spin->objectName()));
    }
}

void TestGuiPreferences::patternListEditing() {
    Fixture f;
    QVERIFY(f.dir.writeFile("favorite.dat", "[_favorite_]\r\ns0=*.mp3\r\ns1=*.avi\r\n"));
    auto dialog = f.open();
    child<QTabWidget>(dialog.get(), "preferencesTabs")->setCurrentIndex(4);
    auto* list = child<QListWidget>(dialog.get(), "favoritePatternList");
    auto* field = child<QLineEdit>(dialog.get(), "favoritePatternEdit");
    for (const char* pattern : {"   ", "  Movie*  ", "a*"}) {
        field->setText(pattern);
        click(dialog.get(), "favoritePatternAddButton");
    }
    QCOMPARE(listTexts(list), (QStringList{"*.avi", "*.mp3", "a*", "Movie*"}));
    QVERIFY(field->text().isEmpty());

    // "&Remove" needs a selection; the Delete key removes as well.
    list->setCurrentRow(-1);
    list->clearSelection();
    click(dialog.get(), "favoritePatternRemoveButton");
    QCOMPARE(list->count(), 4);
    list->setCurrentRow(2);
    click(dialog.get(), "favoritePatternRemoveButton");
    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(listTexts(list), (QStringList{"*.mp3", "Movie*"}));

    // Double-click takes the pattern into the field; "&Add" puts the edit back.
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    const QPoint at = list->visualItemRect(list->item(1)).center();
    // Real input: press, release, then the double-click and its release.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(field->text(), u"Movie*"_s);
    QCOMPARE(listTexts(list), QStringList{"*.mp3"});
    field->setText("Movies*");
    click(dialog.get(), "favoritePatternAddButton");
    QCOMPARE(dialog->favourites(), (QStringList{"*.mp3", "Movies*"}));
    QVERIFY(dialog->skipList().isEmpty());
}
void TestGuiPreferences::pickersFillFieldsAndPlayButtonsPlay() {
    Fixture f;
    auto dialog = f.open();
    child<QCheckBox>(dialog.get(), "viewWithShellCheck")->setChecked(false);
    // The log file button picks a folder; an empty answer is a cancel.
    const struct {
        const char* button;
        QString answer;
        const char* field;
        QString shown;
    } pickers[] = {
        {"logNameBrowseButton", u"/var/tmp/logs"_s, "logNameEdit", u"/var/tmp/logs/korvane.log"_s},
        {"logNameBrowseButton", u"/"_s, "logNameEdit", u"/korvane.log"_s},
        {"logNameBrowseButton", QString(), "logNameEdit", u"/korvane.log"_s},
        {"downloadDirectoryBrowseButton", u"/srv/down"_s, "downloadDirectoryEdit", u"/srv/down"_s},
        {"fileViewerBrowseButton", u"/usr/bin/less"_s, "fileViewerEdit", u"/usr/bin/less"_s},
        {"queueWavBrowseButton", u"/s/done.wav"_s, "queueWavEdit", u"/s/done.wav"_s},
    };
    for (const auto& picker : pickers) {
        f.prompts.fileAnswers.enqueue(picker.answer);
        click(dialog.get(), picker.button);
        QCOMPARE(child<QLineEdit>(dialog.get(), picker.field)->text(), picker.shown);
    }
    QCOMPARE(f.prompts.fileQuestions.last().filter, u"Wav File (*.wav)"_s);

    // Each play button plays its row's selected kind with its file.
    child<QComboBox>(dialog.get(), "queueSoundCombo")->setCurrentIndex(6);
    child<QComboBox>(dialog.get(), "connectSoundCombo")->setCurrentIndex(3);
    child<QComboBox>(dialog.get(), "disconnectSoundCombo")->setCurrentIndex(2);
    child<QComboBox>(dialog.get(), "errorSoundCombo")->setCurrentIndex(0);
    for (const char* button :
         {"queuePlayButton", "connectPlayButton", "disconnectPlayButton", "errorPlayButton"})
        click(dialog.get(), button);
    QCOMPARE(f.services.soundCalls(),
             (QStringList{"playWaveFile:/s/done.wav", "playSystemSound:3", "beep"}));
}
void TestGuiPreferences::fontConversionRoundTrip() {
    FontDescription desc;
    desc.family = u"Courier New"_s;
    desc.pointSize = 11;
    desc.italic = desc.strikeout = true;
    desc.colour = u"clMaroon"_s;
    QCOMPARE(ToFontDescription(ToQFont(desc, QFont()), desc.colour), desc);
    // An empty family keeps the base family.
    desc.family.clear();
    QCOMPARE(ToQFont(desc, QFont(u"DejaVu Serif"_s)).family(), u"DejaVu Serif"_s);

    // A pixel-sized font still gives a size the settings string reads back.
    QFont pixels(u"DejaVu Sans"_s);
    pixels.setPixelSize(20);
    const FontDescription fromPixels = ToFontDescription(pixels, u"clBlack"_s);
    FontDescription back;
    QVERIFY(StringToFont(FontToString(fromPixels), back));
    QVERIFY(back.pointSize > 0 && back.pointSize == fromPixels.pointSize);
}
QTEST_MAIN(TestGuiPreferences)
#include "test_gui_preferences.moc"
