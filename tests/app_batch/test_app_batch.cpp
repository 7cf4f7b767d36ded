// The unattended run as users start it: the real program, two servers, a
// queue file, and the exit code telling success from failure.
#include "FakeFtpServer.h"
#include "FakeScripts.h"
#include "FtpServerFixture.h"
#include "RemoteFiles.h"
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"
#include "net/FtpSession.h"
#include "sites/SiteStorage.h"
#include "transfer/QueueFile.h"

#include <QProcess>
#include <QSet>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestAppBatch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void readsItsOptions();
    void copiesTreeAndExitsZero();
    void failures_data();
    void failures();
    void siteLostWithAFailedFileComesBack_data();
    void siteLostWithAFailedFileComesBack();

private:
    struct Result {
        int exitCode = -1;
        QString out;
        QString err;
    };
    // The program's data folder with both servers saved as "Alpha" and "Beta".
    void writeDataDir(const QString& rightPassword = {});
    Result runProgram(const QStringList& arguments);

    std::unique_ptr<FtpServerFixture> m_a;
    std::unique_ptr<FtpServerFixture> m_b;
    std::unique_ptr<TempDataDir> m_data;
    std::unique_ptr<TempDataDir> m_setupDir;
    RecordingDesktopServices m_services;
    ScriptedUserPrompts m_prompts;
    // Sets the servers up and looks at the results, as another client would.
    std::unique_ptr<App> m_setup;
    QString m_leftDir;
    QString m_rightDir;
};

void TestAppBatch::initTestCase() {
    m_a = std::make_unique<FtpServerFixture>(FtpServerFixture::Slot::A);
    m_b = std::make_unique<FtpServerFixture>(FtpServerFixture::Slot::B);
    m_a->setListenHost(u"127.0.0.2"_s);
    m_b->setListenHost(u"127.0.0.3"_s);
    QVERIFY2(m_a->start(), qPrintable(m_a->errorString()));
    QVERIFY2(m_b->start(), qPrintable(m_b->errorString()));
    m_setupDir = std::make_unique<TempDataDir>();
    QVERIFY(m_setupDir->writeFile(u"Korvane.ini"_s, "[_Main_]\r\nConnectTimeout=10\r\n"));
    m_setup = std::make_unique<App>(DataPaths(m_setupDir->path()), m_services, m_prompts);
    m_setup->create();
    const FtpServerFixture* servers[] = {m_a.get(), m_b.get()};
    const QString name = u"korvane-batch-%1"_s.arg(QCoreApplication::applicationPid());
    for (SideId id : {SideId::Left, SideId::Right}) {
        const FtpServerFixture& s = *servers[id == SideId::Left ? 0 : 1];
        m_setup->connections().ConnectToSite({u"setup"_s, s.host(), QString::number(s.port()),
                                              s.user(), s.password(), u"20"_s, s.baseDir()},
                                             id);
        Side& side = m_setup->side(id);
        QVERIFY(side.state().LoggedIn);
        const QString dir = side.currentPath() + name + u'/';
        side.session().MakeDir(dir);
        (id == SideId::Left ? m_leftDir : m_rightDir) = dir;
    }
}

void TestAppBatch::cleanupTestCase() {
    m_setup.reset();
}

void TestAppBatch::writeDataDir(const QString& rightPassword) {
    m_data = std::make_unique<TempDataDir>();
    QVERIFY(m_data->writeFile(u"Korvane.ini"_s,
                              "[_Main_]\r\nConnectTimeout=10\r\nRetryCount=0\r\nRetryDelay=1\r\n"));
    SiteStorage sites(m_data->filePath(u"Korvane.ini"_s));
    const FtpServerFixture* servers[] = {m_a.get(), m_b.get()};
    for (int i = 0; i < 2; ++i) {
        SiteRecord site;
        site.name = i == 0 ? u"Alpha"_s : u"Beta"_s;
        site.host = servers[i]->host();
        site.port = QString::number(servers[i]->port());
        site.user = servers[i]->user();
        site.password = i == 1 && !rightPassword.isEmpty() ? rightPassword : servers[i]->password();
        site.remotePath = i == 0 ? m_leftDir : m_rightDir;
        site.options = u"20"_s;
        QVERIFY(sites.SaveSite(site));
    }
}

TestAppBatch::Result TestAppBatch::runProgram(const QStringList& arguments) {
    QProcess program;
    program.start(QStringLiteral(KORVANE_EXE),
                  QStringList{u"-platform"_s, u"offscreen"_s, u"--data-dir"_s, m_data->path()} +
                      arguments);
    Result result;
    if (!program.waitForStarted(10000))
        return result;
    // The program ends by itself; the bound only keeps a fault from hanging the suite.
    if (!program.waitForFinished(120000)) {
        program.kill();
        program.waitForFinished(5000);
        return result;
    }
    result.exitCode = program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -2;
    result.out = QString::fromLocal8Bit(program.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(program.readAllStandardError());
    return result;
}



void TestAppBatch::readsItsOptions() {
    BatchOptions all = BatchOptions::Parse({u"--queue"_s, u"q.kqf"_s, u"--transfer"_s,
                                            u"--exit-when-done"_s, u"--log-stdout"_s,
                                            u"--data-dir"_s, u"/d"_s, u"A;B"_s});
    QVERIFY(all.error.isEmpty());
    QVERIFY(all.active() && all.transfer && all.exitWhenDone && all.logStdout);
    QCOMPARE(all.queueFile, u"q.kqf"_s);
    // The queue file is no site name; the data folder's value is not either.
    QCOMPARE(all.connectArguments, (QStringList{u"--data-dir"_s, u"/d"_s, u"A;B"_s}));
    QVERIFY(!BatchOptions::Parse({u"Site"_s}).active());
    for (const QStringList& bad : {QStringList{u"--exit-when-done"_s},
                                   QStringList{u"--transfer"_s},
                                   QStringList{u"--queue"_s},
                                   QStringList{u"--queue"_s, u"--transfer"_s},
                                   QStringList{u"--frobnicate"_s}})
        QVERIFY2(!BatchOptions::Parse(bad).error.isEmpty(), qPrintable(bad.join(u' ')));
}

void TestAppBatch::copiesTreeAndExitsZero() {
    Side& left = m_setup->left();
    Side& right = m_setup->right();
    QByteArray big(150'000, Qt::Uninitialized);
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char((i * 31) ^ (i >> 9));
    left.session().MakeDir(m_leftDir + u"tree"_s);
    left.session().MakeDir(m_leftDir + u"tree/sub"_s);
    QVERIFY(PutRemoteFile(left.session(), m_leftDir + u"tree/big.bin"_s, big));
    QVERIFY(PutRemoteFile(left.session(), m_leftDir + u"tree/sub/small.txt"_s, "small\r\n"));
    writeDataDir();
    const QString queueFile = m_data->filePath(u"tree.kqf"_s);
    QVERIFY(QueueFile::Write(queueFile, {QueueEntry{m_leftDir + u"tree"_s, m_rightDir, {}, 1,
                                                    Direction::FxpLeftToRight}})
                .isEmpty());
    QFile ini(m_data->filePath(u"Korvane.ini"_s));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray settingsBefore = ini.readAll();
    ini.close();

    const Result result = runProgram({u"--queue"_s, queueFile, u"--transfer"_s,
                                      u"--exit-when-done"_s, u"--log-stdout"_s, u"Alpha;Beta"_s});
    QVERIFY2(result.exitCode == 0, qPrintable(result.err + result.out));
    QVERIFY2(result.out.contains(u"Queue done: Transfered 2 Files  Total Size: 150,007  bytes"_s),
             qPrintable(result.out));
    QCOMPARE(FetchRemoteFile(right.session(), m_rightDir + u"tree/big.bin"_s), big);
    QCOMPARE(FetchRemoteFile(right.session(), m_rightDir + u"tree/sub/small.txt"_s), QByteArray("small\r\n"));
    // The layout and settings of a batch run are not written back.
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QCOMPARE(ini.readAll(), settingsBefore);
}

void TestAppBatch::failures_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("a site refuses the login") << u"login"_s << 1
                                              << u"the right site could not be logged in"_s;
    QTest::newRow("a corrupt queue file") << u"corrupt"_s << 1 << u"queue file "_s;
    QTest::newRow("a queue file that is not there") << u"nofile"_s << 1 << u"queue file not found"_s;
    QTest::newRow("a file that does not arrive") << u"missing"_s << 1
                                                 << u"1 file(s) did not arrive"_s;
    QTest::newRow("a command line it cannot follow") << u"usage"_s << 2 << u"--transfer needs"_s;
}

void TestAppBatch::failures() {
    QFETCH(QString, kind);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    writeDataDir(kind == u"login"_s ? u"wrong password"_s : QString());
    const QString queueFile = m_data->filePath(u"q.kqf"_s);
    QVERIFY(QueueFile::Write(queueFile, {QueueEntry{m_leftDir + u"no such file"_s,
                                                    m_rightDir + u"no such file"_s, u"5"_s, 3,
                                                    Direction::FxpLeftToRight}})
                .isEmpty());
    if (kind == u"corrupt"_s)
        QVERIFY(m_data->writeFile(u"q.kqf"_s, "only one line\r\n"));
    QStringList arguments{u"--queue"_s, kind == u"nofile"_s ? queueFile + u".gone"_s : queueFile,
                          u"--transfer"_s, u"--exit-when-done"_s, u"Alpha;Beta"_s};
    if (kind == u"usage"_s)
        arguments = {u"--transfer"_s, u"Alpha;Beta"_s};
    const Result result = runProgram(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.contains(message), qPrintable(result.err));
    if (kind == u"missing"_s)
        QVERIFY2(result.err.contains(u"korvane: did not arrive: "_s + m_leftDir + u"no such file"_s),
                 qPrintable(result.err));
}

void TestAppBatch::siteLostWithAFailedFileComesBack_data() {
    QTest::addColumn<bool>("sourceDrops");
    QTest::addColumn<bool>("targetDrops");
    QTest::addColumn<bool>("targetReturns");
    QTest::newRow("the target drops") << false << true << true;
    QTest::newRow("the source drops") << true << false << true;
    // Within the reconnect delay: both come back, and then the run.
    QTest::newRow("both drop") << true << true << true;
    // What did not arrive and what is still queued are named.
    QTest::newRow("the target stays away") << false << true << false;
}

void TestAppBatch::siteLostWithAFailedFileComesBack() {
    // The target refuses a file and one site drops the connection while the
    // source's transfer is aborted: the run ends at the next entry as not
    // connected, and the reconnect must still carry on with the queue. A
    // lost source keeps the refused entry, which then arrives: it must not
    // be reported as a file that did not.
    QFETCH(bool, sourceDrops);
    QFETCH(bool, targetDrops);
    QFETCH(bool, targetReturns);
    TempDataDir dir;
    QVERIFY(dir.writeFile(u"Korvane.ini"_s, "[_Main_]\r\nConnectTimeout=2\r\nRestoreResume=1\r\n"));
    App app(DataPaths(dir.path()), m_services, m_prompts);
    app.create();
    app.setBatchMode(true);
    app.connections().timerConnect().setInterval(10);
    FakeFtpServer source;
    FakeFtpServer target;
    QVERIFY(source.listen() && target.listen());
    // A session is asked for TYPE I once per login.
    QSet<FakeFtpServer*> binary;
    auto relogin = [&binary](FakeFtpServer& fake, const QByteArray& dir) {
        ScriptReloginAt(fake, dir);
        binary.remove(&fake);
    };
    auto start = [&binary](FakeFtpServer& src, FakeFtpServer& dst, const QByteArray& name) {
        for (FakeFtpServer* fake : {&src, &dst})
            if (!binary.contains(fake)) {
                fake->expect("TYPE I", "200 binary");
                binary.insert(fake);
            }
        ScriptFxpStart(src, dst, name);
    };
    auto arrives = [&start](FakeFtpServer& src, FakeFtpServer& dst, const QByteArray& name) {
        start(src, dst, name);
        ScriptFxpArrives(src, dst, name);
    };
    ScriptLoginAt(source, "/src");
    ScriptLoginAt(target, "/dst");
    start(source, target, "f");
    source.expect("RETR f", [&target](FakeFtpServer& s, const QByteArray&) {
        s.send("150 sending");
        target.sendAfterAnswer("STOR f", "552 no room");
    });
    source.expect("ABOR", [&, sourceDrops, targetDrops, targetReturns](FakeFtpServer& s,
                                                                        const QByteArray&) {
        s.send("226 aborted");
        if (sourceDrops)
            source.closeClient();
        if (targetDrops)
            target.closeClient();
        if (!targetReturns)
            target.greet("421 not now");
    });
    if (sourceDrops)
        relogin(source, "/src");
    if (targetDrops && targetReturns)
        relogin(target, "/dst");
    // A lost source keeps the entry: it runs again, and arrives.
    if (sourceDrops)
        arrives(source, target, "f");
    if (targetReturns) {
        arrives(source, target, "g");
        source.expect("PWD", "257 \"/src\"");
        target.expect("PWD", "257 \"/dst\"");
    }
    for (auto [fake, id, name] : {std::tuple{&source, SideId::Left, u"src"_s},
                                  std::tuple{&target, SideId::Right, u"dst"_s}})
        app.connections().ConnectToSite(
            {name, u"127.0.0.1"_s, QString::number(fake->port()), u"u"_s, u"p"_s, u"00"_s, {}}, id);
    QVERIFY(app.left().state().LoggedIn && app.right().state().LoggedIn);
    for (const char* name : {"f", "g"})
        app.queue().append(QueueEntry{u"/src/"_s + QLatin1String(name),
                                      u"/dst/"_s + QLatin1String(name), u"10"_s, 3,
                                      Direction::FxpLeftToRight});

    QStringList errors;
    BatchRun batch(app, BatchOptions::Parse({u"--queue"_s, u"q.kqf"_s, u"--transfer"_s,
                                             u"--exit-when-done"_s, u"A;B"_s}),
                   [](const QString&) {}, [&errors](const QString& text) { errors << text; });
    QSignalSpy exited(&batch, &BatchRun::exitRequested);
    QSignalSpy ended(&app.queueRunner(), &QueueRunner::runEnded);
    app.queueCommands().TransferButtonRule();
    app.queueRunner().Transfer1Click();
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.at(0).at(0).value<QueueRunner::RunEnd>(), QueueRunner::RunEnd::NotConnected);
    QVERIFY2(!batch.done(), qPrintable(errors.join(u'\n')));
    QTRY_COMPARE_WITH_TIMEOUT(exited.count(), 1, 10000);
    QCOMPARE(ended.count(), 2);
    QVERIFY2(source.mismatches().isEmpty() && target.mismatches().isEmpty(),
             (source.mismatches() + target.mismatches()).join('\n'));
    QCOMPARE(app.queue().isEmpty(), targetReturns);
    if (sourceDrops) {
        QCOMPARE(batch.exitCode(), 0);
        QCOMPARE(errors, QStringList());
    } else if (targetReturns) {
        // The refused file is still reported; nothing else is.
        QCOMPARE(batch.exitCode(), 1);
        QCOMPARE(errors, (QStringList{u"korvane: did not arrive: /src/f"_s,
                                      u"korvane: 1 file(s) did not arrive"_s}));
    } else {
        QCOMPARE(batch.exitCode(), 1);
        QCOMPARE(errors, (QStringList{u"korvane: did not arrive: /src/f"_s,
                                      u"korvane: left in the queue: /src/g"_s,
                                      u"korvane: 1 file(s) did not arrive; 1 entries left in "
                                      "the queue"_s}));
    }
}

QTEST_GUILESS_MAIN(TestAppBatch)
#include "test_app_batch.moc"
