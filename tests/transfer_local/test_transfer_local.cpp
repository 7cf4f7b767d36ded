// Downloads and uploads between a server and the local disk: trees both ways
// in both data modes, what happens to a local file that is there already,
// resume after a lost session, the direct upload and View File; and with a
// scripted server, listings whose names would lead out of the chosen folder.
#include "FakeScripts.h"
#include "FtpServerFixture.h"
#include "NetTestHelpers.h"
#include "RecordingDesktopServices.h"
#include "RemoteFiles.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "TwoSites.h"
#include "app/App.h"
#include "net/FtpSession.h"
#include "transfer/LocalTransfer.h"
#include "transfer/QueueRunner.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray ReadLocal(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

QByteArray RandomBytes(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& byte : bytes)
        byte = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// Every file under root, relative, sorted.
QStringList FilesUnder(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

// KORVANE_TEST_DUMP_LOG=1 shows a run's status lines.
void DumpLines(App& app) {
    const StatusLineStore& store = app.statusLog().lines();
    if (qEnvironmentVariableIsSet("KORVANE_TEST_DUMP_LOG"))
        for (int i = 0; i < store.count(); ++i)
            qWarning().noquote() << store.line(i).colour << store.line(i).text;
}

} // namespace

class TestTransferLocal : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void countdownAndQuestionTexts();
    void treesBothWays_data();
    void treesBothWays();
    void existingLocalFile_data();
    void existingLocalFile();
    void resumeAfterLostSession();
    void abortEndsTheDownload();
    void localUploadLandsInCurrentDirectory();
    void viewFile_data();
    void viewFile();
    void hostileNamesStayInsideTheFolder();

private:
    void startApp(const QByteArray& mainKeys, const QByteArray& options = "20");
    void enterFreshDirectories();
    QueueRunner::RunEnd runQueue();
    bool logged(const QString& text, Colour colour) const;
    bool sentLine(const QString& text) const;
    void select(Side& side, const QString& name);

    TwoSites m_sites;
    RecordingDesktopServices m_services;
    ScriptedUserPrompts m_prompts;
    std::unique_ptr<App> m_app;
    int m_dirs = 0;
};

void TestTransferLocal::initTestCase() {
    QString error;
    QVERIFY2(m_sites.startServers(error), qPrintable(error));
}

void TestTransferLocal::cleanup() {
    m_app.reset();
    m_prompts = ScriptedUserPrompts();
    m_services.calls.clear();
}

// options: the site's data connection ("1x" active, "2x" passive).
void TestTransferLocal::startApp(const QByteArray& mainKeys, const QByteArray& options) {
    m_app = m_sites.startConnectedApp(m_services, m_prompts, mainKeys, options);
    QVERIFY(m_app);
}

void TestTransferLocal::enterFreshDirectories() {
    const QString name =
        u"korvane-local-%1-%2"_s.arg(QCoreApplication::applicationPid()).arg(++m_dirs);
    for (Side* side : {&m_app->left(), &m_app->right()}) {
        const QString dir = side->currentPath() + name + u'/';
        side->session().MakeDir(dir);
        side->session().ChangeDir(dir);
        QCOMPARE(side->currentPath(), dir);
    }
}

QueueRunner::RunEnd TestTransferLocal::runQueue() {
    QSignalSpy ended(&m_app->queueRunner(), &QueueRunner::runEnded);
    m_app->queueCommands().TransferButtonRule();
    m_app->queueRunner().Transfer1Click();
    if (ended.count() != 1) {
        qWarning("the run did not end exactly once");
        return QueueRunner::RunEnd::UnknownEntry;
    }
    return ended.at(0).at(0).value<QueueRunner::RunEnd>();
}

bool TestTransferLocal::logged(const QString& text, Colour colour) const {
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = 0; i < store.count(); ++i)
        if (store.line(i).text.startsWith(text) && store.line(i).colour == colour)
            return true;
    return false;
}

// A command sent on either session, as the status window shows it.
bool TestTransferLocal::sentLine(const QString& text) const {
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = 0; i < store.count(); ++i)
        if (store.line(i).text == text &&
            (store.line(i).colour == clBlue || store.line(i).colour == clGreen))
            return true;
    return false;
}

void TestTransferLocal::select(Side& side, const QString& name) {
    const std::vector<DirEntry>& entries = side.listing().entries();
    for (size_t row = 0; row < entries.size(); ++row)
        if (entries[row].name == name) {
            side.listSelection().select(side.listing().index(int(row), 0),
                                        QItemSelectionModel::ClearAndSelect |
                                            QItemSelectionModel::Rows);
            return;
        }
    QFAIL(qPrintable(u"not listed: "_s + name));
}

void TestTransferLocal::countdownAndQuestionTexts() {
    FileExistsCountdown countdown;
    QCOMPARE(countdown.Tick(), u"Waiting 44 seconds."_s);
    for (int tick = 2; tick < FileExistsCountdown::StartSeconds; ++tick) {
        countdown.Tick();
        QVERIFY(!countdown.expired());
    }
    // The closing tick shows 0 and overwrites.
    QCOMPARE(countdown.Tick(), u"Waiting 0 seconds."_s);
    QVERIFY(countdown.expired());

    const FileExistsQuestion question{u"/home/u/a.bin"_s, 123456, u"2,048"_s, false};
    QCOMPARE(question.filenameText(), u"Filename: /home/u/a.bin"_s);
    QCOMPARE(question.localSizeText(QLocale(QLocale::English)), u"123,456 bytes"_s);
    QCOMPARE(question.remoteSizeLabel(), u"2,048 bytes"_s);
}

void TestTransferLocal::treesBothWays_data() {
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<bool>("remoteOnLeft");
    QTest::newRow("passive, left server") << QByteArray("20") << true;
    QTest::newRow("active, right server") << QByteArray("10") << false;
}

// A tree goes down from one server and the same tree up to the other; both
// arrive byte for byte, and the download shows its progress.
void TestTransferLocal::treesBothWays() {
    QFETCH(QByteArray, options);
    QFETCH(bool, remoteOnLeft);
    startApp({}, options);
    enterFreshDirectories();
    Side& source = remoteOnLeft ? m_app->left() : m_app->right();
    Side& destination = remoteOnLeft ? m_app->right() : m_app->left();
    const QString top = source.currentPath() + u"tree"_s;
    source.session().MakeDir(top);
    source.session().MakeDir(top + u"/sub"_s);
    const QByteArray big = RandomBytes(700 * 1024);
    const QByteArray small = RandomBytes(1000);
    QVERIFY(PutRemoteFile(source.session(), top + u"/big.bin"_s, big));
    QVERIFY(PutRemoteFile(source.session(), top + u"/sub/small.bin"_s, small));
    QVERIFY(PutRemoteFile(source.session(), top + u"/sub/empty"_s, {}));

    QTemporaryDir disk;
    QVERIFY(disk.isValid());
    m_app->queue().append(QueueEntry{top, disk.filePath(u"tree"_s), {}, 1,
                                     remoteOnLeft ? Direction::DownloadFromLeft
                                                  : Direction::DownloadFromRight});
    m_app->queue().append(QueueEntry{disk.filePath(u"tree/"_s), destination.currentPath(), {}, 1,
                                     remoteOnLeft ? Direction::UploadToRight
                                                  : Direction::UploadToLeft});
    QStringList panel;
    QObject::connect(&source, &Side::statusBarTextChanged, m_app.get(),
                     [&panel](const QString& text) { panel << text; });
    QCOMPARE(runQueue(), QueueRunner::RunEnd::Completed);

    QCOMPARE(FilesUnder(disk.path()),
             QStringList({u"tree/big.bin"_s, u"tree/sub/empty"_s, u"tree/sub/small.bin"_s}));
    QVERIFY(ReadLocal(disk.filePath(u"tree/big.bin"_s)) == big);
    QVERIFY(ReadLocal(disk.filePath(u"tree/sub/small.bin"_s)) == small);
    const QString up = destination.currentPath() + u"tree/"_s;
    QVERIFY(FetchRemoteFile(destination.session(), up + u"big.bin"_s) == big);
    QVERIFY(FetchRemoteFile(destination.session(), up + u"sub/small.bin"_s) == small);
    QCOMPARE(FetchRemoteFile(destination.session(), up + u"sub/empty"_s), QByteArray());
    QCOMPARE(m_app->runState().totals.files, 6);
    QCOMPARE(m_app->runState().abandoned, QStringList());
    QVERIFY2(panel.indexOf(QRegularExpression(u"^Receiving [\\d,.]+ of 716[,.]?800 .*"_s)) >= 0,
             qPrintable(panel.join(u'|')));
    QCOMPARE(panel.last(), u"Idle."_s);
}

void TestTransferLocal::existingLocalFile_data() {
    QTest::addColumn<int>("setting");
    QTest::addColumn<QList<FileExistsChoice>>("answers");
    QTest::addColumn<QString>("renameTo");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QByteArray>("renamedExpected");
    QTest::addColumn<bool>("rest");

    using C = FileExistsChoice;
    const QByteArray whole = "0123456789";
    const QByteArray resumed = "ABCD456789";
    const QByteArray kept = "ABCD";
    QTest::newRow("ask: overwrite") << 0 << QList{C::Overwrite} << QString() << whole
                                    << QByteArray() << false;
    QTest::newRow("ask: resume") << 0 << QList{C::Resume} << QString() << resumed << QByteArray()
                                 << true;
    QTest::newRow("ask: rename") << 0 << QList{C::Rename} << u"renamed.txt"_s << kept << whole
                                 << false;
    QTest::newRow("ask: rename cancelled")
        << 0 << QList{C::Rename} << QString() << whole << QByteArray() << false;
    QTest::newRow("ask: skip") << 0 << QList{C::Skip} << QString() << kept << QByteArray()
                               << false;
    QTest::newRow("overwrite") << 1 << QList<C>() << QString() << whole << QByteArray() << false;
    QTest::newRow("resume") << 2 << QList<C>() << QString() << resumed << QByteArray() << true;
    QTest::newRow("skip") << 3 << QList<C>() << QString() << kept << QByteArray() << false;
}

void TestTransferLocal::existingLocalFile() {
    QFETCH(int, setting);
    QFETCH(QList<FileExistsChoice>, answers);
    QFETCH(QString, renameTo);
    QFETCH(QByteArray, expected);
    QFETCH(QByteArray, renamedExpected);
    QFETCH(bool, rest);
    startApp("On Local Duplicate=" + QByteArray::number(setting) + "\r\n");
    enterFreshDirectories();
    Side& left = m_app->left();
    const QString remote = left.currentPath() + u"f.txt"_s;
    QVERIFY(PutRemoteFile(left.session(), remote, "0123456789"));
    QTemporaryDir disk;
    const QString local = disk.filePath(u"f.txt"_s);
    QVERIFY(WriteFile(local, "ABCD"));
    for (FileExistsChoice answer : answers)
        m_prompts.fileExistsAnswers.enqueue(answer);
    if (!renameTo.isEmpty())
        m_prompts.inputAnswers.enqueue(disk.filePath(renameTo));
    else if (answers.contains(FileExistsChoice::Rename))
        m_prompts.inputAnswers.enqueue(std::nullopt);

    left.session().Mode(FtpSession::TransferType::Image);
    const LocalTransfer::Result result =
        m_app->localTransfer().LocalDownload(SideId::Left, remote, false, local, u"10"_s);

    QCOMPARE(ReadLocal(local), expected);
    if (!renamedExpected.isEmpty()) {
        QCOMPARE(ReadLocal(disk.filePath(renameTo)), renamedExpected);
        QCOMPARE(result.localPath, disk.filePath(renameTo));
    }
    QCOMPARE(result.outcome, expected == "ABCD" && renamedExpected.isEmpty()
                                 ? LocalTransfer::Outcome::Skipped
                                 : LocalTransfer::Outcome::Done);
    QCOMPARE(sentLine(u"REST 4"_s), rest);
    // Only "ask" asks, with the local and the remote size.
    QCOMPARE(m_prompts.fileExistsQuestions.size(), setting == 0 ? 1 : 0);
    if (setting == 0) {
        QCOMPARE(m_prompts.fileExistsQuestions.first().localPath, local);
        QCOMPARE(m_prompts.fileExistsQuestions.first().localSize, 4);
        QCOMPARE(m_prompts.fileExistsQuestions.first().remoteSizeText, u"10"_s);
    }
    if (answers.contains(FileExistsChoice::Rename))
        QVERIFY(m_prompts.asked.contains(u"input:File Exists, Saving As|Enter New Filename"_s));
    // Without asking: the view command's download, and a reconnect's resume.
    QVERIFY(WriteFile(local, "WXYZ"));
    QCOMPARE(m_app->localTransfer().LocalDownload(SideId::Left, remote, true, local).outcome,
             LocalTransfer::Outcome::Done);
    QCOMPARE(ReadLocal(local), QByteArray("0123456789"));
    QVERIFY(WriteFile(local, "WXYZ"));
    m_app->runState().RetryCurrent = true;
    QCOMPARE(m_app->localTransfer().LocalDownload(SideId::Left, remote, false, local).outcome,
             LocalTransfer::Outcome::Done);
    QCOMPARE(ReadLocal(local), QByteArray("WXYZ456789"));
    QVERIFY(!m_app->runState().RetryCurrent);
    QCOMPARE(m_prompts.fileExistsQuestions.size(), setting == 0 ? 1 : 0);
}

// The left session drops in mid-download; the reconnect runs the queue again
// and the download goes on from the partial file's size.
void TestTransferLocal::resumeAfterLostSession() {
    m_app = m_sites.startApp(m_services, m_prompts, "ConnectTimeout=2\r\nRestoreResume=1\r\n");
    QVERIFY(m_app);
    m_app->connections().timerConnect().setInterval(10);
    FakeFtpServer server;
    QVERIFY(server.listen());
    ScriptLogin(server);
    ScriptPassiveList(server, "/src", "");
    server.expect("TYPE I", "200 binary");
    server.expect("PASV", FakeFtpServer::ReplyPassive);
    server.expect("RETR /src/f", [](FakeFtpServer& s, const QByteArray&) {
        s.send("150 sending");
        s.sendData("0123", false);
    });
    // The reconnect returns to the directory and resumes from 4 bytes.
    ScriptLogin(server);
    server.expect("CWD /src/", "250 ok");
    ScriptPassiveList(server, "/src", "");
    server.expect("TYPE I", "200 binary");
    server.expect("SIZE /src/f", "213 10");
    server.expect("REST 4", "350 restarting");
    server.expect("PASV", FakeFtpServer::ReplyPassive);
    server.expect("RETR /src/f", [](FakeFtpServer& s, const QByteArray&) {
        s.send("150 sending");
        s.sendData("456789");
        s.send("226 done");
    });
    ScriptPassiveList(server, "/src", "");
    ConnectLeftToFake(*m_app, server);
    QTemporaryDir disk;
    const QString local = disk.filePath(u"f"_s);
    m_app->queue().append(QueueEntry{u"/src/f"_s, local, u"10"_s, 3, Direction::DownloadFromLeft});
    // The session drops once the first bytes are on disk.
    QTimer drop;
    QObject::connect(&drop, &QTimer::timeout, &server, [&] {
        if (QFileInfo(local).size() == 4) {
            drop.stop();
            server.closeClient();
        }
    });
    drop.start(5);
    QSignalSpy ended(&m_app->queueRunner(), &QueueRunner::runEnded);
    m_app->queueCommands().TransferButtonRule();
    m_app->queueRunner().Transfer1Click();
    (void)QTest::qWaitFor([&] { return ended.count() == 2; }, 10000);
    DumpLines(*m_app);
    QCOMPARE(ended.count(), 2);
    QCOMPARE(ended.at(0).at(0).value<QueueRunner::RunEnd>(), QueueRunner::RunEnd::Stopped);
    QCOMPARE(ended.at(1).at(0).value<QueueRunner::RunEnd>(), QueueRunner::RunEnd::Completed);
    QVERIFY2(server.mismatches().isEmpty(), server.mismatches().join('\n'));
    QCOMPARE(ReadLocal(local), QByteArray("0123456789"));
    QVERIFY(m_app->queue().isEmpty());
    QVERIFY(m_prompts.fileExistsQuestions.isEmpty());
}

// The side's Abort during a download without end: the data connection goes,
// ABOR is sent, the counters start again and the entry stays queued.
void TestTransferLocal::abortEndsTheDownload() {
    m_app = m_sites.startApp(m_services, m_prompts, "ConnectTimeout=2\r\n");
    QVERIFY(m_app);
    FakeFtpServer server;
    QVERIFY(server.listen());
    ScriptLogin(server);
    ScriptPassiveList(server, "/src", "");
    server.expect("TYPE I", "200 binary");
    server.expect("PASV", FakeFtpServer::ReplyPassive);
    server.expect("RETR /src/endless", [](FakeFtpServer& s, const QByteArray&) {
        s.send("150 sending (1000000000 bytes)");
        s.streamData(-1);
    });
    server.expect("ABOR", "226 aborted");
    ScriptPassiveList(server, "/src", "");
    ConnectLeftToFake(*m_app, server);
    QTemporaryDir disk;
    const QString local = disk.filePath(u"endless"_s);
    m_app->queue().append(
        QueueEntry{u"/src/endless"_s, local, u"1,000,000,000"_s, 3, Direction::DownloadFromLeft});
    QTimer abort;
    QObject::connect(&abort, &QTimer::timeout, m_app.get(), [&] {
        if (m_app->runState().LocalBytes[0] > 100000) {
            abort.stop();
            m_app->Abort(SideId::Left);
            QCOMPARE(m_app->runState().LocalBytes[0], 0);
            QVERIFY(!m_app->transferTimer().isActive());
        }
    });
    abort.start(5);
    QCOMPARE(runQueue(), QueueRunner::RunEnd::Stopped);
    DumpLines(*m_app);
    QVERIFY2(server.mismatches().isEmpty(), server.mismatches().join('\n'));
    QVERIFY(server.received().contains("ABOR"));
    QCOMPARE(m_app->queue().count(), 1);
    QVERIFY(m_app->left().session().isConnected());
    QVERIFY(QFileInfo(local).size() > 100000);
    QCOMPARE(m_app->runState().totals.files, 0);
}

void TestTransferLocal::localUploadLandsInCurrentDirectory() {
    startApp({});
    enterFreshDirectories();
    Side& right = m_app->right();
    QTemporaryDir disk;
    const QByteArray content = RandomBytes(50000);
    QVERIFY(WriteFile(disk.filePath(u"up.bin"_s), content));
    m_prompts.fileAnswers.enqueue(disk.filePath(u"up.bin"_s));
    const int lines = m_app->statusLog().lines().count();
    m_app->localTransfer().UploadFile(SideId::Right);

    QVERIFY(FetchRemoteFile(right.session(), right.currentPath() + u"up.bin"_s) == content);
    // The list shows it at once; no totals, no "Transfer done: ".
    const std::vector<DirEntry>& entries = right.listing().entries();
    QVERIFY(std::any_of(entries.begin(), entries.end(),
                        [](const DirEntry& e) { return e.name == u"up.bin"; }));
    QCOMPARE(m_app->runState().totals.files, 0);
    for (int i = lines; i < m_app->statusLog().lines().count(); ++i)
        QVERIFY(!m_app->statusLog().lines().line(i).text.startsWith(u"Transfer done: "_s));
    QCOMPARE(right.statusBarText(), u"Idle."_s);
    QVERIFY(!right.state().Busy);
    QVERIFY(!m_app->runState().LocalBusy);
    QVERIFY(!m_app->transferTimer().isActive());

    // Cancelled: nothing is sent.
    const int before = m_app->statusLog().lines().count();
    m_app->localTransfer().UploadFile(SideId::Right);
    QCOMPARE(m_app->statusLog().lines().count(), before);
}

void TestTransferLocal::viewFile_data() {
    QTest::addColumn<bool>("useShell");
    QTest::newRow("by association") << true;
    QTest::newRow("with the file viewer") << false;
}

void TestTransferLocal::viewFile() {
    QFETCH(bool, useShell);
    QTemporaryDir downloads;
    startApp("Download Directory=" + downloads.path().toUtf8() + "\r\nView=" +
             QByteArray(useShell ? "1" : "0") + "\r\nFile Viewer=/usr/bin/viewer\r\n");
    enterFreshDirectories();
    Side& left = m_app->left();
    QVERIFY(PutRemoteFile(left.session(), left.currentPath() + u"read me.txt"_s, "hello"));
    QVERIFY(WriteFile(downloads.filePath(u"read me.txt"_s), "old copy"));
    m_app->listing().RefreshDirectory(SideId::Left, false);
    select(left, u"read me.txt"_s);
    QSignalSpy listEnabled(&left, &Side::listEnabledChanged);
    m_app->localTransfer().ViewFile(SideId::Left);

    const QString local = downloads.filePath(u"read me.txt"_s);
    // An older copy is replaced without a question.
    QCOMPARE(ReadLocal(local), QByteArray("hello"));
    QVERIFY(m_prompts.fileExistsQuestions.isEmpty());
    QCOMPARE(m_services.calls, QStringList(useShell ? u"openFile:"_s + local
                                                    : u"startProgram:/usr/bin/viewer "_s + local));
    QCOMPARE(listEnabled.count(), 2);
    QVERIFY(left.listEnabled());
    QVERIFY(!left.state().Busy);
}

// A hostile listing during a recursive download: names that are not one
// plain component are refused, and so are local targets that are links.
void TestTransferLocal::hostileNamesStayInsideTheFolder() {
    m_app = m_sites.startApp(m_services, m_prompts, "ConnectTimeout=2\r\n");
    QVERIFY(m_app);
    QTemporaryDir scratch;
    const QString disk = scratch.filePath(u"chosen"_s);
    const QString outside = scratch.filePath(u"outside"_s);
    QVERIFY(QDir().mkpath(disk + u"/d"_s) && QDir().mkpath(outside));
    QVERIFY(WriteFile(outside + u"/victim"_s, "keep"));
    QVERIFY(QFile::link(outside + u"/victim"_s, disk + u"/d/link.txt"_s));
    QVERIFY(QFile::link(outside, disk + u"/d/linkdir"_s));

    FakeFtpServer server;
    QVERIFY(server.listen());
    ScriptLogin(server);
    ScriptPassiveList(server, "/src", "");
    server.expect("CWD /src/d/", "250 ok");
    ScriptPassiveList(server, "/src/d",
                      "drwxr-xr-x 2 u g 4096 Jan 1 2020 ..\r\n"
                      "-rw-r--r-- 1 u g 3 Jan 1 2020 ../x\r\n"
                      "-rw-r--r-- 1 u g 3 Jan 1 2020 a/b\r\n"
                      "-rw-r--r-- 1 u g 3 Jan 1 2020 /etc/passwd\r\n"
                      "-rw-r--r-- 1 u g 3 Jan 1 2020 link.txt\r\n"
                      "drwxr-xr-x 2 u g 4096 Jan 1 2020 linkdir\r\n"
                      "-rw-r--r-- 1 u g 2 Jan 1 2020 ok.txt\r\n");
    server.expect("PWD", "257 \"/src/d\"");
    // link.txt: refused before anything is asked of the server.
    server.expect("TYPE I", "200 binary");
    server.expect("TYPE I", "200 binary");
    server.expect("PASV", FakeFtpServer::ReplyPassive);
    server.expect("RETR /src/d/ok.txt", [](FakeFtpServer& s, const QByteArray&) {
        s.send("150 sending");
        s.sendData("ok");
        s.send("226 done");
    });
    // The run ends where it started.
    server.expect("CWD /src/", "250 ok");
    ScriptPassiveList(server, "/src", "");
    ConnectLeftToFake(*m_app, server);
    QVERIFY(m_app->left().state().LoggedIn);
    m_app->queue().append(
        QueueEntry{u"/src/d"_s, disk + u"/d"_s, {}, 1, Direction::DownloadFromLeft});
    runQueue();
    DumpLines(*m_app);
    QVERIFY2(server.mismatches().isEmpty(), server.mismatches().join('\n'));
    QCOMPARE(ReadLocal(outside + u"/victim"_s), QByteArray("keep"));
    QCOMPARE(FilesUnder(outside), QStringList(u"victim"_s));
    QCOMPARE(ReadLocal(disk + u"/d/ok.txt"_s), QByteArray("ok"));
    QVERIFY(logged(u"Directory Skipped: "_s + disk + u"/d/linkdir (a link"_s, clRed));
    QVERIFY(logged(u"Transfer failed: link.txt: a link is in its place"_s, clRed));
    for (const QString& name : {u"../x"_s, u"a/b"_s, u"/etc/passwd"_s})
        QVERIFY2(logged(u"File Skipped: "_s + name, clRed), qPrintable(name));
}

QTEST_GUILESS_MAIN(TestTransferLocal)
#include "test_transfer_local.moc"
