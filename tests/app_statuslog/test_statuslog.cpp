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

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A status log with logging on, writing into its own temporary data directory.
struct Harness {
    Harness() {
        log.setDataDirectory(dir.path());
        StatusLogOptions options;
        options.logging = true;
        options.errorSound = SoundKind::WavFile;
        options.errorWav = QStringLiteral("/sounds/error.wav");
        log.setOptions(options);
    }
    void setShow214(bool on) {
        StatusLogOptions options = log.options();
        options.show214 = on;
        log.setOptions(options);
    }
    QByteArray logFile() const { return readFile(log.logFilePath()); }
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
    void droppedLinesLeaveNoTrace_data();
    void droppedLinesLeaveNoTrace();
    void disconnectedIsLoggedButNotShown();
    void lineEndsAreStrippedOnce();
    void longTextIsCutForTheWindowOnly();
    void logFileLocationAndFailures();

    void errorLineIsRedCollectedAndSounded();
    void transferContextIsUsedOnce();
    void titleChangesOnlyWhenInactive();
    void reply426ResetsAndIsAnError();
    void errorStopsRunningTransferTimer();
    void errorLinesTrimBeforeErrorsOnly();

    void helpReplyOpensViewer();
    void helpReplyWaitsForClosedViewer();
    void helpReplyIgnoredWithoutShow214();

    void statusSize200Leaves186();
    void limitsRejectOutOfRangeValues();
    void trimmingNeverRemovesMoreThanHeld_data();
    void trimmingNeverRemovesMoreThanHeld();
    void exportAndClear();

    void errorLogFilter_data();
    void errorLogFilter();
    void errorLogAppendsFourLinesPerError();

    void eventSoundKinds_data();
    void eventSoundKinds();
};

void TestStatusLog::droppedLinesLeaveNoTrace_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("ReadLn") << QStringLiteral("ReadLn");
    QTest::newRow("Timer On") << QStringLiteral("Timer On");
    QTest::newRow("Read( 0 )") << QStringLiteral("Read( 0 )");
    QTest::newRow("Request Close Socket") << QStringLiteral("Request Close Socket");
    QTest::newRow("word with CR LF") << QStringLiteral("Timer Off\r\n");
    QTest::newRow("one char") << QStringLiteral("x");
    QTest::newRow("one error digit") << QStringLiteral("5");
    QTest::newRow("empty") << QString();
    QTest::newRow("only CR LF") << QStringLiteral("\r\n");
}

void TestStatusLog::droppedLinesLeaveNoTrace() {
    QFETCH(QString, text);
    Harness h;
    h.setShow214(true);
    QSignalSpy appended(&h.log.lines(), &StatusLineStore::lineAppended);
    QSignalSpy cursors(&h.log, &StatusLog::hourglassCursorsResetRequested);

    h.log.AddStatusLine(text, clPurple);
    h.log.AddStatusLine(text, clRed);

    QCOMPARE(appended.count(), 0);
    QCOMPARE(h.log.errorLines().count(), 0);
    QCOMPARE(cursors.count(), 0);
    QVERIFY(h.services.calls.isEmpty());
    QVERIFY(!QFile::exists(h.log.logFilePath()));
    QVERIFY(!h.log.collectingHelpReply());

    // Only the exact words are internal; a longer text is a real line.
    h.log.AddStatusLine(QStringLiteral("ReadLn done"), clBlue);
    QCOMPARE(h.shownTexts(), QStringList{QStringLiteral("ReadLn done")});
}

void TestStatusLog::disconnectedIsLoggedButNotShown() {
    Harness h;
    h.log.AddStatusLine(QStringLiteral("Disconnected\r\n"), clBlue);
    QCOMPARE(h.log.lines().count(), 0);
    QCOMPARE(h.logFile(), QByteArray("Disconnected\n"));

    // A notice copy happens before the line is held back from the console.
    h.log.AddStatusLine(QStringLiteral("Disconnected"), clPurple);
    QCOMPARE(h.log.lines().count(), 0);
    QCOMPARE(h.log.errorLines().lines(), QStringList{QStringLiteral("Disconnected")});
}

void TestStatusLog::lineEndsAreStrippedOnce() {
    Harness h;
    h.log.AddStatusLine(QStringLiteral("220 Ready\r\n"), clBlue);
    h.log.AddStatusLine(QStringLiteral("221 Bye\n\r"), clBlue);
    h.log.AddStatusLine(QStringLiteral("200 Ok\r\r"), clBlue);
    h.log.AddStatusLine(QStringLiteral("257 \"/\"\n"), clBlue);

    QCOMPARE(h.shownTexts(),
             (QStringList{QStringLiteral("220 Ready"), QStringLiteral("221 Bye\n"),
                          QStringLiteral("200 Ok\r"), QStringLiteral("257 \"/\"")}));
    QCOMPARE(h.logFile(), QByteArray("220 Ready\n221 Bye\n\n200 Ok\r\n257 \"/\"\n"));
}

void TestStatusLog::longTextIsCutForTheWindowOnly() {
    Harness h;
    QString text;
    for (int i = 0; i < 2000; ++i)
        text += QChar(u'a' + i % 26);
    h.log.AddStatusLine(text, clBlack);

    QCOMPARE(h.log.lines().line(0).text, text.left(1024));
    QCOMPARE(h.logFile(), (text + QLatin1Char('\n')).toUtf8());

    // A cut through a surrogate pair would leave an invalid character behind.
    const QString pair = QStringLiteral("\U0001F600");
    QString wide = QString(1023, QLatin1Char('b')) + pair + pair;
    h.log.AddStatusLine(wide, clBlack);
    QCOMPARE(h.log.lines().line(1).text, QString(1023, QLatin1Char('b')));
}

void TestStatusLog::logFileLocationAndFailures() {
    Harness h;
    StatusLogOptions options = h.log.options();

    options.logName = QStringLiteral("ftp.log");
    h.log.setOptions(options);
    QCOMPARE(h.log.logFilePath(), QDir(h.dir.path()).filePath(QStringLiteral("ftp.log")));

    QTemporaryDir elsewhere;
    const QString absolute = elsewhere.filePath(QStringLiteral("abs.log"));
    options.logName = absolute;
    h.log.setOptions(options);
    QCOMPARE(h.log.logFilePath(), absolute);
    h.log.AddStatusLine(QStringLiteral("one"), clBlue);
    h.log.AddStatusLine(QStringLiteral("two"), clBlue);
    QCOMPARE(readFile(absolute), QByteArray("one\ntwo\n"));

    // A log that cannot be written never keeps the line from the windows.
    options.logName = elsewhere.filePath(QStringLiteral("missing/dir/x.log"));
    h.log.setOptions(options);
    h.log.AddStatusLine(QStringLiteral("550 Denied"), clBlue);
    QCOMPARE(h.log.lines().count(), 3);
    QCOMPARE(h.log.errorLines().count(), 1);

    options.logging = false;
    options.logName = QStringLiteral("off.log");
    h.log.setOptions(options);
    h.log.AddStatusLine(QStringLiteral("not logged"), clBlue);
    QVERIFY(!QFile::exists(h.log.logFilePath()));
}

void TestStatusLog::errorLineIsRedCollectedAndSounded() {
    Harness h;
    QSignalSpy cursors(&h.log, &StatusLog::hourglassCursorsResetRequested);

    h.log.AddStatusLine(QStringLiteral("550 No such file"), clBlue);
    h.log.AddStatusLine(QStringLiteral("421 Timeout"), clMaroon);
    h.log.AddStatusLine(QStringLiteral("230 Logged in"), clGreen);

    QCOMPARE(h.log.lines().count(), 3);
    QCOMPARE(h.log.lines().line(0).colour, clRed);
    QCOMPARE(h.log.lines().line(1).colour, clRed);
    QCOMPARE(h.log.lines().line(2).colour, clGreen);
    QCOMPARE(h.log.errorLines().lines(),
             (QStringList{QStringLiteral("550 No such file"), QStringLiteral("421 Timeout")}));
    QCOMPARE(cursors.count(), 2);
    QCOMPARE(h.services.soundCalls(),
             (QStringList{QStringLiteral("playWaveFile:/sounds/error.wav"),
                          QStringLiteral("playWaveFile:/sounds/error.wav")}));
}

void TestStatusLog::transferContextIsUsedOnce() {
    Harness h;
    h.log.setTransferContext(QStringLiteral("->  /pub/target/file.bin"));
    h.log.AddStatusLine(QStringLiteral("150 Opening"), clBlue);
    QCOMPARE(h.log.transferContext(), QStringLiteral("->  /pub/target/file.bin"));

    h.log.AddStatusLine(QStringLiteral("550 Failed"), clBlue);
    h.log.AddStatusLine(QStringLiteral("550 Again"), clGreen);
    QCOMPARE(h.log.errorLines().lines(),
             (QStringList{QStringLiteral("550 Failed   ->  /pub/target/file.bin"),
                          QStringLiteral("550 Again")}));
    QVERIFY(h.log.transferContext().isEmpty());
    // The console shows the reply alone.
    QCOMPARE(h.log.lines().line(1).text, QStringLiteral("550 Failed"));
}

void TestStatusLog::titleChangesOnlyWhenInactive() {
    Harness h;
    QSignalSpy title(&h.log, &StatusLog::titleChangeRequested);
    h.log.AddStatusLine(QStringLiteral("530 Login incorrect"), clBlue);
    QCOMPARE(title.count(), 0);

    h.services.applicationActive = false;
    h.log.AddStatusLine(QStringLiteral("200 Fine"), clBlue);
    QCOMPARE(title.count(), 0);
    h.log.AddStatusLine(QStringLiteral("530 Login incorrect"), clBlue);
    QCOMPARE(title.count(), 1);
    QCOMPARE(title.at(0).at(0).toString(), QStringLiteral("ERROR: 530 Login incorrect"));
}

void TestStatusLog::reply426ResetsAndIsAnError() {
    Harness h;
    QTimer transferTimer;
    transferTimer.setInterval(1000);
    h.log.setTransferTimer(&transferTimer);
    QSignalSpy reset(&h.log, &StatusLog::transferDisplayResetRequested);
    QSignalSpy panels(&h.log, &StatusLog::transferPanelsTextRequested);
    // The App's reset stops the timer, so the error step finds it stopped.
    connect(&h.log, &StatusLog::transferDisplayResetRequested, &transferTimer, &QTimer::stop);

    transferTimer.start();
    h.log.AddStatusLine(QStringLiteral("426 Connection closed; transfer aborted."), clGreen);
    QCOMPARE(reset.count(), 1);
    QVERIFY(!transferTimer.isActive());
    QCOMPARE(panels.count(), 0);
    QCOMPARE(h.log.lines().line(0).colour, clRed);
    QCOMPARE(h.log.errorLines().count(), 1);
    QCOMPARE(h.services.soundCalls().size(), 1);

    // Only "426 " with its space resets; any 4xx is still an error.
    h.log.AddStatusLine(QStringLiteral("426-Multi line"), clGreen);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(h.log.errorLines().count(), 2);
}

void TestStatusLog::errorStopsRunningTransferTimer() {
    Harness h;
    QSignalSpy panels(&h.log, &StatusLog::transferPanelsTextRequested);

    // Without a timer attached an error is still handled.
    h.log.AddStatusLine(QStringLiteral("550 Early"), clBlue);
    QCOMPARE(panels.count(), 0);

    QTimer transferTimer;
    transferTimer.setInterval(1000);
    h.log.setTransferTimer(&transferTimer);
    h.log.AddStatusLine(QStringLiteral("550 Idle"), clBlue);
    QCOMPARE(panels.count(), 0);

    transferTimer.start();
    h.log.AddStatusLine(QStringLiteral("200 Not an error"), clBlue);
    QVERIFY(transferTimer.isActive());
    h.log.AddStatusLine(QStringLiteral("553 Cannot store"), clBlue);
    QVERIFY(!transferTimer.isActive());
    QCOMPARE(panels.count(), 1);
    QCOMPARE(panels.at(0).at(0).toString(), QStringLiteral("Transfer Aborted."));
}

void TestStatusLog::errorLinesTrimBeforeErrorsOnly() {
    Harness h;
    for (int i = 0; i < 101; ++i)
        h.log.AddStatusLine(QStringLiteral("550 error %1").arg(i), clBlue);
    QCOMPARE(h.log.errorLines().count(), 101);
    QCOMPARE(h.log.errorLines().lines().first(), QStringLiteral("550 error 0"));

    h.log.AddStatusLine(QStringLiteral("550 error 101"), clBlue);
    QCOMPARE(h.log.errorLines().count(), 101);
    QCOMPARE(h.log.errorLines().lines().first(), QStringLiteral("550 error 1"));

    for (int i = 0; i < 5; ++i)
        h.log.AddStatusLine(QStringLiteral("Empty Dir: /d%1").arg(i), clPurple);
    QCOMPARE(h.log.errorLines().count(), 106);
    h.log.AddStatusLine(QStringLiteral("550 last"), clBlue);
    QCOMPARE(h.log.errorLines().count(), 106);
    QCOMPARE(h.log.errorLines().lines().last(), QStringLiteral("550 last"));

    QSignalSpy cleared(&h.log.errorLines(), &ErrorLines::cleared);
    h.log.errorLines().clear();
    QCOMPARE(h.log.errorLines().count(), 0);
    QCOMPARE(cleared.count(), 1);
}

void TestStatusLog::helpReplyOpensViewer() {
    Harness h;
    h.setShow214(true);
    QSignalSpy viewer(&h.log, &StatusLog::textViewerRequested);

    h.log.AddStatusLine(QStringLiteral("214-The following commands are recognized."), clBlue);
    h.log.AddStatusLine(QStringLiteral(" USER PASS CWD"), clBlue);
    h.log.AddStatusLine(QStringLiteral(" LIST RETR STOR"), clBlue);
    QCOMPARE(viewer.count(), 0);
    h.log.AddStatusLine(QStringLiteral("214 Help OK."), clBlue);

    QCOMPARE(viewer.count(), 1);
    QCOMPARE(viewer.at(0).at(0).toString(),
             QStringLiteral("214-The following commands are recognized."));
    QCOMPARE(viewer.at(0).at(1).toString(),
             QStringLiteral("214-The following commands are recognized.\n USER PASS CWD\n"
                            " LIST RETR STOR\n214 Help OK."));
    QVERIFY(h.log.viewerOpen());
    QVERIFY(!h.log.collectingHelpReply());
    QCOMPARE(h.log.lines().count(), 4);

    // The double-click view stays shut while the viewer is open.
    QVERIFY(!h.log.showStatusInViewer());
    h.log.setViewerOpen(false);
    QVERIFY(h.log.showStatusInViewer());
    QCOMPARE(viewer.count(), 2);
    QCOMPARE(viewer.at(1).at(0).toString(), QStringLiteral("Status Window"));
    QCOMPARE(viewer.at(1).at(1).toString(), h.log.lines().plainText());
}

void TestStatusLog::helpReplyWaitsForClosedViewer() {
    Harness h;
    h.setShow214(true);
    h.log.setViewerOpen(true);
    QSignalSpy viewer(&h.log, &StatusLog::textViewerRequested);

    h.log.AddStatusLine(QStringLiteral("214-Help"), clBlue);
    h.log.AddStatusLine(QStringLiteral("214 End"), clBlue);
    QCOMPARE(viewer.count(), 0);
    QVERIFY(h.log.collectingHelpReply());

    // Meanwhile every line is collected, from either side.
    h.log.AddStatusLine(QStringLiteral("226 Done"), clGreen);
    h.log.setViewerOpen(false);
    h.log.AddStatusLine(QStringLiteral("214 Later"), clBlue);

    QCOMPARE(viewer.count(), 1);
    QCOMPARE(viewer.at(0).at(0).toString(), QStringLiteral("214-Help"));
    QCOMPARE(viewer.at(0).at(1).toString(),
             QStringLiteral("214-Help\n214 End\n226 Done\n214 Later"));
    QVERIFY(h.log.viewerOpen());
}

void TestStatusLog::helpReplyIgnoredWithoutShow214() {
    Harness h;
    QSignalSpy viewer(&h.log, &StatusLog::textViewerRequested);
    h.log.AddStatusLine(QStringLiteral("214-Help"), clBlue);
    h.log.AddStatusLine(QStringLiteral(" USER"), clBlue);
    h.log.AddStatusLine(QStringLiteral("214 End"), clBlue);
    QCOMPARE(viewer.count(), 0);
    QVERIFY(!h.log.collectingHelpReply());
    QVERIFY(!h.log.viewerOpen());
    QCOMPARE(h.log.lines().count(), 3);
}

void TestStatusLog::statusSize200Leaves186() {
    Harness h;
    StatusLineStore& store = h.log.lines();
    store.setMaxRemove(15);
    store.setMaxRecords(200);
    QSignalSpy removed(&store, &StatusLineStore::linesRemoved);

    for (int i = 1; i <= 200; ++i)
        h.log.AddStatusLine(QStringLiteral("line %1").arg(i), clBlack);
    QCOMPARE(store.count(), 200);
    QCOMPARE(removed.count(), 0);

    h.log.AddStatusLine(QStringLiteral("line 201"), clBlack);
    QCOMPARE(store.count(), 186);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).toInt(), 15);
    QCOMPARE(store.line(0).text, QStringLiteral("line 16"));
    QCOMPARE(store.lines().last().text, QStringLiteral("line 201"));
}

void TestStatusLog::limitsRejectOutOfRangeValues() {
    StatusLineStore store;
    QCOMPARE(store.maxRecords(), 500);
    QCOMPARE(store.maxRemove(), 10);

    store.setMaxRecords(32769);
    store.setMaxRecords(-1);
    QCOMPARE(store.maxRecords(), 500);
    store.setMaxRecords(32768);
    QCOMPARE(store.maxRecords(), 32768);

    store.setMaxRemove(201);
    store.setMaxRemove(-1);
    QCOMPARE(store.maxRemove(), 10);
    store.setMaxRemove(200);
    QCOMPARE(store.maxRemove(), 200);

    store.setMaxRecords(20);
    store.setMaxRemove(20); // not below MaxRecords
    QCOMPARE(store.maxRemove(), 200);
    store.setMaxRemove(0);
    QCOMPARE(store.maxRemove(), 0);
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
    QCOMPARE(store.maxRemove(), maxRemove);
    QCOMPARE(store.maxRecords(), maxRecords);

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
        store.append(QStringLiteral("line %1").arg(i), clBlack);
        QCOMPARE(store.count(), counts.at(i));
        QCOMPARE(held, store.count());
        if (maxRecords > 0)
            QCOMPARE(store.lines().last().text, QStringLiteral("line %1").arg(i));
    }

    // Lowering the limit below what is held gets back to it on the next line.
    StatusLineStore lowered;
    for (int i = 0; i < 50; ++i)
        lowered.append(QStringLiteral("x"), clBlack);
    lowered.setMaxRecords(maxRecords);
    lowered.append(QStringLiteral("new"), clBlack);
    QVERIFY(lowered.count() <= maxRecords);
}

void TestStatusLog::exportAndClear() {
    Harness h;
    QVERIFY(!h.log.copyStatusToClipboard());
    QVERIFY(h.services.calls.isEmpty());

    h.log.AddStatusLine(QStringLiteral("first"), clBlue);
    h.log.AddStatusLine(QStringLiteral("550 second"), clGreen);
    QVERIFY(h.log.copyStatusToClipboard());
    QCOMPARE(h.services.clipboardText, QStringLiteral("first\r\n550 second\r\n"));

    const QString saved = h.dir.filePath(QStringLiteral("status.log"));
    {
        QFile old(saved);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents that are longer than the new ones\n");
    }
    QVERIFY(h.log.lines().saveToFile(saved));
    QCOMPARE(readFile(saved), QByteArray("first\n550 second\n"));

    QString error;
    QVERIFY(!h.log.lines().saveToFile(h.dir.filePath(QStringLiteral("no/such/dir.log")), &error));
    QVERIFY(!error.isEmpty());

    QSignalSpy cleared(&h.log.lines(), &StatusLineStore::cleared);
    h.log.lines().clear();
    QCOMPARE(cleared.count(), 1);
    QCOMPARE(h.log.lines().count(), 0);
    QVERIFY(h.log.lines().clipboardText().isEmpty());
}

void TestStatusLog::errorLogFilter_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("logged");
    QTest::newRow("not connected") << QStringLiteral("Not Connected") << false;
    QTest::newRow("lookup failed") << QStringLiteral("Host Lookup Failed") << false;
    QTest::newRow("ntdll mixed case") << QStringLiteral("Access violation in NtDlL.DLL") << false;
    QTest::newRow("shell32") << QStringLiteral("Fault at SHELL32.dll+0x10") << false;
    QTest::newRow("not exact") << QStringLiteral("Not Connected!") << true;
    QTest::newRow("other case") << QStringLiteral("host lookup failed") << true;
    QTest::newRow("ordinary") << QStringLiteral("Disk full") << true;
}

void TestStatusLog::errorLogFilter() {
    QFETCH(QString, message);
    QFETCH(bool, logged);
    Harness h;
    ErrorLog errorLog(h.log);

    QCOMPARE(errorLog.logUnhandledError(QStringLiteral("FtpSession"), message), logged);
    QCOMPARE(QFile::exists(errorLog.filePath()), logged);
    QCOMPARE(h.log.lines().count(), logged ? 1 : 0);
    if (logged) {
        QCOMPARE(h.log.lines().line(0).text, message);
        QCOMPARE(h.log.lines().line(0).colour, clRed);
    }
}

void TestStatusLog::errorLogAppendsFourLinesPerError() {
    Harness h;
    ErrorLog errorLog(h.log);
    QCOMPARE(errorLog.filePath(), QDir(h.dir.path()).filePath(QStringLiteral("errorlog.txt")));

    QVERIFY(errorLog.logUnhandledError(QStringLiteral("FtpSession"), QStringLiteral("Bad reply")));
    QVERIFY(errorLog.logUnhandledError(QStringLiteral("QueueRunner"), QStringLiteral("550 gone")));

    const QStringList lines = QString::fromUtf8(readFile(errorLog.filePath())).split(u'\n');
    QCOMPARE(lines.size(), 9); // two entries of four lines, then the final line end
    QVERIFY(!lines.at(0).isEmpty());
    QCOMPARE(lines.mid(1, 3), (QStringList{QStringLiteral("Object Name: FtpSession"),
                                           QStringLiteral("Bad reply"), QString()}));
    QVERIFY(!lines.at(4).isEmpty());
    QCOMPARE(lines.mid(5, 4), (QStringList{QStringLiteral("Object Name: QueueRunner"),
                                           QStringLiteral("550 gone"), QString(), QString()}));
    // A message that looks like a reply is an error line like any other.
    QCOMPARE(h.log.errorLines().lines(), QStringList{QStringLiteral("550 gone")});
}

void TestStatusLog::eventSoundKinds_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("waveFile");
    QTest::addColumn<QStringList>("calls");
    const QString wav = QStringLiteral("/s/q.wav");
    QTest::newRow("none") << 0 << wav << QStringList{};
    QTest::newRow("asterisk") << 1 << wav << QStringList{QStringLiteral("playSystemSound:1")};
    QTest::newRow("beep") << 2 << wav << QStringList{QStringLiteral("beep")};
    QTest::newRow("exclamation") << 3 << wav << QStringList{QStringLiteral("playSystemSound:3")};
    QTest::newRow("question") << 4 << wav << QStringList{QStringLiteral("playSystemSound:4")};
    QTest::newRow("stop") << 5 << wav << QStringList{QStringLiteral("playSystemSound:5")};
    QTest::newRow("wave") << 6 << wav << QStringList{QStringLiteral("playWaveFile:/s/q.wav")};
    QTest::newRow("wave unset") << 6 << QString() << QStringList{};
    QTest::newRow("unknown") << 7 << wav << QStringList{};
    QTest::newRow("negative") << -1 << wav << QStringList{};
}

void TestStatusLog::eventSoundKinds() {
    QFETCH(int, kind);
    QFETCH(QString, waveFile);
    QFETCH(QStringList, calls);
    RecordingDesktopServices services;
    PlayEventSound(services, waveFile, static_cast<SoundKind>(kind));
    QCOMPARE(services.calls, calls);
}

QTEST_GUILESS_MAIN(TestStatusLog)
#include "test_statuslog.moc"
