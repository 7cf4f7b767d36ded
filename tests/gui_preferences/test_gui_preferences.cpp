#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/FontConversion.h"
#include "app/IniFile.h"
#include "app/PatternList.h"
#include "app/PreferencesDialog.h"
#include "app/SettingsStore.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
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
    QStringList messages() const {
        const QString prefix = QStringLiteral("error:");
        QStringList shown;
        for (const QString& entry : prompts.asked)
            if (entry.startsWith(prefix))
                shown << entry.mid(prefix.size());
        return shown;
    }

    QByteArray ini() const { return dir.readFile("Korvane.ini"); }
};

template <class T> T* child(const QWidget* parent, const QString& name) {
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

const QString IdleRefusal = QStringLiteral("Ant-idle value to low. \nLowest value 30 sec.");
const QByteArray StoredFont = "\"Courier New\", 12, [Bold], [clBlack]";

} // namespace

class TestGuiPreferences : public QObject {
    Q_OBJECT

private slots:
    void showsGivenValuesButFontsListsAndAllFromFiles();
    void okWritesEveryValueAndBothLists();
    void idleBelowThirtyIsRefusedAndNothingWritten();
    void cancelWritesNothing();
    void failedSaveStaysOpenWithTheEdits();
    void unlistedStoredChoicesSurvive();
    void dependentFieldsAndSpinLimits();
    void allFlagFromFileShowsCleanUpBox();
    void patternListEditing();
    void pickersFillFieldsAndPlayButtonsPlay();
    void fontButtonsKeepColourAndCancel();
    void fontConversionRoundTrip();
};

void TestGuiPreferences::showsGivenValuesButFontsListsAndAllFromFiles() {
    Fixture f;
    QVERIFY(f.dir.writeFile("Korvane.ini", "[_Main_]\r\nEmail=file@example.org\r\n"
                                           "Idle Time=999\r\nFont=" +
                                               StoredFont + "\r\nall=1\r\n"));
    QVERIFY(f.dir.writeFile("skiplist.dat", "[_Skip_]\r\ns0=zeta*\r\ns1=  Alpha  \r\n"
                                            "s2=*.tmp\r\ns4=never\r\n"));
    QVERIFY(f.dir.writeFile("favorite.dat", "[_favorite_]\r\ns0=*.mp3\r\n"));

    Settings given;
    given.email = QStringLiteral("given@example.org");
    given.idleTime = 45;
    given.connectTimeout = 17;
    given.viewWithShell = false;
    given.fileViewer = QStringLiteral("/usr/bin/less");
    given.autoSort = 2;
    given.sort = 1;
    given.onLocalDuplicate = 3;
    given.listMethod = 2;
    given.connectSound = 6;
    given.connectWav = QStringLiteral("/sounds/connect.wav");
    given.errorSound = 5;
    given.skipColour = clBlue;
    given.favoritesColour = MakeColour(0x56, 0x34, 0x12);
    given.identdUser = QStringLiteral("ident-me");
    given.proxyPort = QStringLiteral("2121");
    given.exitEmptyQueue = true;
    given.font = QStringLiteral("\"Given\", 8, [], [clRed]"); // the file wins
    given.all = false;                                        // the file wins
    auto dialog = f.open(given);

    QCOMPARE(dialog->windowTitle(), QStringLiteral("Preferences"));
    QCOMPARE(dialog->objectName(), QStringLiteral("Form5"));
    const auto* tabs = child<QTabWidget>(dialog.get(), "preferencesTabs");
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    QCOMPARE(titles, (QStringList{"General", "Display", "Options", "Skip List", "Favorites",
                                  "Ident Server / Firewall", "Sounds"}));

    QCOMPARE(child<QLineEdit>(dialog.get(), "emailEdit")->text(), given.email);
    QCOMPARE(child<QSpinBox>(dialog.get(), "idleTimeSpin")->value(), 45);
    QCOMPARE(child<QSpinBox>(dialog.get(), "connectTimeoutSpin")->value(), 17);
    QVERIFY(!child<QCheckBox>(dialog.get(), "viewWithShellCheck")->isChecked());
    QCOMPARE(child<QLineEdit>(dialog.get(), "fileViewerEdit")->text(), given.fileViewer);
    QVERIFY(child<QRadioButton>(dialog.get(), "autoSortGroupButton2")->isChecked());
    QVERIFY(child<QRadioButton>(dialog.get(), "sortGroupButton1")->isChecked());
    const auto* skipAlways = child<QRadioButton>(dialog.get(), "onLocalDuplicateGroupButton3");
    QVERIFY(skipAlways->isChecked());
    QCOMPARE(skipAlways->text(), QStringLiteral("Skip always"));
    QVERIFY(child<QRadioButton>(dialog.get(), "listMethodGroupButton2")->isChecked());
    QCOMPARE(child<QLineEdit>(dialog.get(), "listCustomTextEdit")->text(), QStringLiteral("al"));
    QVERIFY(child<QCheckBox>(dialog.get(), "exitEmptyQueueCheck")->isChecked());
    QCOMPARE(child<QLineEdit>(dialog.get(), "identUserEdit")->text(), given.identdUser);
    QCOMPARE(child<QLineEdit>(dialog.get(), "proxyPortEdit")->text(), given.proxyPort);

    const auto* connectSound = child<QComboBox>(dialog.get(), "connectSoundCombo");
    QStringList kinds;
    for (int i = 0; i < connectSound->count(); ++i)
        kinds << connectSound->itemText(i);
    QCOMPARE(kinds, (QStringList{"(none)", "Asterisk", "Beep", "Exclamation", "Question", "Stop",
                                 "<Wav File>"}));
    QCOMPARE(connectSound->currentText(), QStringLiteral("<Wav File>"));
    QCOMPARE(child<QLineEdit>(dialog.get(), "connectWavEdit")->text(), given.connectWav);
    QCOMPARE(child<QComboBox>(dialog.get(), "errorSoundCombo")->currentText(),
             QStringLiteral("Stop"));
    QCOMPARE(child<QComboBox>(dialog.get(), "skipColourBox")->currentText(),
             QStringLiteral("Blue"));
    QCOMPARE(child<QComboBox>(dialog.get(), "favoritesColourBox")->currentText(),
             QStringLiteral("$00123456"));

    // Read from the files rather than taken from the given values.
    QVERIFY(child<QLabel>(dialog.get(), "fontPreviewLabel")->text().startsWith("Courier New, 12"));
    QCOMPARE(dialog->editedSettings().font, QString::fromLatin1(StoredFont));
    QVERIFY(child<QCheckBox>(dialog.get(), "cleanUpCheck")
                ->isVisibleTo(child<QWidget>(dialog.get(), "optionsTab")));
    QCOMPARE(listTexts(child<QListWidget>(dialog.get(), "skipPatternList")),
             (QStringList{"*.tmp", "Alpha", "zeta*"}));
    QCOMPARE(listTexts(child<QListWidget>(dialog.get(), "favoritePatternList")),
             QStringList{"*.mp3"});
}

void TestGuiPreferences::okWritesEveryValueAndBothLists() {
    Fixture f;
    // A menu toggle, the old skip list location and an unrelated section.
    const QByteArray original = "[_Main_]\r\nCache=1\r\n[_Skip_]\r\ns0=old*\r\n"
                                "[_Sites_]\r\n0=Home\r\n";
    QVERIFY(f.dir.writeFile("Korvane.ini", original));
    Settings given;
    auto dialog = f.open(given);
    QSignalSpy saved(dialog.get(), &PreferencesDialog::preferencesSaved);

    child<QLineEdit>(dialog.get(), "emailEdit")->setText("me@example.org");
    child<QSpinBox>(dialog.get(), "connectTimeoutSpin")->setValue(55);
    child<QSpinBox>(dialog.get(), "statusSizeSpin")->setValue(1000);
    child<QCheckBox>(dialog.get(), "antiIdleCheck")->setChecked(true);
    child<QSpinBox>(dialog.get(), "idleTimeSpin")->setValue(30);
    child<QRadioButton>(dialog.get(), "autoSortGroupButton5")->setChecked(true);
    child<QRadioButton>(dialog.get(), "directoriesGroupButton1")->setChecked(true);
    child<QCheckBox>(dialog.get(), "ownerCheck")->setChecked(false);
    child<QSpinBox>(dialog.get(), "itemCountSpin")->setValue(23);
    child<QRadioButton>(dialog.get(), "onDoubleClickGroupButton2")->setChecked(true);
    child<QRadioButton>(dialog.get(), "listMethodGroupButton2")->setChecked(true);
    child<QCheckBox>(dialog.get(), "show214Check")->setChecked(true);
    child<QCheckBox>(dialog.get(), "skipCheck")->setChecked(true);
    auto* skipColour = child<QComboBox>(dialog.get(), "skipColourBox");
    skipColour->setCurrentIndex(skipColour->findText("Lime"));
    child<QCheckBox>(dialog.get(), "identEnableCheck")->setChecked(true);
    child<QLineEdit>(dialog.get(), "identUserEdit")->setText("ident-me");
    child<QCheckBox>(dialog.get(), "identOnlyCheck")->setChecked(false);
    child<QCheckBox>(dialog.get(), "proxyEnableCheck")->setChecked(true);
    child<QLineEdit>(dialog.get(), "proxyHostEdit")->setText("proxy.local");
    child<QLineEdit>(dialog.get(), "proxyPortEdit")->setText("2121");
    child<QComboBox>(dialog.get(), "errorSoundCombo")->setCurrentIndex(6);
    child<QLineEdit>(dialog.get(), "errorWavEdit")->setText("/sounds/error.wav");
    child<QCheckBox>(dialog.get(), "exitEmptyQueueCheck")->setChecked(true);
    for (const char* pattern : {"  b*  ", "*.nfo", "A*"}) {
        child<QLineEdit>(dialog.get(), "skipPatternEdit")->setText(pattern);
        click(dialog.get(), "skipPatternAddButton");
    }
    child<QLineEdit>(dialog.get(), "favoritePatternEdit")->setText(" *.mp3 ");
    click(dialog.get(), "favoritePatternAddButton");

    click(dialog.get(), "OK1");
    QVERIFY(f.messages().isEmpty());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(saved.count(), 1);
    const auto before = saved.at(0).at(0).value<Settings>();
    const auto after = saved.at(0).at(1).value<Settings>();
    QCOMPARE(before.email, given.email);
    QCOMPARE(before.identdOnly, true);
    QCOMPARE(after.identdOnly, false);
    QCOMPARE(after.antiIdle, true);
    QCOMPARE(after.idleTime, 30);

    const Settings read = f.store.ReadSettings();
    QCOMPARE(read.email, QStringLiteral("me@example.org"));
    QCOMPARE(read.connectTimeout, 55);
    QCOMPARE(read.statusSize, 1000);
    QVERIFY(read.antiIdle);
    QCOMPARE(read.idleTime, 30);
    QCOMPARE(read.autoSort, 5);
    QCOMPARE(read.directories, 1);
    QVERIFY(!read.owner);
    QVERIFY(read.group);
    QCOMPARE(read.itemCount, 23);
    QCOMPARE(read.onDoubleClick, 2);
    QCOMPARE(read.listMethod, 2);
    QCOMPARE(read.listCustomText, QStringLiteral("al")); // what the field showed
    QVERIFY(read.show214);
    QVERIFY(read.skip);
    QCOMPARE(read.skipColour, MakeColour(0, 255, 0));
    QVERIFY(read.identdServer);
    QCOMPARE(read.identdUser, QStringLiteral("ident-me"));
    QVERIFY(!read.identdOnly);
    QVERIFY(read.proxy);
    QCOMPARE(read.proxyHost, QStringLiteral("proxy.local"));
    QCOMPARE(read.proxyPort, QStringLiteral("2121"));
    QCOMPARE(read.errorSound, 6);
    QCOMPARE(read.errorWav, QStringLiteral("/sounds/error.wav"));
    QVERIFY(read.exitEmptyQueue);
    QVERIFY(read.cache); // a menu key the dialog does not own

    const QByteArray ini = f.ini();
    QVERIFY(ini.contains("Item Count=23\r\n"));
    QVERIFY(!ini.contains("old*"));
    IniFile file(f.store.iniPath());
    QVERIFY(!file.sectionExists(SkipListSection));
    QCOMPARE(file.readString("_Sites_", "0"), QStringLiteral("Home"));

    QCOMPARE(LoadPatternList(f.store.skipListPath(), SkipListSection),
             (QStringList{"*.nfo", "A*", "b*"}));
    QCOMPARE(LoadPatternList(f.store.favouritesPath(), FavouritesSection), QStringList{"*.mp3"});
}

void TestGuiPreferences::idleBelowThirtyIsRefusedAndNothingWritten() {
    Fixture f;
    const QByteArray original = "[_Main_]\r\nEmail=old@example.org\r\n";
    QVERIFY(f.dir.writeFile("Korvane.ini", original));
    auto dialog = f.open();
    QSignalSpy saved(dialog.get(), &PreferencesDialog::preferencesSaved);
    child<QLineEdit>(dialog.get(), "emailEdit")->setText("new@example.org");
    child<QLineEdit>(dialog.get(), "skipPatternEdit")->setText("*.bak");
    click(dialog.get(), "skipPatternAddButton");
    child<QSpinBox>(dialog.get(), "idleTimeSpin")->setValue(29);

    click(dialog.get(), "OK1");
    QCOMPARE(f.messages(), QStringList{IdleRefusal});
    QCOMPARE(f.services.soundCalls(), QStringList{"playSystemSound:5"});
    QVERIFY(dialog->isVisible());
    QCOMPARE(saved.count(), 0);
    QCOMPARE(f.ini(), original);
    QVERIFY(!QFile::exists(f.store.skipListPath()));
    QVERIFY(!QFile::exists(f.store.favouritesPath()));

    // The edits are still there; 30 is the lowest accepted value.
    child<QSpinBox>(dialog.get(), "idleTimeSpin")->setValue(30);
    click(dialog.get(), "OK1");
    QCOMPARE(f.messages().size(), 1);
    QCOMPARE(saved.count(), 1);
    QCOMPARE(f.store.ReadSettings().email, QStringLiteral("new@example.org"));
    QCOMPARE(LoadPatternList(f.store.skipListPath(), SkipListSection), QStringList{"*.bak"});
}

void TestGuiPreferences::cancelWritesNothing() {
    Fixture f;
    const QByteArray original = "[_Main_]\r\nEmail=old@example.org\r\n";
    QVERIFY(f.dir.writeFile("Korvane.ini", original));
    QVERIFY(f.dir.writeFile("skiplist.dat", "[_Skip_]\r\ns0=keep*\r\n"));
    auto dialog = f.open();
    QSignalSpy saved(dialog.get(), &PreferencesDialog::preferencesSaved);
    child<QLineEdit>(dialog.get(), "emailEdit")->setText("new@example.org");
    auto* list = child<QListWidget>(dialog.get(), "skipPatternList");
    list->setCurrentRow(0);
    click(dialog.get(), "skipPatternRemoveButton");
    QCOMPARE(list->count(), 0);

    click(dialog.get(), "cancelButton");
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(saved.count(), 0);
    QCOMPARE(f.ini(), original);
    QCOMPARE(f.dir.readFile("skiplist.dat"), QByteArray("[_Skip_]\r\ns0=keep*\r\n"));
    QVERIFY(!QFile::exists(f.store.favouritesPath()));
}

void TestGuiPreferences::failedSaveStaysOpenWithTheEdits() {
    Fixture f;
    // A directory where a pattern file belongs cannot be replaced by a file.
    QVERIFY(QDir(f.dir.path()).mkdir("favorite.dat"));
    auto dialog = f.open();
    QSignalSpy saved(dialog.get(), &PreferencesDialog::preferencesSaved);
    child<QLineEdit>(dialog.get(), "emailEdit")->setText("kept@example.org");

    click(dialog.get(), "OK1");
    QCOMPARE(f.messages().size(), 1);
    QVERIFY(f.messages()[0].startsWith("The preferences could not be saved in "));
    QVERIFY(f.messages()[0].contains(QDir::toNativeSeparators(f.dir.path())));
    QVERIFY(f.services.soundCalls().isEmpty());
    QVERIFY(dialog->isVisible());
    QCOMPARE(saved.count(), 0);
    QCOMPARE(child<QLineEdit>(dialog.get(), "emailEdit")->text(),
             QStringLiteral("kept@example.org"));

    QVERIFY(QDir(f.dir.path()).rmdir("favorite.dat"));
    click(dialog.get(), "OK1");
    QCOMPARE(f.messages().size(), 1);
    QCOMPARE(saved.count(), 1);
    QCOMPARE(f.store.ReadSettings().email, QStringLiteral("kept@example.org"));
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
    auto* shell = child<QCheckBox>(dialog.get(), "viewWithShellCheck");
    auto* viewer = child<QLineEdit>(dialog.get(), "fileViewerEdit");
    auto* viewerBrowse = child<QPushButton>(dialog.get(), "fileViewerBrowseButton");
    QVERIFY(!viewer->isEnabled() && !viewerBrowse->isEnabled());
    shell->setChecked(false);
    QVERIFY(viewer->isEnabled() && viewerBrowse->isEnabled());
    shell->setChecked(true);
    QVERIFY(!viewer->isEnabled() && !viewerBrowse->isEnabled());

    auto* ident = child<QCheckBox>(dialog.get(), "identEnableCheck");
    const QList<QWidget*> identFields{child<QLineEdit>(dialog.get(), "identUserEdit"),
                                      child<QCheckBox>(dialog.get(), "identOnlyCheck")};
    auto* proxy = child<QCheckBox>(dialog.get(), "proxyEnableCheck");
    const QList<QWidget*> proxyFields{child<QLineEdit>(dialog.get(), "proxyHostEdit"),
                                      child<QLineEdit>(dialog.get(), "proxyPortEdit")};
    for (QWidget* field : identFields + proxyFields)
        QVERIFY2(!field->isEnabled(), qPrintable(field->objectName()));
    ident->setChecked(true);
    for (QWidget* field : identFields)
        QVERIFY(field->isEnabled());
    for (QWidget* field : proxyFields)
        QVERIFY(!field->isEnabled());
    proxy->setChecked(true);
    ident->setChecked(false);
    for (QWidget* field : proxyFields)
        QVERIFY(field->isEnabled());
    for (QWidget* field : identFields)
        QVERIFY(!field->isEnabled());

    // Loaded values set the enabled state too.
    given.viewWithShell = false;
    given.proxy = true;
    auto other = f.open(given);
    QVERIFY(child<QLineEdit>(other.get(), "fileViewerEdit")->isEnabled());
    QVERIFY(child<QLineEdit>(other.get(), "proxyHostEdit")->isEnabled());

    const QList<QSpinBox*> spins = dialog->findChildren<QSpinBox*>();
    QCOMPARE(spins.size(), 6);
    for (QSpinBox* spin : spins) {
        spin->setValue(-5);
        QVERIFY2(spin->value() == 0, qPrintable(spin->objectName()));
        // Typing a minus sign is refused as well.
        spin->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(spin, "-7");
        QVERIFY2(spin->value() >= 0, qPrintable(spin->objectName()));
    }
}

void TestGuiPreferences::allFlagFromFileShowsCleanUpBox() {
    Fixture f;
    Settings given;
    given.all = true;
    given.cleanUp = true;
    QVERIFY(f.dir.writeFile("Korvane.ini", "[_Main_]\r\nall=0\r\n"));
    auto hidden = f.open(given);
    QVERIFY(!child<QCheckBox>(hidden.get(), "cleanUpCheck")
                 ->isVisibleTo(child<QWidget>(hidden.get(), "optionsTab")));
    // Hidden, it still keeps its value.
    QVERIFY(hidden->editedSettings().cleanUp);

    given.all = false;
    QVERIFY(f.dir.writeFile("Korvane.ini", "[_Main_]\r\nall=1\r\n"));
    auto shown = f.open(given);
    QVERIFY(child<QCheckBox>(shown.get(), "cleanUpCheck")
                ->isVisibleTo(child<QWidget>(shown.get(), "optionsTab")));
}

void TestGuiPreferences::patternListEditing() {
    Fixture f;
    QVERIFY(f.dir.writeFile("favorite.dat", "[_favorite_]\r\ns0=*.mp3\r\ns1=*.avi\r\n"));
    auto dialog = f.open();
    child<QTabWidget>(dialog.get(), "preferencesTabs")->setCurrentIndex(4);
    auto* list = child<QListWidget>(dialog.get(), "favoritePatternList");
    auto* field = child<QLineEdit>(dialog.get(), "favoritePatternEdit");
    QCOMPARE(listTexts(list), (QStringList{"*.avi", "*.mp3"}));

    field->setText("   ");
    click(dialog.get(), "favoritePatternAddButton");
    QCOMPARE(list->count(), 2);
    field->setText("  Movie*  ");
    click(dialog.get(), "favoritePatternAddButton");
    field->setText("a*");
    click(dialog.get(), "favoritePatternAddButton");
    QCOMPARE(listTexts(list), (QStringList{"*.avi", "*.mp3", "a*", "Movie*"}));
    QVERIFY(field->text().isEmpty());

    // "&Remove" without a selection removes nothing.
    list->setCurrentRow(-1);
    list->clearSelection();
    click(dialog.get(), "favoritePatternRemoveButton");
    QCOMPARE(list->count(), 4);
    list->setCurrentRow(2);
    click(dialog.get(), "favoritePatternRemoveButton");
    QCOMPARE(listTexts(list), (QStringList{"*.avi", "*.mp3", "Movie*"}));

    list->setFocus();
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(listTexts(list), (QStringList{"*.mp3", "Movie*"}));

    // Double-click takes the pattern into the field; "&Add" puts the edit back.
    QListWidgetItem* movie = list->item(1);
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    const QPoint at = list->visualItemRect(movie).center();
    // Real input: press, release, then the double-click and its release.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(field->text(), QStringLiteral("Movie*"));
    QCOMPARE(listTexts(list), QStringList{"*.mp3"});
    field->setText("Movies*");
    click(dialog.get(), "favoritePatternAddButton");
    QCOMPARE(dialog->favourites(), (QStringList{"*.mp3", "Movies*"}));
    QVERIFY(dialog->skipList().isEmpty());
}

void TestGuiPreferences::pickersFillFieldsAndPlayButtonsPlay() {
    Fixture f;
    auto dialog = f.open();
    auto* logName = child<QLineEdit>(dialog.get(), "logNameEdit");
    f.prompts.fileAnswers.enqueue(QStringLiteral("/var/tmp/logs"));
    click(dialog.get(), "logNameBrowseButton");
    QCOMPARE(logName->text(), QStringLiteral("/var/tmp/logs/korvane.log"));
    f.prompts.fileAnswers.enqueue(QStringLiteral("/"));
    click(dialog.get(), "logNameBrowseButton");
    QCOMPARE(logName->text(), QStringLiteral("/korvane.log"));
    click(dialog.get(), "logNameBrowseButton"); // no answer: cancelled
    QCOMPARE(logName->text(), QStringLiteral("/korvane.log"));

    const QString downloads = QStringLiteral("/home/me/Downloads");
    f.prompts.fileAnswers.enqueue(downloads);
    click(dialog.get(), "downloadDirectoryBrowseButton");
    QCOMPARE(child<QLineEdit>(dialog.get(), "downloadDirectoryEdit")->text(), downloads);

    const QString viewer = QStringLiteral("/usr/bin/less");
    f.prompts.fileAnswers.enqueue(viewer);
    child<QCheckBox>(dialog.get(), "viewWithShellCheck")->setChecked(false);
    click(dialog.get(), "fileViewerBrowseButton");
    QCOMPARE(child<QLineEdit>(dialog.get(), "fileViewerEdit")->text(), viewer);

    const QString wave = QStringLiteral("/sounds/done.wav");
    f.prompts.fileAnswers.enqueue(wave);
    click(dialog.get(), "queueWavBrowseButton");
    QCOMPARE(child<QLineEdit>(dialog.get(), "queueWavEdit")->text(), wave);
    QCOMPARE(f.prompts.fileQuestions.last().filter, QStringLiteral("Wav File (*.wav)"));

    // Each play button plays its row's selected kind with its file.
    child<QComboBox>(dialog.get(), "queueSoundCombo")->setCurrentIndex(6);
    child<QComboBox>(dialog.get(), "connectSoundCombo")->setCurrentIndex(3);
    child<QComboBox>(dialog.get(), "disconnectSoundCombo")->setCurrentIndex(2);
    child<QComboBox>(dialog.get(), "errorSoundCombo")->setCurrentIndex(0);
    for (const char* button :
         {"queuePlayButton", "connectPlayButton", "disconnectPlayButton", "errorPlayButton"})
        click(dialog.get(), button);
    QCOMPARE(f.services.soundCalls(),
             (QStringList{"playWaveFile:/sounds/done.wav", "playSystemSound:3", "beep"}));

    click(dialog.get(), "OK1");
    const Settings read = f.store.ReadSettings();
    QCOMPARE(read.logName, QStringLiteral("/korvane.log"));
    QCOMPARE(read.queueWav, QStringLiteral("/sounds/done.wav"));
    QCOMPARE(read.queueSound, 6);
}

void TestGuiPreferences::fontButtonsKeepColourAndCancel() {
    Fixture f;
    QVERIFY(f.dir.writeFile("Korvane.ini", "[_Main_]\r\nFont=" + StoredFont + "\r\n"));
    auto dialog = f.open();

    FontDescription chosen;
    chosen.family = QStringLiteral("DejaVu Sans");
    chosen.pointSize = 14;
    chosen.bold = true;
    f.prompts.fontAnswers.enqueue(chosen);
    click(dialog.get(), "fontButton");
    const QList<FontDescription>& offered = f.prompts.fontsOffered;
    QCOMPARE(offered.size(), 1);
    QCOMPARE(offered[0].family, QStringLiteral("Courier New"));
    QCOMPARE(offered[0].pointSize, 12);
    QVERIFY(offered[0].bold);
    QVERIFY(child<QLabel>(dialog.get(), "fontPreviewLabel")->text().startsWith("DejaVu Sans, 14"));

    // No answer: cancelled, and the empty status font stays empty.
    click(dialog.get(), "statusFontButton");
    QCOMPARE(offered.size(), 2);

    click(dialog.get(), "OK1");
    const QByteArray ini = f.ini();
    QVERIFY2(ini.contains("Font=\"DejaVu Sans\", 14, [Bold], [clBlack]\r\n"), ini.constData());
    QVERIFY(ini.contains("StatusFont=\r\n"));
}

void TestGuiPreferences::fontConversionRoundTrip() {
    FontDescription desc;
    desc.family = QStringLiteral("Courier New");
    desc.pointSize = 11;
    desc.italic = true;
    desc.strikeout = true;
    desc.colour = QStringLiteral("clMaroon");
    const QFont font = ToQFont(desc, QFont());
    QCOMPARE(font.family(), desc.family);
    QCOMPARE(font.pointSize(), 11);
    QCOMPARE(ToFontDescription(font, desc.colour), desc);

    // Through the settings string and back.
    FontDescription read;
    QVERIFY(StringToFont(FontToString(ToFontDescription(font, desc.colour)), read));
    QCOMPARE(read, desc);

    // An empty family keeps the base family.
    QFont base(QStringLiteral("DejaVu Serif"));
    FontDescription noFamily = desc;
    noFamily.family.clear();
    QCOMPARE(ToQFont(noFamily, base).family(), QStringLiteral("DejaVu Serif"));

    // A pixel-sized font still gives a size the settings string reads back.
    QFont pixels(QStringLiteral("DejaVu Sans"));
    pixels.setPixelSize(20);
    const FontDescription fromPixels = ToFontDescription(pixels, QStringLiteral("clBlack"));
    QVERIFY(fromPixels.pointSize > 0);
    FontDescription back;
    QVERIFY(StringToFont(FontToString(fromPixels), back));
    QCOMPARE(back.pointSize, fromPixels.pointSize);
}

QTEST_MAIN(TestGuiPreferences)
#include "test_gui_preferences.moc"
