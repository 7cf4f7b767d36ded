#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/FontDescription.h"
#include "app/QtDesktopServices.h"
#include "app/SettingsStore.h"
#include "app/StatusLog.h"
#include "app/TextViewerWindow.h"
#include "widgets/StatusConsole.h"
#include "widgets/StatusPane.h"
#include "widgets/StatusPanelLabel.h"

#include <QAction>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

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
    void addLines(int count, const QString& prefix = u"line"_s) {
        for (int i = 0; i < count; ++i)
            log.AddStatusLine(u"%1 %2"_s.arg(prefix).arg(i), clBlue);
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

// Counts the requests to lay a widget out again.
class LayoutRequestCounter : public QObject {
public:
    explicit LayoutRequestCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest)
            ++count;
        return false;
    }
    int count = 0;
};

QString words(int count) {
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << u"word%1"_s.arg(i);
    return list.join(QLatin1Char(' '));
}

} // namespace

class TestGuiStatus : public QObject {
    Q_OBJECT

private slots:
    void consoleFollowsEndUnlessScrolledBack();
    void consoleWrapsLongLinesAtBlanks();
    void consoleRepaintsOnlyNewLineAtEnd();
    void panelTextRepaintsWithoutLayout();
    void errorOnlyWindowToggles();
    void menuCommandsAndDoubleClick();
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
    p.addLines(3, u"more"_s);
    QCOMPARE(console.firstVisibleRow(), 5);
    QVERIFY(!console.isAtEnd());
    QTRY_COMPARE(bar->maximum(), maximum + 3);
    QCOMPARE(bar->value(), 5);

    // Trimming while reading back keeps the same line at the top.
    p.addLines(140, u"fill"_s); // 203 lines: the oldest 15 go
    QCOMPARE(p.log.lines().count(), 188);
    QCOMPARE(console.firstVisibleRow(), 0);
    QCOMPARE(p.log.lines().line(0).text, u"line 15"_s);
    console.scrollToRow(40);
    const QString shown = p.log.lines().line(40).text;
    p.addLines(13, u"trim"_s);
    QCOMPARE(console.firstVisibleRow(), 25);
    QCOMPARE(p.log.lines().line(console.firstVisibleRow()).text, shown);
    QTRY_COMPARE(bar->value(), 25);
    // When the top line itself is trimmed the view stops at the oldest line.
    p.addLines(200, u"flood"_s);
    QCOMPARE(console.firstVisibleRow(), 0);
    QVERIFY(!console.isAtEnd());

    // Back at the end by the user's hand: following resumes.
    QTRY_COMPARE(bar->maximum(), console.totalRows() - console.visibleRowCount());
    bar->setValue(bar->maximum());
    QVERIFY(console.isAtEnd());
    p.addLines(2, u"end"_s);
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

    // Trimming takes the wrapped lines' rows with them, so removed rows
    // differ from removed lines.
    p.addLines(199);
    QCOMPARE(p.log.lines().count(), 186);
    QCOMPARE(console.totalRows(), p.sumOfRows());
    QCOMPARE(console.rowsOfLine(0).join(QString()), p.log.lines().line(0).text);
    QVERIFY(console.isAtEnd());
    // A size below MaxRemove still keeps the newest line.
    p.log.lines().setMaxRecords(3);
    p.log.AddStatusLine(u"newest"_s, clBlack);
    QCOMPARE(console.totalRows(), p.sumOfRows());
    QCOMPARE(console.rowsOfLine(2), QStringList{u"newest"_s});
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

    p.log.AddStatusLine(u"one new line"_s, clMaroon);
    QTRY_VERIFY(!recorder.painted.isEmpty());
    // One row at the bottom (and the spare pixels under it), not the whole window.
    QVERIFY2(recorder.painted.boundingRect().height() < 2 * console.lineHeight(),
             qPrintable(u"painted height %1"_s.arg(recorder.painted.boundingRect().height())));

    // The separator line is drawn in the window's own background.
    QCOMPARE(console.displayColour(clWindowBackground),
             console.viewport()->palette().color(console.viewport()->backgroundRole()));
    QCOMPARE(console.displayColour(clMaroon), QColor(128, 0, 0));
}

// A run sets the status bar panels' text several times per file: only the
// panel repaints, the window is not laid out again.
void TestGuiStatus::panelTextRepaintsWithoutLayout() {
    QWidget bar;
    auto* layout = new QHBoxLayout(&bar);
    auto* panel = new StatusPanelLabel;
    layout->addWidget(panel, 1);
    bar.resize(300, 40);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QCoreApplication::sendPostedEvents();
    const int height = panel->sizeHint().height();
    LayoutRequestCounter layouts(&bar);
    PaintRecorder painted(panel);
    for (int i = 0; i <= 12; ++i)
        panel->setText(QString::number(i) + u'%');
    QCoreApplication::sendPostedEvents();
    QCOMPARE(layouts.count, 0);
    QTRY_VERIFY(!painted.painted.isEmpty());
    QCOMPARE(panel->text(), u"12%"_s);
    QCOMPARE(panel->accessibleName(), u"12%"_s);
    QCOMPARE(panel->sizeHint().height(), height);
}

void TestGuiStatus::errorOnlyWindowToggles() {
    Pane p;
    QPlainTextEdit* errors = p.pane.errorWindow();
    QVERIFY(!errors->isVisible());
    QVERIFY(p.console().isVisible());
    p.log.AddStatusLine(u"550 No such file"_s, clBlue);
    p.log.AddStatusLine(u"Empty Dir: /pub/x"_s, clPurple);
    QCOMPARE(errors->toPlainText(), p.log.errorLines().text());

    // The status window's menu shows it, its own menu goes back.
    p.action("ErrorOnlyStatusWindow1")->trigger();
    QVERIFY(errors->isVisible() && p.pane.isErrorOnly());
    p.action("DefaultStatus1")->trigger();
    QVERIFY(!errors->isVisible());

    // Trimming of the error lines is mirrored line for line, even for a
    // line that carries a break of its own.
    p.log.AddStatusLine(u"530 two\nparts"_s, clBlue);
    for (int i = 0; i < 120; ++i)
        p.log.AddStatusLine(u"550 error %1"_s.arg(i), clGreen);
    QCOMPARE(errors->toPlainText(), p.log.errorLines().text());
    QVERIFY(errors->toPlainText().endsWith(u"550 error 119"_s));

    // A pane made after lines exist shows them at once.
    StatusPane late(p.log, p.services, p.prompts);
    QCOMPARE(late.errorWindow()->toPlainText(), errors->toPlainText());
    QVERIFY(late.console()->totalRows() > 0);
}
void TestGuiStatus::menuCommandsAndDoubleClick() {
    Pane p;
    QVERIFY(QTest::qWaitForWindowExposed(&p.pane));
    // No error lines to copy: the clipboard is left alone.
    p.action("CopytoClipboard1")->trigger();
    QVERIFY(p.services.calls.isEmpty());
    p.log.AddStatusLine(u"first"_s, clBlue);
    p.log.AddStatusLine(u"421 gone"_s, clGreen);
    p.action("Copy1")->trigger();
    QCOMPARE(p.services.clipboardText, p.log.lines().clipboardText());
    p.log.AddStatusLine(u"550 denied"_s, clGreen);
    p.action("CopytoClipboard1")->trigger();
    QCOMPARE(p.services.clipboardText, u"421 gone\n550 denied"_s);

    // Save asks for a log file in the data folder; a failure is an error.
    p.action("SavetoFile1")->trigger(); // no answer: cancelled
    QCOMPARE(p.prompts.fileQuestions.last().filter, u"Log File (*.log)"_s);
    QCOMPARE(p.prompts.fileQuestions.last().directory, p.dir.path());
    p.prompts.fileAnswers.enqueue(p.dir.filePath(u"saved.log"_s));
    p.action("SavetoFile1")->trigger();
    QCOMPARE(p.dir.readFile(u"saved.log"_s), p.log.lines().plainText().toUtf8());
    p.prompts.fileAnswers.enqueue(p.dir.filePath(u"missing/dir/saved.log"_s));
    p.action("SavetoFile1")->trigger();
    const StatusLine& last = p.log.lines().lines().last();
    QVERIFY2(last.text.contains(u"saved.log"_s) && last.colour == clRed, qPrintable(last.text));
    QVERIFY(p.dir.readFile(u"errorlog.txt"_s).contains("Object Name: "));

    // A double-click asks for the viewer.
    QSignalSpy viewer(&p.log, &StatusLog::textViewerRequested);
    QTest::mouseDClick(p.console().viewport(), Qt::LeftButton, {}, QPoint(20, 5));
    QCOMPARE(viewer.count(), 1);

    p.action("Clear2")->trigger();
    QCOMPARE(p.pane.errorWindow()->toPlainText(), QString());
    QCOMPARE(p.log.errorLines().count(), 0);
    QVERIFY(p.log.lines().count() > 0);
    // Clear leaves nothing to draw or scroll; new lines start afresh.
    p.action("Clear1")->trigger();
    QCOMPARE(p.log.lines().count(), 0);
    QCOMPARE(p.console().totalRows(), 0);
    QTRY_COMPARE(p.console().verticalScrollBar()->maximum(), 0);
    p.log.AddStatusLine(u"after clear"_s, clBlack);
    QCOMPARE(p.console().rowsOfLine(0), QStringList{u"after clear"_s});
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

    // No _CusWindow_ yet: centred over the main window, nothing read. A font
    // chosen through the dialog is kept in _CusWindow_ for next time.
    FontDescription chosen;
    chosen.family = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    chosen.pointSize = 17;
    chosen.bold = true;
    {
        TextViewerWindow viewer(log, settings, prompts, &mainWindow);
        viewer.open(u"Caption"_s, u"text"_s);
        // Within the rounding of two halved sizes.
        const QPoint offset = viewer.frameGeometry().center() - mainWindow.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 4,
                 qPrintable(u"%1,%2"_s.arg(offset.x()).arg(offset.y())));
        prompts.fontAnswers.enqueue(chosen);
        viewer.changeFont();
        viewer.move(33, 44);
        viewer.resize(420, 310);
        log.setViewerOpen(true);
        viewer.close();
        QVERIFY(!log.viewerOpen());
    }

    // The next one opens where the last one closed, in the chosen font.
    TextViewerWindow viewer(log, settings, prompts, &mainWindow);
    QVERIFY(viewer.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(viewer.textBox()->isReadOnly() && !viewer.wordWrap());
    viewer.open(u"Again"_s, u"one\ntwo"_s);
    QCOMPARE(viewer.pos(), QPoint(33, 44));
    QCOMPARE(viewer.size(), QSize(420, 310));
    QCOMPARE(viewer.textBox()->font().family(), chosen.family);
    QVERIFY(viewer.textBox()->font().pointSize() == 17 && viewer.textBox()->font().bold());

    viewer.findChild<QAction*>(u"WordWrap1"_s)->trigger();
    QVERIFY(viewer.wordWrap());

    // Save: whole text; Save Selection As: the selection only.
    prompts.fileAnswers.enqueue(dir.filePath(u"all.txt"_s));
    viewer.findChild<QAction*>(u"Save1"_s)->trigger();
    QCOMPARE(prompts.fileQuestions.last().filter, u"Text File (*.txt)"_s);
    QCOMPARE(prompts.fileQuestions.last().defaultSuffix, u"txt"_s);
    QCOMPARE(dir.readFile(u"all.txt"_s), "one\ntwo");

    QAction* saveSelection = viewer.findChild<QAction*>(u"SaveSelectionAs1"_s);
    QVERIFY(!saveSelection->isEnabled());
    QTextCursor cursor = viewer.textBox()->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    viewer.textBox()->setTextCursor(cursor);
    QVERIFY(saveSelection->isEnabled());
    prompts.fileAnswers.enqueue(dir.filePath(u"part.txt"_s));
    saveSelection->trigger();
    QCOMPARE(dir.readFile(u"part.txt"_s), "two");

    viewer.findChild<QAction*>(u"Close1"_s)->trigger();
    QVERIFY(!viewer.isVisible());
}

void TestGuiStatus::desktopServicesUseTheDesktop() {
    QtDesktopServices services;
    services.setClipboardText(u"copied\r\n"_s);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"copied\r\n"_s);
    // No audio device here: sounds are silent and return at once.
    QElapsedTimer timer;
    timer.start();
    services.playSystemSound(SoundKind::Exclamation);
    services.playWaveFile(u"/nonexistent/sound.wav"_s);
    PlayEventSound(services, QString(), SoundKind(42));
    QVERIFY(timer.elapsed() < 5000);
    QVERIFY(!services.startProgram(u"/nonexistent/program"_s, {}));
}

QTEST_MAIN(TestGuiStatus)
#include "test_gui_status.moc"
