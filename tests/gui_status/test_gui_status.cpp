#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/FontDescription.h"
#include "app/IniFile.h"
#include "app/QtDesktopServices.h"
#include "app/SettingsStore.h"
#include "app/StatusLog.h"
#include "app/TextViewerWindow.h"
#include "widgets/StatusConsole.h"
#include "widgets/StatusPane.h"

#include <QAction>
#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMenu>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>
#include <QtTest>

namespace {

// A status pane on screen (offscreen), over its own log and data directory.
struct Pane {
    Pane() {
        log.setDataDirectory(dir.path());
        log.lines().setMaxRecords(200);
        log.lines().setMaxRemove(15);
        pane.resize(420, 160);
        pane.show();
    }
    StatusConsole& console() { return *pane.console(); }
    QAction* action(const char* name) { return pane.findChild<QAction*>(QLatin1String(name)); }
    void addLines(int count, const QString& prefix = QStringLiteral("line")) {
        for (int i = 0; i < count; ++i)
            log.AddStatusLine(QStringLiteral("%1 %2").arg(prefix).arg(i), clBlue);
    }
    int sumOfRows() {
        int rows = 0;
        for (int i = 0; i < log.lines().count(); ++i)
            rows += int(console().rowsOfLine(i).size());
        return rows;
    }

    TempDataDir dir;
    RecordingDesktopServices services;
    ScriptedUserPrompts prompts;
    StatusLog log{services};
    StatusPane pane{log, services, prompts};
};

// Collects the viewport's painted regions.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion painted;
};

QString words(int count) {
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("word%1").arg(i);
    return list.join(QLatin1Char(' '));
}

} // namespace

class TestGuiStatus : public QObject {
    Q_OBJECT

private slots:
    void consoleFollowsEndUnlessScrolledBack();
    void consoleWrapsLongLinesAtBlanks();
    void consoleTrimsWithoutStaleRows();
    void consoleRepaintsOnlyNewLineAtEnd();
    void errorOnlyWindowToggles();
    void contextMenusHaveTheirCaptions();
    void copyAndClear();
    void saveToFile();
    void viewerOpensFromDoubleClick();
    void viewerKeepsGeometryFontAndSaves();
    void desktopServicesUseTheDesktop();
};

void TestGuiStatus::consoleFollowsEndUnlessScrolledBack() {
    Pane p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.pane));
    StatusConsole& console = p.console();
    p.addLines(60);
    QVERIFY(console.totalRows() > console.visibleRowCount());
    QVERIFY(console.isAtEnd());
    QCOMPARE(console.firstVisibleRow(), console.totalRows() - console.visibleRowCount());

    // The scroll bar catches up within a frame.
    QScrollBar* bar = console.verticalScrollBar();
    QTRY_COMPARE(bar->maximum(), console.totalRows() - console.visibleRowCount());
    QCOMPARE(bar->value(), bar->maximum());

    // The user scrolls back: appends only move the scroll bar's range.
    bar->setValue(5);
    QCOMPARE(console.firstVisibleRow(), 5);
    const int maximum = bar->maximum();
    p.addLines(3, QStringLiteral("more"));
    QCOMPARE(console.firstVisibleRow(), 5);
    QVERIFY(!console.isAtEnd());
    QTRY_COMPARE(bar->maximum(), maximum + 3);
    QCOMPARE(bar->value(), 5);

    // Trimming while reading back keeps the same line at the top.
    p.addLines(140, QStringLiteral("fill")); // 203 lines: the oldest 15 go
    QCOMPARE(p.log.lines().count(), 188);
    QCOMPARE(console.firstVisibleRow(), 0);
    QCOMPARE(p.log.lines().line(0).text, QStringLiteral("line 15"));
    console.scrollToRow(40);
    const QString shown = p.log.lines().line(40).text;
    p.addLines(13, QStringLiteral("trim"));
    QCOMPARE(console.firstVisibleRow(), 25);
    QCOMPARE(p.log.lines().line(console.firstVisibleRow()).text, shown);
    QTRY_COMPARE(bar->value(), 25);
    // When the top line itself is trimmed the view stops at the oldest line.
    p.addLines(200, QStringLiteral("flood"));
    QCOMPARE(console.firstVisibleRow(), 0);
    QVERIFY(!console.isAtEnd());

    // Back at the end by the user's hand: following resumes.
    QTRY_COMPARE(bar->maximum(), console.totalRows() - console.visibleRowCount());
    bar->setValue(bar->maximum());
    QVERIFY(console.isAtEnd());
    p.addLines(2, QStringLiteral("end"));
    QVERIFY(console.isAtEnd());
    QCOMPARE(console.firstVisibleRow(), console.totalRows() - console.visibleRowCount());
}

void TestGuiStatus::consoleWrapsLongLinesAtBlanks() {
    Pane p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.pane));
    StatusConsole& console = p.console();
    const QFontMetrics metrics(console.font());
    const int limit = console.viewport()->width();

    const QString sentence = words(60);
    p.log.AddStatusLine(sentence, clGreen);
    QStringList rows = console.rowsOfLine(0);
    QVERIFY(rows.size() > 2);
    QCOMPARE(rows.join(QString()), sentence);
    for (int i = 0; i < rows.size(); ++i) {
        QVERIFY2(StatusConsole::LeftMargin + metrics.horizontalAdvance(rows[i]) < limit + 1,
                 qPrintable(rows[i]));
        // Broken after a blank, so no word is cut.
        if (i + 1 < rows.size())
            QVERIFY2(rows[i].endsWith(QLatin1Char(' ')), qPrintable(rows[i]));
    }

    // No blank at all: broken before the character that would reach the edge.
    const QString solid(300, QLatin1Char('x'));
    p.log.AddStatusLine(solid, clGreen);
    rows = console.rowsOfLine(1);
    QVERIFY(rows.size() > 1);
    QCOMPARE(rows.join(QString()), solid);
    const int perRow = int(rows.first().size());
    QVERIFY(StatusConsole::LeftMargin + metrics.horizontalAdvance(QString(perRow + 1, 'x')) >=
            limit);

    QCOMPARE(console.totalRows(), p.sumOfRows());

    // Rows follow the width.
    const int narrowRows = console.totalRows();
    p.pane.resize(900, 160);
    QTRY_VERIFY(console.viewport()->width() > limit);
    QVERIFY(console.totalRows() < narrowRows);
    QCOMPARE(console.totalRows(), p.sumOfRows());
    QCOMPARE(console.rowsOfLine(0).join(QString()), sentence);
    QVERIFY(console.isAtEnd());

    // A larger font ("StatusFont") wraps into more rows.
    const int smallFontRows = console.totalRows();
    QFont large = console.font();
    large.setPointSize(large.pointSize() * 2);
    console.setFont(large);
    QVERIFY(console.totalRows() > smallFontRows);
    QCOMPARE(console.totalRows(), p.sumOfRows());
    QCOMPARE(console.lineHeight(), QFontMetrics(large).lineSpacing());
}

void TestGuiStatus::consoleTrimsWithoutStaleRows() {
    Pane p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.pane));
    StatusConsole& console = p.console();
    // Every seventh line wraps, so removed rows differ from removed lines.
    for (int i = 0; i < 201; ++i) {
        const QString text = i % 7 == 0 ? words(40) : QStringLiteral("short %1").arg(i);
        p.log.AddStatusLine(text, i % 2 ? clBlue : clGreen);
    }
    QCOMPARE(p.log.lines().count(), 186);
    QCOMPARE(console.totalRows(), p.sumOfRows());
    for (int i : {0, 1, 7, 185})
        QCOMPARE(console.rowsOfLine(i).join(QString()), p.log.lines().line(i).text);
    QVERIFY(console.isAtEnd());

    // A size below MaxRemove still keeps the newest line.
    p.log.lines().setMaxRecords(3);
    p.log.AddStatusLine(QStringLiteral("newest"), clBlack);
    QCOMPARE(p.log.lines().count(), 3);
    QCOMPARE(console.totalRows(), p.sumOfRows());
    QCOMPARE(console.rowsOfLine(2), QStringList{QStringLiteral("newest")});

    // Clear leaves nothing to draw or scroll; new lines start afresh.
    p.action("Clear1")->trigger();
    QCOMPARE(p.log.lines().count(), 0);
    QCOMPARE(console.totalRows(), 0);
    QTRY_COMPARE(console.verticalScrollBar()->maximum(), 0);
    p.log.AddStatusLine(QStringLiteral("after clear"), clBlack);
    QCOMPARE(console.totalRows(), 1);
    QCOMPARE(console.rowsOfLine(0), QStringList{QStringLiteral("after clear")});
}

void TestGuiStatus::consoleRepaintsOnlyNewLineAtEnd() {
    Pane p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.pane));
    StatusConsole& console = p.console();
    PaintRecorder recorder(console.viewport());
    p.addLines(40);
    QTRY_VERIFY(!recorder.painted.isEmpty());
    // Settle: until a round of events paints nothing more.
    for (int round = 0; round < 10 && !recorder.painted.isEmpty(); ++round) {
        recorder.painted = QRegion();
        QCoreApplication::processEvents();
    }
    QVERIFY(recorder.painted.isEmpty());

    p.log.AddStatusLine(QStringLiteral("one new line"), clMaroon);
    QTRY_VERIFY(!recorder.painted.isEmpty());
    // One row at the bottom (and the spare pixels under it), not the whole window.
    QVERIFY2(
        recorder.painted.boundingRect().height() < 2 * console.lineHeight(),
        qPrintable(
            QStringLiteral("painted height %1").arg(recorder.painted.boundingRect().height())));

    // The separator line is drawn in the window's own background.
    QCOMPARE(console.displayColour(clWindowBackground),
             console.viewport()->palette().color(console.viewport()->backgroundRole()));
    QCOMPARE(console.displayColour(clMaroon), QColor(128, 0, 0));
}

void TestGuiStatus::errorOnlyWindowToggles() {
    Pane p;
    QPlainTextEdit* errors = p.pane.errorWindow();
    QCOMPARE(errors->objectName(), QStringLiteral("tError"));
    QVERIFY(errors->isReadOnly());
    QVERIFY(!errors->isVisible());
    QVERIFY(p.console().isVisible());

    p.log.AddStatusLine(QStringLiteral("550 No such file"), clBlue);
    p.log.AddStatusLine(QStringLiteral("Empty Dir: /pub/x"), clPurple);
    QCOMPARE(errors->toPlainText(), QStringLiteral("550 No such file\nEmpty Dir: /pub/x"));

    p.action("ErrorOnlyStatusWindow1")->trigger();
    QVERIFY(errors->isVisible());
    QVERIFY(p.pane.isErrorOnly());
    p.action("DefaultStatus1")->trigger();
    QVERIFY(!errors->isVisible());
    p.pane.toggleErrorOnly();
    QVERIFY(errors->isVisible());
    p.pane.toggleErrorOnly();
    QVERIFY(!errors->isVisible());
    QCOMPARE(errors->toPlainText(), QStringLiteral("550 No such file\nEmpty Dir: /pub/x"));

    // Trimming of the error lines is mirrored line for line, even for a
    // line that carries a break of its own.
    p.log.AddStatusLine(QStringLiteral("530 two\nparts"), clBlue);
    for (int i = 0; i < 120; ++i)
        p.log.AddStatusLine(QStringLiteral("550 error %1").arg(i), clGreen);
    QCOMPARE(errors->toPlainText(), p.log.errorLines().lines().join(QLatin1Char('\n')));
    QVERIFY(errors->toPlainText().endsWith(QStringLiteral("550 error 119")));

    // A pane made after lines exist shows them at once.
    StatusPane late(p.log, p.services, p.prompts);
    QCOMPARE(late.errorWindow()->toPlainText(), errors->toPlainText());
    QCOMPARE(late.console()->totalRows() > 0, true);
}

void TestGuiStatus::contextMenusHaveTheirCaptions() {
    Pane p;
    QCOMPARE(p.pane.statusMenu()->objectName(), QStringLiteral("RTPopup"));
    QCOMPARE(p.pane.errorMenu()->objectName(), QStringLiteral("PopError"));
    const auto captions = [](QMenu* menu) {
        QStringList list;
        for (QAction* action : menu->actions())
            list << action->objectName() + QLatin1Char('=') + action->text();
        return list;
    };
    QCOMPARE(captions(p.pane.statusMenu()),
             (QStringList{QStringLiteral("ErrorOnlyStatusWindow1=&Error Only Status Window"),
                          QStringLiteral("Copy1=&Copy to Clipboard"),
                          QStringLiteral("SavetoFile1=&Save to File"),
                          QStringLiteral("Clear1=C&lear")}));
    QCOMPARE(captions(p.pane.errorMenu()),
             (QStringList{QStringLiteral("DefaultStatus1=&Default Status Window"),
                          QStringLiteral("CopytoClipboard1=&Copy to Clipboard"),
                          QStringLiteral("Clear2=C&lear")}));
    QCOMPARE(p.pane.console()->objectName(), QStringLiteral("wcStatus"));
    QCOMPARE(p.pane.console()->contextMenuPolicy(), Qt::CustomContextMenu);
    QCOMPARE(p.pane.errorWindow()->contextMenuPolicy(), Qt::CustomContextMenu);
}

void TestGuiStatus::copyAndClear() {
    Pane p;
    // Nothing to copy: the clipboard is left alone.
    p.action("Copy1")->trigger();
    p.action("CopytoClipboard1")->trigger();
    QVERIFY(p.services.calls.isEmpty());

    p.log.AddStatusLine(QStringLiteral("first"), clBlue);
    p.log.AddStatusLine(QStringLiteral("421 gone"), clGreen);
    p.action("Copy1")->trigger();
    QCOMPARE(p.services.clipboardText, QStringLiteral("first\r\n421 gone\r\n"));

    p.log.AddStatusLine(QStringLiteral("550 denied"), clGreen);
    p.action("CopytoClipboard1")->trigger();
    QCOMPARE(p.services.clipboardText, QStringLiteral("421 gone\n550 denied"));

    p.action("Clear2")->trigger();
    QCOMPARE(p.pane.errorWindow()->toPlainText(), QString());
    QCOMPARE(p.log.errorLines().count(), 0);
    QCOMPARE(p.log.lines().count(), 3);
    p.action("Clear1")->trigger();
    QCOMPARE(p.log.lines().count(), 0);
}

void TestGuiStatus::saveToFile() {
    Pane p;
    p.log.AddStatusLine(QStringLiteral("alpha"), clBlue);
    p.log.AddStatusLine(QStringLiteral("beta"), clGreen);

    // Cancelled (no answer): nothing written.
    p.action("SavetoFile1")->trigger();
    QCOMPARE(p.prompts.fileQuestions.size(), 1);
    const ScriptedUserPrompts::FileQuestion asked = p.prompts.fileQuestions.last();
    QCOMPARE(asked.filter, QStringLiteral("Log File (*.log)"));
    QCOMPARE(asked.directory, p.dir.path());

    // An existing file's contents are replaced.
    p.prompts.fileAnswers.enqueue(p.dir.filePath(QStringLiteral("saved.log")));
    QVERIFY(p.dir.writeFile(QStringLiteral("saved.log"), "old contents that are longer\n"));
    p.action("SavetoFile1")->trigger();
    QCOMPARE(p.dir.readFile(QStringLiteral("saved.log")), QByteArray("alpha\nbeta\n"));

    // A failure is reported as an error line and in errorlog.txt.
    p.prompts.fileAnswers.enqueue(p.dir.filePath(QStringLiteral("missing/dir/saved.log")));
    p.action("SavetoFile1")->trigger();
    const StatusLine& last = p.log.lines().line(p.log.lines().count() - 1);
    QVERIFY2(last.text.contains(QStringLiteral("saved.log")), qPrintable(last.text));
    QCOMPARE(last.colour, clRed);
    QVERIFY(p.dir.readFile(QStringLiteral("errorlog.txt")).contains("Object Name: "));
}

void TestGuiStatus::viewerOpensFromDoubleClick() {
    Pane p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.pane));
    SettingsStore settings{DataPaths(p.dir.path())};
    std::unique_ptr<TextViewerWindow> viewer;
    int opened = 0;
    QObject::connect(
        &p.log, &StatusLog::textViewerRequested, [&](const QString& caption, const QString& text) {
            ++opened;
            viewer = std::make_unique<TextViewerWindow>(p.log, settings, p.prompts, &p.pane);
            viewer->open(caption, text);
        });

    p.log.AddStatusLine(QStringLiteral("220 Welcome"), clBlue);
    p.log.AddStatusLine(QStringLiteral("230 Logged in"), clBlue);
    QTest::mouseDClick(p.console().viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    QCOMPARE(opened, 1);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->windowTitle(), QStringLiteral("Status Window"));
    QCOMPARE(viewer->text(), p.log.lines().plainText());
    QVERIFY(viewer->text().startsWith(QStringLiteral("220 Welcome\n230 Logged in")));
    QVERIFY(viewer->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(viewer->textBox()->isReadOnly());
    QVERIFY(!viewer->wordWrap());
    QVERIFY(p.log.viewerOpen());

    // Open already: a second double-click does nothing.
    QTest::mouseDClick(p.console().viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    QCOMPARE(opened, 1);

    viewer->close();
    QVERIFY(!p.log.viewerOpen());

    // A help reply opens it too, titled with its first line.
    StatusLogOptions options = p.log.options();
    options.show214 = true;
    p.log.setOptions(options);
    p.log.AddStatusLine(QStringLiteral("214-The following commands are recognized."), clGreen);
    p.log.AddStatusLine(QStringLiteral(" USER PASS LIST"), clGreen);
    p.log.AddStatusLine(QStringLiteral("214 Help OK."), clGreen);
    QCOMPARE(opened, 2);
    QCOMPARE(viewer->windowTitle(), QStringLiteral("214-The following commands are recognized."));
    QCOMPARE(viewer->text(), QStringLiteral("214-The following commands are recognized.\n"
                                            " USER PASS LIST\n214 Help OK."));
    viewer->close();
}

void TestGuiStatus::viewerKeepsGeometryFontAndSaves() {
    TempDataDir dir;
    RecordingDesktopServices services;
    ScriptedUserPrompts prompts;
    StatusLog log(services);
    log.setDataDirectory(dir.path());
    SettingsStore settings{DataPaths(dir.path())};
    QWidget mainWindow;
    mainWindow.setGeometry(100, 100, 800, 600);
    mainWindow.show();

    // No _CusWindow_ yet: centred over the main window, nothing read.
    {
        TextViewerWindow viewer(log, settings, prompts, &mainWindow);
        viewer.open(QStringLiteral("Caption"), QStringLiteral("text"));
        const QPoint offset = viewer.frameGeometry().center() - mainWindow.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
        viewer.move(33, 44);
        viewer.resize(420, 310);
        log.setViewerOpen(true);
        viewer.close();
        QVERIFY(!log.viewerOpen());
    }
    const IniFile ini(settings.iniPath());
    QCOMPARE(ini.readInteger(ViewerSection, "Left", -1), 33);
    QCOMPARE(ini.readInteger(ViewerSection, "Top", -1), 44);
    QCOMPARE(ini.readInteger(ViewerSection, "Width", -1), 420);
    QCOMPARE(ini.readInteger(ViewerSection, "Height", -1), 310);

    TextViewerWindow viewer(log, settings, prompts, &mainWindow);
    // Font: chosen through the dialog, written to _CusWindow_, applied next time.
    FontDescription chosen;
    chosen.family = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    chosen.pointSize = 17;
    chosen.bold = true;
    prompts.fontAnswers.enqueue(chosen);
    viewer.changeFont();
    FontDescription stored;
    QVERIFY(StringToFont(IniFile(settings.iniPath()).readString(ViewerSection, "Font"), stored));
    QCOMPARE(stored.pointSize, 17);
    QVERIFY(stored.bold);
    QCOMPARE(stored.family, chosen.family);

    viewer.open(QStringLiteral("Again"), QStringLiteral("one\ntwo"));
    QCOMPARE(viewer.pos(), QPoint(33, 44));
    QCOMPARE(viewer.size(), QSize(420, 310));
    TextViewerWindow fresh(log, settings, prompts, &mainWindow);
    fresh.open(QStringLiteral("Fresh"), QStringLiteral("x"));
    QCOMPARE(fresh.textBox()->font().pointSize(), 17);
    QVERIFY(fresh.textBox()->font().bold());
    fresh.close();

    // Word wrap is a toggle of the menu.
    QAction* wrap = viewer.findChild<QAction*>(QStringLiteral("WordWrap1"));
    QVERIFY(wrap && wrap->isCheckable());
    wrap->trigger();
    QVERIFY(viewer.wordWrap());
    wrap->trigger();
    QVERIFY(!viewer.wordWrap());

    // Save: whole text; Save Selection As: the selection only.
    prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("all.txt")));
    viewer.findChild<QAction*>(QStringLiteral("Save1"))->trigger();
    QCOMPARE(prompts.fileQuestions.size(), 1);
    const ScriptedUserPrompts::FileQuestion asked = prompts.fileQuestions.last();
    QCOMPARE(asked.filter, QStringLiteral("Text File (*.txt)"));
    QCOMPARE(asked.defaultSuffix, QStringLiteral("txt"));
    QCOMPARE(dir.readFile(QStringLiteral("all.txt")), QByteArray("one\ntwo"));

    QAction* saveSelection = viewer.findChild<QAction*>(QStringLiteral("SaveSelectionAs1"));
    QVERIFY(!saveSelection->isEnabled());
    QTextCursor cursor = viewer.textBox()->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    viewer.textBox()->setTextCursor(cursor);
    QVERIFY(saveSelection->isEnabled());
    prompts.fileAnswers.enqueue(dir.filePath(QStringLiteral("part.txt")));
    saveSelection->trigger();
    QCOMPARE(dir.readFile(QStringLiteral("part.txt")), QByteArray("two"));

    viewer.findChild<QAction*>(QStringLiteral("Close1"))->trigger();
    QVERIFY(!viewer.isVisible());
}

void TestGuiStatus::desktopServicesUseTheDesktop() {
    QtDesktopServices services;
    services.setClipboardText(QStringLiteral("copied\r\n"));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("copied\r\n"));
    QCOMPARE(QString::fromLatin1(QtDesktopServices::EventSoundId(SoundKind::Asterisk)),
             QStringLiteral("dialog-information"));
    QCOMPARE(QString::fromLatin1(QtDesktopServices::EventSoundId(SoundKind::Stop)),
             QStringLiteral("dialog-error"));
    // No audio device here: sounds are silent and return at once.
    QElapsedTimer timer;
    timer.start();
    services.playSystemSound(SoundKind::Exclamation);
    services.playWaveFile(QStringLiteral("/nonexistent/sound.wav"));
    PlayEventSound(services, QString(), SoundKind(42));
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(!services.startProgram(QStringLiteral("/nonexistent/program"), {}));
}

QTEST_MAIN(TestGuiStatus)
#include "test_gui_status.moc"
