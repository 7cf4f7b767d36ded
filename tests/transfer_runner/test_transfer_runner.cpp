// The queue runner against two real servers: a tree copied depth-first and
// byte for byte, empty directories, the clean-up of directories that got
// nothing, Stop during a file, the end of a run, downloads and uploads of
// folders; and against scripted servers, the restart after a lost session.
#include "FakeFtpServer.h"
#include "FakeScripts.h"
#include "RemoteFiles.h"
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TwoSites.h"
#include "app/App.h"
#include "net/FtpSession.h"
#include "transfer/QueueRunner.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestTransferRunner : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void copiesTreeDepthFirst();
    void emptyDirectory_data();
    void emptyDirectory();
    void cleanUpRemovesDirectoriesThatGotNothing();
    void stopLetsTheFileFinish();
    void disconnectWhenDone();
    void siteToSiteNeedsBothSides();
    void downloadsAndUploadsFolders();
    void lostSessionRestartsTheRun();
    void arrivedFileLeavesWhenTheSourceDrops();

private:
    // An app that reconnects a lost site at once, and two fakes listening.
    bool startWithFakes(FakeFtpServer& source, FakeFtpServer& target);
    void startApp(const QByteArray& mainKeys, const QByteArray& skipList = {});
    // A fresh directory on each server, both sides in it.
    void enterFreshDirectories();
    QueueRunner::RunEnd runQueue();
    // Commands of these kinds as "L MKD name" / "R RETR name", in order;
    // paths shortened to their last component.
    QStringList sent(const QStringList& kinds, int from = 0) const;
    bool logged(const QString& prefix, Colour colour) const;
    int lineCount() const { return m_app->statusLog().lines().count(); }

    TwoSites m_sites;
    RecordingDesktopServices m_services;
    ScriptedUserPrompts m_prompts;
    std::unique_ptr<App> m_app;
    QString m_leftDir;
    QString m_rightDir;
    int m_dirs = 0;
};

void TestTransferRunner::initTestCase() {
    QString error;
    QVERIFY2(m_sites.startServers(error), qPrintable(error));
}

void TestTransferRunner::cleanup() {
    m_app.reset();
}

void TestTransferRunner::startApp(const QByteArray& mainKeys, const QByteArray& skipList) {
    if (!skipList.isEmpty())
        m_sites.addDataFile(u"skiplist.dat"_s, "[_Skip_]\r\n" + skipList);
    m_app = m_sites.startConnectedApp(m_services, m_prompts, mainKeys);
    QVERIFY(m_app);
}

bool TestTransferRunner::startWithFakes(FakeFtpServer& source, FakeFtpServer& target) {
    m_app = m_sites.startApp(m_services, m_prompts, "ConnectTimeout=2\r\nRestoreResume=1\r\n");
    if (!m_app)
        return false;
    m_app->connections().timerConnect().setInterval(10);
    return source.listen() && target.listen();
}

void TestTransferRunner::enterFreshDirectories() {
    const QString name = u"korvane-run-%1-%2"_s.arg(QCoreApplication::applicationPid()).arg(++m_dirs);
    for (Side* side : {&m_app->left(), &m_app->right()}) {
        const QString dir = side->currentPath() + name + u'/';
        side->session().MakeDir(dir);
        side->session().ChangeDir(dir);
        QCOMPARE(side->currentPath(), dir);
    }
    m_leftDir = m_app->left().currentPath();
    m_rightDir = m_app->right().currentPath();
}



// KORVANE_TEST_DUMP_LOG=1 shows a run's status lines when a case fails.
static void DumpLines(App& app) {
    const StatusLineStore& store = app.statusLog().lines();
    if (qEnvironmentVariableIsSet("KORVANE_TEST_DUMP_LOG"))
        for (int i = 0; i < store.count(); ++i)
            qWarning().noquote() << store.line(i).colour << store.line(i).text;
}

QueueRunner::RunEnd TestTransferRunner::runQueue() {
    QSignalSpy ended(&m_app->queueRunner(), &QueueRunner::runEnded);
    m_app->queueCommands().TransferButtonRule();
    m_app->queueRunner().Transfer1Click();
    DumpLines(*m_app);
    if (ended.count() != 1) {
        qWarning("the run did not end exactly once");
        return QueueRunner::RunEnd::UnknownEntry;
    }
    return ended.at(0).at(0).value<QueueRunner::RunEnd>();
}

QStringList TestTransferRunner::sent(const QStringList& kinds, int from) const {
    QStringList result;
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = from; i < store.count(); ++i) {
        const StatusLine& line = store.line(i);
        const QString kind = line.text.section(u' ', 0, 0);
        if (!kinds.contains(kind) || (line.colour != clBlue && line.colour != clGreen))
            continue;
        QString argument = line.text.section(u' ', 1);
        while (argument.endsWith(u'/'))
            argument.chop(1);
        result << (line.colour == clBlue ? u"L "_s : u"R "_s) + kind + u' ' +
                      argument.section(u'/', -1);
    }
    return result;
}

bool TestTransferRunner::logged(const QString& prefix, Colour colour) const {
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = 0; i < store.count(); ++i)
        if (store.line(i).text.startsWith(prefix) && store.line(i).colour == colour)
            return true;
    return false;
}

void TestTransferRunner::copiesTreeDepthFirst() {
    // Directories mixed with files: the listing shows the files first.
    startApp("Directories=1\r\n");
    enterFreshDirectories();
    Side& left = m_app->left();
    Side& right = m_app->right();
    left.session().MakeDir(m_leftDir + u"tree"_s);
    left.session().MakeDir(m_leftDir + u"tree/sub"_s);
    QByteArray big(200'000, Qt::Uninitialized);
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char(i * 7 + i / 251);
    QVERIFY(PutRemoteFile(left.session(), m_leftDir + u"tree/a.bin"_s, big));
    QVERIFY(PutRemoteFile(left.session(), m_leftDir + u"tree/b.txt"_s, "bee"));
    QVERIFY(PutRemoteFile(left.session(), m_leftDir + u"tree/sub/c.txt"_s, "sea"));
    m_app->queue().append(
        QueueEntry{m_leftDir + u"tree"_s, m_rightDir, {}, 1, Direction::FxpLeftToRight});
    const int before = lineCount();

    QCOMPARE(runQueue(), QueueRunner::RunEnd::Completed);
    // Into the source, the new directory made and entered, its files, then
    // the subdirectory the same way.
    QCOMPARE(sent({u"CWD"_s, u"MKD"_s, u"RETR"_s}, before),
             (QStringList{u"L CWD tree"_s, u"R MKD tree"_s, u"R CWD tree"_s, u"L RETR a.bin"_s,
                          u"L RETR b.txt"_s, u"L CWD sub"_s, u"R MKD sub"_s, u"R CWD sub"_s,
                          u"L RETR c.txt"_s, u"L CWD "_s + m_leftDir.section(u'/', -2, -2),
                          u"R CWD "_s + m_rightDir.section(u'/', -2, -2)}));
    // The next file's PASV goes out while the target is asked for the size
    // of one, only when that file follows in the same directories.
    const QStringList exchanges = sent({u"PASV"_s, u"RETR"_s, u"SIZE"_s, u"LIST"_s}, before);
    const qsizetype first = exchanges.indexOf(u"L RETR a.bin"_s);
    QCOMPARE(exchanges.mid(first, 8),
             (QStringList{u"L RETR a.bin"_s, u"L PASV "_s, u"R SIZE a.bin"_s, u"L RETR b.txt"_s,
                          u"R SIZE b.txt"_s, u"L PASV "_s, u"L LIST "_s, u"R PASV "_s}));
    QVERIFY(m_app->queue().isEmpty());
    QCOMPARE(FetchRemoteFile(right.session(), m_rightDir + u"tree/a.bin"_s), big);
    QCOMPARE(FetchRemoteFile(right.session(), m_rightDir + u"tree/b.txt"_s), QByteArray("bee"));
    QCOMPARE(FetchRemoteFile(right.session(), m_rightDir + u"tree/sub/c.txt"_s), QByteArray("sea"));
    QVERIFY(logged(u"Queue done: Transfered 3 Files  Total Size: 200,006  bytes in "_s, clMaroon));
    // Idle: both sides are back where they started, free for the next run.
    QCOMPARE(left.currentPath(), m_leftDir);
    QCOMPARE(right.currentPath(), m_rightDir);
    QVERIFY(!left.state().Busy && !right.state().Busy);
    QVERIFY(!m_app->runState().runActive(SideId::Left));
    QVERIFY(!left.button(SideButton::Stop).enabled);
    QVERIFY(m_app->queueRunner().queueMenuTransferEnabled());
    QCOMPARE(m_app->title(), u"Korvane"_s);
    QCOMPARE(m_app->runState().abandoned, QStringList());
    // The statistics the run held back are on disk once it ended.
    QFile stats(m_app->paths().filePath(u"Stats.dat"_s));
    QVERIFY(stats.open(QIODevice::ReadOnly));
    const QByteArray counted = stats.readAll();
    QVERIFY2(counted.contains("Total Recv Files=3\r\nTotal Recv Bytes=200006\r\n"),
             counted.constData());
    QVERIFY(counted.contains("Total Sent Files=3\r\n"));
}

void TestTransferRunner::emptyDirectory_data() {
    QTest::addColumn<bool>("skipEmpty");
    QTest::newRow("Skip Empty Dirs on") << true;
    QTest::newRow("Skip Empty Dirs off") << false;
}

void TestTransferRunner::emptyDirectory() {
    QFETCH(bool, skipEmpty);
    startApp(skipEmpty ? "Skip Empty Dirs=1\r\n" : "Skip Empty Dirs=0\r\n");
    enterFreshDirectories();
    m_app->left().session().MakeDir(m_leftDir + u"hollow"_s);
    m_app->queue().append(
        QueueEntry{m_leftDir + u"hollow"_s, m_rightDir, {}, 1, Direction::FxpLeftToRight});
    const int before = lineCount();
    QCOMPARE(runQueue(), QueueRunner::RunEnd::Completed);
    QCOMPARE(logged(u"Empty Dir: hollow"_s, clPurple), skipEmpty);
    QCOMPARE(sent({u"MKD"_s}, before).size(), skipEmpty ? 0 : 1);
    Side& right = m_app->right();
    right.session().ChangeDir(m_rightDir + u"hollow/"_s);
    QCOMPARE(FtpReplies::IsErrorReply(right.session().lastReply()), skipEmpty);
}

void TestTransferRunner::cleanUpRemovesDirectoriesThatGotNothing() {
    startApp("CleanUp=1\r\nSkip Empty Dirs=0\r\nSkip=1\r\nSkip File=1\r\n", "s0=*.nfo\r\n");
    enterFreshDirectories();
    Side& left = m_app->left();
    Side& right = m_app->right();
    // "skipped" holds only what the skip list passes over: made, then
    // removed once the run moves on. "present" holds a file the
    // destination has already: skipping it counts, so it stays. "last"
    // gets nothing and is removed at the end of the queue.
    for (const QString& dir : {u"skipped"_s, u"present"_s, u"last"_s})
        left.session().MakeDir(m_leftDir + dir);
    QVERIFY(PutRemoteFile(left.session(), m_leftDir + u"skipped/info.nfo"_s, "nfo"));
    QVERIFY(PutRemoteFile(left.session(), m_leftDir + u"present/kept.txt"_s, "new"));
    QVERIFY(PutRemoteFile(left.session(), m_leftDir + u"last/also.nfo"_s, "nfo"));
    right.session().MakeDir(m_rightDir + u"present"_s);
    QVERIFY(PutRemoteFile(right.session(), m_rightDir + u"present/KEPT.TXT"_s, "old"));
    for (const QString& dir : {u"skipped"_s, u"present"_s, u"last"_s})
        m_app->queue().append(
            QueueEntry{m_leftDir + dir, m_rightDir, {}, 1, Direction::FxpLeftToRight});
    const int before = lineCount();

    QCOMPARE(runQueue(), QueueRunner::RunEnd::Completed);
    QCOMPARE(sent({u"MKD"_s, u"RMD"_s}, before),
             (QStringList{u"R MKD skipped"_s, u"R RMD skipped"_s, u"R MKD present"_s,
                          u"R MKD last"_s, u"R RMD last"_s}));
    QCOMPARE(FetchRemoteFile(right.session(), m_rightDir + u"present/KEPT.TXT"_s), QByteArray("old"));
    right.session().ChangeDir(m_rightDir + u"skipped/"_s);
    QVERIFY(FtpReplies::IsErrorReply(right.session().lastReply()));
}

void TestTransferRunner::stopLetsTheFileFinish() {
    startApp({});
    enterFreshDirectories();
    Side& left = m_app->left();
    for (const QString& name : {u"one"_s, u"two"_s, u"three"_s, u"four"_s}) {
        QVERIFY(PutRemoteFile(left.session(), m_leftDir + name, name.toLatin1()));
        m_app->queue().append(QueueEntry{m_leftDir + name, m_rightDir + name, u"3"_s, 3,
                                         Direction::FxpLeftToRight});
    }
    // Stop is pressed while the second file moves.
    QObject::connect(&m_app->statusLog().lines(), &StatusLineStore::lineAppended, m_app.get(),
                     [this](int index) {
                         if (m_app->statusLog().lines().line(index).text == u"RETR two"_s)
                             m_app->queueRunner().AbortClick();
                     });
    QCOMPARE(runQueue(), QueueRunner::RunEnd::Stopped);
    QCOMPARE(FetchRemoteFile(m_app->right().session(), m_rightDir + u"two"_s), QByteArray("two"));
    QVERIFY(logged(u"Action STOPPED!"_s, clRed));
    QVERIFY(logged(u"Transfered 2 Files  Total Size: "_s, clMaroon));
    QCOMPARE(m_app->queue().count(), 2);
    QCOMPARE(m_app->queue().entry(0).SourcePath, m_leftDir + u"three"_s);
    // The sides are free; the run may be resumed by a reconnect.
    QVERIFY(!left.state().Busy && !m_app->right().state().Busy);
    QVERIFY(m_app->runState().runActive(SideId::Left));
    QVERIFY(left.button(SideButton::Transfer).enabled);
    QVERIFY(m_app->queueCommands()
                .MenuState({}, m_app->queueRunner().queueMenuTransferEnabled())
                .transfer);
}

void TestTransferRunner::disconnectWhenDone() {
    startApp({});
    enterFreshDirectories();
    m_app->setOnCompleteIdle(false);
    QVERIFY(PutRemoteFile(m_app->left().session(), m_leftDir + u"only"_s, "1"));
    // The size reported is the one the source pane lists.
    m_app->listing().RefreshDirectory(SideId::Left, false);
    m_app->queue().append(QueueEntry{m_leftDir + u"only"_s, m_rightDir + u"only"_s, u"1"_s, 3,
                                     Direction::FxpLeftToRight});
    const int before = lineCount();
    QCOMPARE(runQueue(), QueueRunner::RunEnd::Completed);
    // One file: its own line, no queue summary.
    QVERIFY(logged(u"Transfer done: only 1 bytes in 00:01 "_s, clMaroon));
    QVERIFY(!logged(u"Queue done: "_s, clMaroon));
    QVERIFY(logged(u"Transfers Done, Logging off Sites"_s, clFuchsia));
    QCOMPARE(sent({u"QUIT"_s}, before).size(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(!m_app->left().session().isConnected() &&
                                 !m_app->right().session().isConnected(),
                             5000);
    QVERIFY(logged(u"Logged off: Alpha"_s, clBlue));
}

void TestTransferRunner::siteToSiteNeedsBothSides() {
    startApp({});
    enterFreshDirectories();
    m_app->queue().append(QueueEntry{m_leftDir + u"x"_s, m_rightDir + u"x"_s, u"1"_s, 3,
                                     Direction::FxpLeftToRight});
    QSignalSpy ended(&m_app->queueRunner(), &QueueRunner::runEnded);
    // No run while a side is busy, the queue is empty or a button is off.
    m_app->queueCommands().TransferButtonRule();
    m_app->left().state().Busy = true;
    m_app->queueRunner().Transfer1Click();
    m_app->left().state().Busy = false;
    m_app->right().setButtonEnabled(SideButton::Transfer, false);
    m_app->queueRunner().Transfer1Click();
    QCOMPARE(ended.count(), 0);
    m_app->right().session().CloseSocket();
    QTRY_VERIFY(!m_app->right().session().isConnected());
    // The buttons say "go" although a side went away meanwhile.
    m_app->left().setButtonEnabled(SideButton::Transfer, true);
    m_app->right().setButtonEnabled(SideButton::Transfer, true);
    m_app->queueRunner().Transfer1Click();
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).value<QueueRunner::RunEnd>(), QueueRunner::RunEnd::NotConnected);
    QVERIFY(logged(u"Error: Not Connected!"_s, clRed));
    QCOMPARE(m_app->queue().count(), 1);
    QVERIFY(m_app->left().button(SideButton::Transfer).enabled);
}

void TestTransferRunner::downloadsAndUploadsFolders() {
    startApp({});
    enterFreshDirectories();
    Side& left = m_app->left();
    Side& right = m_app->right();
    // Download: a directory with subdirectories A and B.
    left.session().MakeDir(m_leftDir + u"down"_s);
    left.session().MakeDir(m_leftDir + u"down/A"_s);
    left.session().MakeDir(m_leftDir + u"down/B"_s);
    QVERIFY(PutRemoteFile(left.session(), m_leftDir + u"down/top.txt"_s, "top"));
    QVERIFY(PutRemoteFile(left.session(), m_leftDir + u"down/A/a.txt"_s, "in a"));
    QVERIFY(PutRemoteFile(left.session(), m_leftDir + u"down/B/b.txt"_s, "in b"));
    QTemporaryDir disk;
    QVERIFY(disk.isValid());
    m_app->queue().append(QueueEntry{m_leftDir + u"down"_s, disk.filePath(u"down"_s), {}, 1,
                                     Direction::DownloadFromLeft});
    // Upload: a local folder with a file and a subfolder, to the right server.
    QDir(disk.path()).mkpath(u"up/inner"_s);
    for (auto [path, text] : {std::pair{u"up/f.txt"_s, "eff"}, std::pair{u"up/inner/g.txt"_s, "gee"}}) {
        QFile file(disk.filePath(path));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == 3);
    }
    m_app->queue().append(QueueEntry{disk.filePath(u"up/"_s), m_rightDir, {}, 1,
                                     Direction::UploadToRight});

    QStringList rightPanel;
    QObject::connect(&right, &Side::statusBarTextChanged, m_app.get(),
                     [&rightPanel](const QString& text) { rightPanel << text; });
    QCOMPARE(runQueue(), QueueRunner::RunEnd::Completed);
    // An upload's progress shows in its side's panel, then "Idle.".
    const qsizetype progress = rightPanel.indexOf(
        QRegularExpression(uR"(^Sending 3 of 3   \([\d.,]+ k/sec\)  100%   Remain: 00:00$)"_s));
    QVERIFY2(progress >= 0, qPrintable(rightPanel.join(u'|')));
    QCOMPARE(rightPanel.at(progress + 1), u"Idle."_s);
    for (auto [path, text] : {std::pair{u"down/top.txt"_s, "top"}, std::pair{u"down/A/a.txt"_s, "in a"},
                              std::pair{u"down/B/b.txt"_s, "in b"}}) {
        QFile file(disk.filePath(path));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
        QCOMPARE(file.readAll(), QByteArray(text));
    }
    QCOMPARE(FetchRemoteFile(right.session(), m_rightDir + u"up/f.txt"_s), QByteArray("eff"));
    QCOMPARE(FetchRemoteFile(right.session(), m_rightDir + u"up/inner/g.txt"_s), QByteArray("gee"));
    QVERIFY(logged(u"Queue done: Transfered 5 Files  Total Size: 17  bytes in "_s, clMaroon));
    QCOMPARE(m_app->runState().abandoned, QStringList());
}

void TestTransferRunner::lostSessionRestartsTheRun() {
    FakeFtpServer source;
    FakeFtpServer target;
    QVERIFY(startWithFakes(source, target));
    auto exchange = [](FakeFtpServer& src, FakeFtpServer& dst, bool dropSource) {
        // A new login starts in the server's default type; a session that
        // lived on is still binary and is not asked again.
        src.expect("TYPE I", "200 binary");
        if (dropSource)
            dst.expect("TYPE I", "200 binary");
        ScriptFxpStart(src, dst, "f");
        if (dropSource) {
            src.expect("RETR f", [](FakeFtpServer& s, const QByteArray&) {
                s.send("150 sending");
                s.closeClient();
            });
            // The destination's part is given up.
            dst.expect("ABOR", "226 aborted");
        } else {
            ScriptFxpArrives(src, dst, "f");
        }
    };
    ScriptLoginAt(source, "/src");
    ScriptLoginAt(target, "/dst");
    exchange(source, target, true);
    // The reconnect enters the directory the side showed and tries again.
    ScriptReloginAt(source, "/src");
    exchange(source, target, false);
    // Done: both sides are refreshed where they are.
    source.expect("PWD", "257 \"/src\"");
    target.expect("PWD", "257 \"/dst\"");
    ConnectToFakes(*m_app, source, target);
    m_app->queue().append(QueueEntry{u"/src/f"_s, u"/dst/f"_s, u"10"_s, 3, Direction::FxpLeftToRight});
    QSignalSpy ended(&m_app->queueRunner(), &QueueRunner::runEnded);
    QCOMPARE(runQueue(), QueueRunner::RunEnd::Stopped);
    // The cut file stays at the head; the reconnect runs the queue again.
    QCOMPARE(m_app->queue().count(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 10000);
    QCOMPARE(ended.at(1).at(0).value<QueueRunner::RunEnd>(), QueueRunner::RunEnd::Completed);
    QVERIFY2(source.mismatches().isEmpty() && target.mismatches().isEmpty(),
             (source.mismatches() + target.mismatches()).join('\n'));
    QVERIFY(m_app->queue().isEmpty());
    QCOMPARE(m_app->runState().totals.files, 1);
    QVERIFY(!m_app->runState().RetryCurrent);
}

// The source drops while it answers the next file's PASV, sent as the
// target is asked for the size: the file before arrived whole, so it leaves
// the queue, is reported with its size, and is not copied again.
void TestTransferRunner::arrivedFileLeavesWhenTheSourceDrops() {
    FakeFtpServer source;
    FakeFtpServer target;
    QVERIFY(startWithFakes(source, target));
    ScriptLoginAt(source, "/src");
    ScriptLoginAt(target, "/dst");
    for (FakeFtpServer* fake : {&source, &target})
        fake->expect("TYPE I", "200 binary");
    ScriptFxpStart(source, target, "f");
    source.expect("RETR f", [&target](FakeFtpServer& s, const QByteArray&) {
        s.send("150 sending");
        s.send("226 sent");
        target.sendAfterAnswer("STOR f", "226 stored");
    });
    target.expect("SIZE f", "213 10");
    source.expect("PASV", [](FakeFtpServer& s, const QByteArray&) { s.closeClient(); });
    ScriptReloginAt(source, "/src");
    source.expect("TYPE I", "200 binary");
    ScriptFxpStart(source, target, "g");
    ScriptFxpArrives(source, target, "g");
    source.expect("PWD", "257 \"/src\"");
    target.expect("PWD", "257 \"/dst\"");
    ConnectToFakes(*m_app, source, target);
    ShowFiles(*m_app, SideId::Left, {u"f"_s, u"g"_s}, 10);
    for (const char* name : {"f", "g"})
        m_app->queue().append(QueueEntry{u"/src/"_s + QLatin1String(name),
                                         u"/dst/"_s + QLatin1String(name), u"10"_s, 3,
                                         Direction::FxpLeftToRight});
    QSignalSpy ended(&m_app->queueRunner(), &QueueRunner::runEnded);
    runQueue();
    QTRY_COMPARE_WITH_TIMEOUT(ended.count(), 2, 10000);
    QCOMPARE(ended.at(1).at(0).value<QueueRunner::RunEnd>(), QueueRunner::RunEnd::Completed);
    QVERIFY2(source.mismatches().isEmpty() && target.mismatches().isEmpty(),
             (source.mismatches() + target.mismatches()).join('\n'));
    QVERIFY(m_app->queue().isEmpty());
    QCOMPARE(source.received().count("RETR f"), 1);
    QVERIFY(logged(u"Transfer done: f 10 bytes in "_s, clMaroon));
}

QTEST_GUILESS_MAIN(TestTransferRunner)
#include "test_transfer_runner.moc"
