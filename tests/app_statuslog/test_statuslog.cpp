// The status log: which lines reach the console, the log file and the
// error-only lines; the error reactions; help replies; the line store's
// limits; the error log and the event sounds.
#include "NetTestHelpers.h"
#include "RecordingDesktopServices.h"
#include "app/DesktopServices.h"
#include "app/ErrorLog.h"
#include "app/StatusLog.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// A status log with logging on, writing into its own temporary data directory.
struct Harness {
    Harness() {
        log.setDataDirectory(dir.path());
        StatusLogOptions options;
        options.logging = true;
        options.errorSound = SoundKind::WavFile;
        options.errorWav = u"/sounds/error.wav"_s;
        log.setOptions(options);
    }
    void setShow214(bool on) {
        StatusLogOptions options = log.options();
        options.show214 = on;
        log.setOptions(options);
    }
    void add(const QStringList& texts, Colour colour = clBlue) {
        for (const QString& text : texts)
            log.AddStatusLine(text, colour);
    }
    QByteArray logFile() const { return ReadFile(log.logFilePath()); }
    QStringList shownTexts() const {
        QStringList texts;
        for (const StatusLine& line : log.lines().lines())
            texts << line.text;
        return texts;
    }

    QTemporaryDir dir;
    RecordingDesktopServices services;
    StatusLog log{services};
};

} // namespace

class TestStatusLog : public QObject {
    Q_OBJECT

private slots:
    void droppedLinesLeaveNoTrace();
    void lineEndsAndDisconnected();
    void longTextIsCutForTheWindowOnly();
    void logFileLocationAndFailures();

    void errorLineIsRedCollectedSoundedAndCarriesTheContext();
    void errorsAndReply426EndTheTransferDisplay();
    void errorLinesTrimBeforeErrorsOnly();
    void helpReplyOpensViewerOnlyWithShow214();
    void helpReplyWaitsForClosedViewer();

    void limitsRejectOutOfRangeValues();
    void trimmingNeverRemovesMoreThanHeld_data();
    void trimmingNeverRemovesMoreThanHeld();
    void copyAndSave();

    void errorLogSkipsKnownNoiseAndAppendsFourLinesPerError();
    void eventSoundKinds();
};

void TestStatusLog::droppedLinesLeaveNoTrace() {
    for (const QString& text : {u"ReadLn"_s, u"Request Close Socket"_s, u"Timer Off\r\n"_s, u"5"_s,
                                QString(), u"\r\n"_s}) {
        Harness h;
        h.setShow214(true);
        QSignalSpy cursors(&h.log, &StatusLog::hourglassCursorsResetRequested);
        h.log.AddStatusLine(text, clPurple);
        h.log.AddStatusLine(text, clRed);
        QVERIFY2(h.log.lines().count() + h.log.errorLines().count() + cursors.count() == 0 &&
                     h.services.calls.isEmpty() && !QFile::exists(h.log.logFilePath()),
                 qPrintable(text));
    }
    // Only the exact words are internal; a longer text is a real line.
    Harness h;
    h.log.AddStatusLine(u"ReadLn done"_s, clBlue);
    QCOMPARE(h.shownTexts(), QStringList{u"ReadLn done"_s});
}
void TestStatusLog::lineEndsAndDisconnected() {
    Harness h;
    h.add({u"220 Ready\r\n"_s, u"221 Bye\n\r"_s, u"200 Ok\r\r"_s, u"Disconnected\r\n"_s});
    // "Disconnected" is logged and kept as a notice, but never shown.
    h.add({u"Disconnected"_s}, clPurple);
    QCOMPARE(h.shownTexts(), (QStringList{u"220 Ready"_s, u"221 Bye\n"_s, u"200 Ok\r"_s}));
    QCOMPARE(h.logFile(), "220 Ready\n221 Bye\n\n200 Ok\r\nDisconnected\nDisconnected\n");
    QCOMPARE(h.log.errorLines().lines(), QStringList{u"Disconnected"_s});
}

void TestStatusLog::longTextIsCutForTheWindowOnly() {
    Harness h;
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += QChar(u'a' + i % 26);
    h.log.AddStatusLine(text, clBlack);
    QCOMPARE(h.log.lines().line(0).text, text.left(1024));
    QCOMPARE(h.logFile(), (text + u'\n').toUtf8());

    // A cut through a surrogate pair would leave an invalid character behind.
    const QString pair = u"\U0001F600"_s;
    h.log.AddStatusLine(QString(1023, u'b') + pair + pair, clBlack);
    QCOMPARE(h.log.lines().line(1).text, QString(1023, u'b'));
}

void TestStatusLog::logFileLocationAndFailures() {
    Harness h;
    StatusLogOptions options = h.log.options();
    options.logName = u"ftp.log"_s;
    h.log.setOptions(options);
    QCOMPARE(h.log.logFilePath(), QDir(h.dir.path()).filePath(u"ftp.log"_s));

    QTemporaryDir elsewhere;
    options.logName = elsewhere.filePath(u"abs.log"_s);
    h.log.setOptions(options);
    h.add({u"one"_s, u"two"_s});
    QCOMPARE(ReadFile(options.logName), "one\ntwo\n");

    // A log that cannot be written never keeps the line from the windows.
    options.logName = elsewhere.filePath(u"missing/dir/x.log"_s);
    h.log.setOptions(options);
    h.add({u"550 Denied"_s});
    QCOMPARE(h.log.lines().count(), 3);
    QCOMPARE(h.log.errorLines().count(), 1);

    options.logging = false;
    options.logName = u"off.log"_s;
    h.log.setOptions(options);
    h.add({u"not logged"_s});
    QVERIFY(!QFile::exists(h.log.logFilePath()));
}

void TestStatusLog::errorLineIsRedCollectedSoundedAndCarriesTheContext() {
    Harness h;
    QSignalSpy cursors(&h.log, &StatusLog::hourglassCursorsResetRequested);
    QSignalSpy title(&h.log, &StatusLog::titleChangeRequested);
    h.log.setTransferContext(u"->  /pub/target/file.bin"_s);
    h.add({u"150 Opening"_s, u"550 No such file"_s});
    h.add({u"421 Timeout"_s}, clMaroon);
    h.add({u"230 Logged in"_s}, clGreen);
    // The console shows the reply alone, in red; the first error after a
    // transfer started carries its target, once.
    QCOMPARE(h.shownTexts().at(1), u"550 No such file"_s);
    QList<Colour> colours;
    for (const StatusLine& line : h.log.lines().lines())
        colours << line.colour;
    QCOMPARE(colours, (QList<Colour>{clBlue, clRed, clRed, clGreen}));
    QCOMPARE(h.log.errorLines().lines(),
             (QStringList{u"550 No such file   ->  /pub/target/file.bin"_s, u"421 Timeout"_s}));
    QVERIFY(h.log.transferContext().isEmpty());
    QCOMPARE(cursors.count(), 2);
    QCOMPARE(h.services.soundCalls(), QStringList(2, u"playWaveFile:/sounds/error.wav"_s));

    // Only in the background does an error take the title.
    QCOMPARE(title.count(), 0);
    h.services.applicationActive = false;
    h.add({u"200 Fine"_s, u"530 Login incorrect"_s});
    QCOMPARE(title.count(), 1);
    QCOMPARE(title.at(0).at(0).toString(), u"ERROR: 530 Login incorrect"_s);
}

void TestStatusLog::errorsAndReply426EndTheTransferDisplay() {
    Harness h;
    QSignalSpy reset(&h.log, &StatusLog::transferDisplayResetRequested);
    QSignalSpy panels(&h.log, &StatusLog::transferPanelsTextRequested);
    h.add({u"550 Early"_s}); // no timer attached yet
    QTimer transferTimer;
    transferTimer.setInterval(1000);
    h.log.setTransferTimer(&transferTimer);
    h.add({u"550 Idle"_s});
    QCOMPARE(panels.count(), 0);
    transferTimer.start();
    h.add({u"200 Not an error"_s});
    QVERIFY(transferTimer.isActive());
    h.add({u"553 Cannot store"_s});
    QVERIFY(!transferTimer.isActive());
    QCOMPARE(panels.count(), 1);
    QCOMPARE(panels.at(0).at(0).toString(), u"Transfer Aborted."_s);

    // "426 " resets the display first (the App stops the timer there), so
    // the error step finds nothing running; it is still an error.
    connect(&h.log, &StatusLog::transferDisplayResetRequested, &transferTimer, &QTimer::stop);
    transferTimer.start();
    h.add({u"426 Connection closed; transfer aborted."_s}, clGreen);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(panels.count(), 1);
    QCOMPARE(h.log.errorLines().count(), 4);
    h.add({u"426-Multi line"_s}, clGreen); // without its space, no reset
    QCOMPARE(reset.count(), 1);
    QCOMPARE(h.log.errorLines().count(), 5);
}

void TestStatusLog::errorLinesTrimBeforeErrorsOnly() {
    Harness h;
    for (int i = 0; i < 101; ++i)
        h.add({u"550 error %1"_s.arg(i)});
    QCOMPARE(h.log.errorLines().count(), 101);
    h.add({u"550 error 101"_s});
    QCOMPARE(h.log.errorLines().count(), 101);
    QCOMPARE(h.log.errorLines().lines().first(), u"550 error 1"_s);

    // Notices are added without trimming; the next error drops one line.
    for (int i = 0; i < 5; ++i)
        h.add({u"Empty Dir: /d%1"_s.arg(i)}, clPurple);
    h.add({u"550 last"_s});
    QCOMPARE(h.log.errorLines().count(), 106);
    QCOMPARE(h.log.errorLines().lines().last(), u"550 last"_s);
}

void TestStatusLog::helpReplyOpensViewerOnlyWithShow214() {
    Harness h;
    QSignalSpy viewer(&h.log, &StatusLog::textViewerRequested);
    const QStringList reply{u"214-The following commands are recognized."_s, u" USER PASS CWD"_s,
                            u" LIST RETR STOR"_s, u"214 Help OK."_s};
    h.add(reply);
    QCOMPARE(viewer.count(), 0);
    QVERIFY(!h.log.collectingHelpReply());

    h.setShow214(true);
    h.add(reply.mid(0, 3));
    QCOMPARE(viewer.count(), 0);
    h.add({reply.last()});
    QCOMPARE(viewer.count(), 1);
    QCOMPARE(viewer.at(0).at(0).toString(), reply.first());
    QCOMPARE(viewer.at(0).at(1).toString(), reply.join(u'\n'));
    QVERIFY(h.log.viewerOpen() && !h.log.collectingHelpReply());
    QCOMPARE(h.log.lines().count(), 8); // shown in the status window as well

    // The double-click view stays shut while the viewer is open.
    QVERIFY(!h.log.showStatusInViewer());
    h.log.setViewerOpen(false);
    QVERIFY(h.log.showStatusInViewer());
    QCOMPARE(viewer.at(1).at(0).toString(), u"Status Window"_s);
    QCOMPARE(viewer.at(1).at(1).toString(), h.log.lines().plainText());
}

void TestStatusLog::helpReplyWaitsForClosedViewer() {
    Harness h;
    h.setShow214(true);
    h.log.setViewerOpen(true);
    QSignalSpy viewer(&h.log, &StatusLog::textViewerRequested);
    h.add({u"214-Help"_s, u"214 End"_s});
    QCOMPARE(viewer.count(), 0);
    QVERIFY(h.log.collectingHelpReply());

    // Meanwhile every line is collected, from either side.
    h.add({u"226 Done"_s}, clGreen);
    h.log.setViewerOpen(false);
    h.add({u"214 Later"_s});
    QCOMPARE(viewer.count(), 1);
    QCOMPARE(viewer.at(0).at(0).toString(), u"214-Help"_s);
    QCOMPARE(viewer.at(0).at(1).toString(), u"214-Help\n214 End\n226 Done\n214 Later"_s);
}

void TestStatusLog::limitsRejectOutOfRangeValues() {
    StatusLineStore store;
    QVERIFY(store.maxRecords() == 500 && store.maxRemove() == 10);
    for (int rejected : {32769, -1})
        store.setMaxRecords(rejected);
    for (int rejected : {201, -1})
        store.setMaxRemove(rejected);
    QVERIFY(store.maxRecords() == 500 && store.maxRemove() == 10);
    store.setMaxRecords(32768);
    store.setMaxRemove(200);
    QVERIFY(store.maxRecords() == 32768 && store.maxRemove() == 200);
    store.setMaxRecords(20);
    store.setMaxRemove(20); // not below MaxRecords
    QCOMPARE(store.maxRemove(), 200);
}

void TestStatusLog::trimmingNeverRemovesMoreThanHeld_data() {
    QTest::addColumn<int>("maxRemove");
    QTest::addColumn<int>("maxRecords");
    QTest::addColumn<QList<int>>("counts"); // after each of the appends

    QTest::newRow("nothing kept") << 10 << 0 << QList<int>{0, 0, 0};
    QTest::newRow("batch larger than limit") << 15 << 3 << QList<int>{1, 2, 3, 1, 2, 3, 1};
    QTest::newRow("batch equal to limit") << 2 << 2 << QList<int>{1, 2, 1, 2, 1};
    QTest::newRow("no batch") << 0 << 3 << QList<int>{1, 2, 3, 3, 3};
    QTest::newRow("limit of one") << 10 << 1 << QList<int>{1, 1, 1};
    QTest::newRow("ordinary batch") << 2 << 4 << QList<int>{1, 2, 3, 4, 3, 4, 3};
}

void TestStatusLog::trimmingNeverRemovesMoreThanHeld() {
    QFETCH(int, maxRemove);
    QFETCH(int, maxRecords);
    QFETCH(QList<int>, counts);

    // MaxRemove first, while the default limit still accepts it.
    StatusLineStore store;
    store.setMaxRemove(maxRemove);
    store.setMaxRecords(maxRecords);
    QVERIFY(store.maxRemove() == maxRemove && store.maxRecords() == maxRecords);
    int held = 0;
    connect(&store, &StatusLineStore::lineAppended, this, [&](int index) {
        QCOMPARE(index, held);
        ++held;
    });
    connect(&store, &StatusLineStore::linesRemoved, this, [&](int count) {
        QVERIFY(count > 0 && count <= held);
        held -= count;
    });
    for (int i = 0; i < counts.size(); ++i) {
        store.append(u"line %1"_s.arg(i), clBlack);
        QCOMPARE(store.count(), counts.at(i));
        QCOMPARE(held, store.count());
        if (maxRecords > 0)
            QCOMPARE(store.lines().last().text, u"line %1"_s.arg(i));
    }

    // Lowering the limit below what is held gets back to it on the next line.
    StatusLineStore lowered;
    for (int i = 0; i < 50; ++i)
        lowered.append(u"x"_s, clBlack);
    lowered.setMaxRecords(maxRecords);
    lowered.append(u"new"_s, clBlack);
    QVERIFY(lowered.count() <= maxRecords);
}

void TestStatusLog::copyAndSave() {
    Harness h;
    QVERIFY(!h.log.copyStatusToClipboard());
    QVERIFY(h.services.calls.isEmpty());
    h.add({u"first"_s, u"550 second"_s});
    QVERIFY(h.log.copyStatusToClipboard());
    QCOMPARE(h.services.clipboardText, u"first\r\n550 second\r\n"_s);

    // Saving replaces what the file held.
    h.log.WriteLogLine(u"old contents that are longer than the new ones"_s);
    QVERIFY(h.log.lines().saveToFile(h.log.logFilePath()));
    QCOMPARE(h.logFile(), "first\n550 second\n");
    QString error;
    QVERIFY(!h.log.lines().saveToFile(h.dir.filePath(u"no/such/dir.log"_s), &error));
    QVERIFY(!error.isEmpty());
}

void TestStatusLog::errorLogSkipsKnownNoiseAndAppendsFourLinesPerError() {
    Harness h;
    ErrorLog errorLog(h.log);
    QCOMPARE(errorLog.filePath(), QDir(h.dir.path()).filePath(u"errorlog.txt"_s));
    for (const QString& noise :
         {u"Not Connected"_s, u"Host Lookup Failed"_s, u"Access violation in NtDlL.DLL"_s,
          u"Fault at SHELL32.dll+0x10"_s})
        QVERIFY2(!errorLog.logUnhandledError(u"FtpSession"_s, noise), qPrintable(noise));
    QVERIFY(!QFile::exists(errorLog.filePath()) && h.shownTexts().isEmpty());
    // Only the exact words are noise.
    QVERIFY(errorLog.logUnhandledError(u"FtpSession"_s, u"Not Connected!"_s));
    QVERIFY(errorLog.logUnhandledError(u"QueueRunner"_s, u"550 gone"_s));

    // Two entries of four lines (time stamp, object, message, blank).
    QStringList lines = QString::fromUtf8(ReadFile(errorLog.filePath())).split(u'\n');
    QCOMPARE(lines.size(), 9);
    QVERIFY(!lines.at(0).isEmpty() && !lines.at(4).isEmpty());
    lines.remove(4);
    lines.remove(0);
    QCOMPARE(lines, (QStringList{u"Object Name: FtpSession"_s,
                                 u"Not Connected!"_s,
                                 {},
                                 u"Object Name: QueueRunner"_s,
                                 u"550 gone"_s,
                                 {},
                                 {}}));
    QCOMPARE(h.shownTexts(), (QStringList{u"Not Connected!"_s, u"550 gone"_s}));
    // A message that looks like a reply is an error line like any other.
    QCOMPARE(h.log.errorLines().lines(), QStringList{u"550 gone"_s});
}

void TestStatusLog::eventSoundKinds() {
    // What each kind from -1 to 7 plays, one field each.
    const QStringList calls = u"||playSystemSound:1|beep|playSystemSound:3|playSystemSound:4|"
                              u"playSystemSound:5|playWaveFile:/s/q.wav|"_s.split(u'|');
    for (int kind = -1; kind <= 7; ++kind) {
        RecordingDesktopServices services;
        PlayEventSound(services, u"/s/q.wav"_s, SoundKind(kind));
        QCOMPARE(services.calls.join(u'|'), calls.at(kind + 1));
    }
    // No file chosen: nothing to play.
    RecordingDesktopServices services;
    PlayEventSound(services, QString(), SoundKind::WavFile);
    QVERIFY(services.calls.isEmpty());
}
QTEST_GUILESS_MAIN(TestStatusLog)
#include "test_statuslog.moc"
