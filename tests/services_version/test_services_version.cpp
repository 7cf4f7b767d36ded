// "&Check for Update" against a local web server: the request, the first
// block of the answer, the three verdicts, and the ways a check fails.
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "services/UpdateCheck.h"
#include "services/VersionAnswer.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// Answers each request line as told and records what clients sent and how
// many of them closed their end.
class VersionServer : public QObject {
public:
    enum class Mode { AnswerAndClose, AnswerAndStay, CloseAtOnce, Silent };

    explicit VersionServer(QByteArray answer, Mode mode = Mode::AnswerAndClose)
        : m_answer(std::move(answer)), m_mode(mode) {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* client = m_server.nextPendingConnection();
            connect(client, &QTcpSocket::disconnected, this, [this] { ++clientsClosed; });
            connect(client, &QTcpSocket::readyRead, this, [this, client] {
                requests += client->readAll();
                if (!requests.endsWith('\n') || m_mode == Mode::Silent)
                    return;
                client->write(m_answer);
                if (m_mode != Mode::AnswerAndStay)
                    client->disconnectFromHost();
            });
        });
    }
    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    quint16 port() const { return m_server.serverPort(); }

    QByteArray requests;
    int clientsClosed = 0;

private:
    QTcpServer m_server;
    QByteArray m_answer;
    Mode m_mode;
};

struct Line {
    QString text;
    Colour colour;
};

} // namespace

class TestServicesVersion : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void answerIsEvaluated_data();
    void answerIsEvaluated();
    void failedChecksSayWhyAndEnableTheItemAgain_data();
    void failedChecksSayWhyAndEnableTheItemAgain();
    void onlyTheFirstBlockCountsAndTheClientHangsUp();
    void endpointComesFromTheSettings();

private:
    void startApp(const QByteArray& mainKeys, int timeOut = VersionCheck::DefaultTimeOut);
    void startApp(quint16 port, int timeOut = VersionCheck::DefaultTimeOut);
    // The lines the check wrote, from the first separator on.
    QList<Line> checkLines() const;
    // Runs the check and waits until the item is usable again.
    bool runCheck();

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<RecordingDesktopServices> m_services;
    std::unique_ptr<ScriptedUserPrompts> m_prompts;
    std::unique_ptr<App> m_app;
};

void TestServicesVersion::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_services = std::make_unique<RecordingDesktopServices>();
    m_prompts = std::make_unique<ScriptedUserPrompts>();
}

void TestServicesVersion::cleanup() {
    m_app.reset();
}

void TestServicesVersion::startApp(const QByteArray& mainKeys, int timeOut) {
    m_app.reset();
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, "[_Main_]\r\n" + mainKeys));
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    m_app->create();
    m_app->updateCheck().versionCheck().setTimeOut(timeOut);
}

void TestServicesVersion::startApp(quint16 port, int timeOut) {
    startApp("Update Host=127.0.0.1\r\nUpdate Port=" + QByteArray::number(port) + "\r\n",
             timeOut);
}

QList<Line> TestServicesVersion::checkLines() const {
    QList<Line> found;
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = 0; i < store.count(); ++i)
        if (!found.isEmpty() || store.line(i).text == u".."_s)
            found.append({store.line(i).text, store.line(i).colour});
    return found;
}

bool TestServicesVersion::runCheck() {
    UpdateCheck& check = m_app->updateCheck();
    QSignalSpy item(&check, &UpdateCheck::itemEnabledChanged);
    check.CheckForUpdate();
    // The item is off while the check runs, and on again when it ended.
    if (item.isEmpty() || item.at(0).at(0).toBool())
        return false;
    if (item.size() == 1 && !item.wait(10000))
        return false;
    return item.size() == 2 && check.itemEnabled() && !check.versionCheck().isRunning();
}

void TestServicesVersion::answerIsEvaluated_data() {
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("verdict");
    QTest::addColumn<Colour>("colour");
    QTest::newRow("this version") << QByteArray("1.0.57 SR1")
                                  << u"You are using the latest version."_s << clBlack;
    QTest::newRow("this version, with a line end")
        << QByteArray("1.0.57 SR1\r\n") << u"You are using the latest version."_s << clBlack;
    QTest::newRow("another version") << QByteArray("1.0.58")
                                     << u"Version 1.0.58 is now available for download."_s
                                     << clBlack;
    QTest::newRow("another version, with a line end")
        << QByteArray("1.0.58\n") << u"Version 1.0.58 is now available for download."_s << clBlack;
    QTest::newRow("web page") << QByteArray("<HTML><body>Not Found</body></HTML>")
                              << u"Error: unrecognized response."_s << clRed;
}

void TestServicesVersion::answerIsEvaluated() {
    QFETCH(QByteArray, answer);
    QFETCH(QString, verdict);
    QFETCH(Colour, colour);
    QCOMPARE(ProgramVersion(), u"1.0.57 SR1"_s);
    VersionServer server(answer);
    QVERIFY(server.listen());
    startApp(server.port());
    QCOMPARE(m_app->updateCheck().versionCheck().objectName(), u"KorvTCPVer1"_s);
    QVERIFY(runCheck());
    // A simple request: the path alone, no protocol version or headers.
    QCOMPARE(server.requests, QByteArray("GET /~korv/ver.txt\r\n"));

    QList<Line> expected{{u".."_s, clWindowBackground},
                         {u".."_s, clWindowBackground},
                         {u"Requesting version information, Please Wait..."_s, clBlue},
                         {u".."_s, clWindowBackground},
                         {verdict, colour}};
    if (colour == clRed) // the page itself follows its verdict
        expected.append({QString::fromLatin1(answer), clBlack});
    expected.append({{u".."_s, clWindowBackground}, {u"Version Check Complete."_s, clBlue}});
    const QList<Line> lines = checkLines();
    QCOMPARE(lines.size(), expected.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QCOMPARE(lines.at(i).text, expected.at(i).text);
        QCOMPARE(lines.at(i).colour, expected.at(i).colour);
    }
}

void TestServicesVersion::failedChecksSayWhyAndEnableTheItemAgain_data() {
    QTest::addColumn<int>("mode"); // -1: nothing listens, -2: no host set
    QTest::addColumn<QString>("reason");
    QTest::newRow("no host") << -2 << u"No IP Address Specified"_s;
    QTest::newRow("unreachable") << -1 << u"10061:"_s;
    QTest::newRow("closed without answer") << int(VersionServer::Mode::CloseAtOnce)
                                           << u"closed the connection without an answer"_s;
    QTest::newRow("silent") << int(VersionServer::Mode::Silent)
                            << u"No answer within 0.5 seconds"_s;
}

void TestServicesVersion::failedChecksSayWhyAndEnableTheItemAgain() {
    QFETCH(int, mode);
    QFETCH(QString, reason);
    std::unique_ptr<VersionServer> server;
    QString endpoint = u":80"_s;
    if (mode == -2) {
        startApp("Update Host=\r\n", 500);
    } else {
        quint16 port = 0;
        if (mode == -1) {
            QTcpServer probe; // a port nothing listens on once it is closed
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        } else {
            server = std::make_unique<VersionServer>(QByteArray(), VersionServer::Mode(mode));
            QVERIFY(server->listen());
            port = server->port();
        }
        startApp(port, 500);
        endpoint = u"127.0.0.1:%1"_s.arg(port);
    }
    for (int run = 0; run < 2; ++run) { // the item works again afterwards
        QVERIFY(runCheck());
        const QList<Line> lines = checkLines();
        QVERIFY(lines.size() >= 3);
        const Line failure = lines.at(lines.size() - 3);
        QVERIFY2(failure.text.startsWith(u"Unable to check for update at %1, Error: "_s.arg(endpoint)),
                 qPrintable(failure.text));
        QVERIFY2(failure.text.contains(reason), qPrintable(failure.text));
        QCOMPARE(failure.colour, clRed);
        QCOMPARE(lines.last().text, u"Version Check Complete."_s);
    }
}

void TestServicesVersion::onlyTheFirstBlockCountsAndTheClientHangsUp() {
    // Up to 255 bytes of a long page are shown after the verdict, and the
    // check closes the connection itself rather than wait for the server.
    const QByteArray page = "<html>" + QByteArray(400, 'x') + "</html>";
    VersionServer server(page, VersionServer::Mode::AnswerAndStay);
    QVERIFY(server.listen());
    startApp(server.port());
    QVERIFY(runCheck());
    QTRY_COMPARE_WITH_TIMEOUT(server.clientsClosed, 1, 5000);
    const QList<Line> lines = checkLines();
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines.at(4).text, u"Error: unrecognized response."_s);
    QCOMPARE(lines.at(5).text, QString::fromLatin1(page.left(255)));

    // A new start drops the run in progress: one answer, one verdict.
    VersionCheck& check = m_app->updateCheck().versionCheck();
    server.requests.clear();
    QSignalSpy answers(&check, &VersionCheck::dataReceived);
    QSignalSpy failures(&check, &VersionCheck::failed);
    check.Start();
    check.Start();
    QVERIFY(answers.wait(5000));
    QCOMPARE(answers.size(), 1);
    QCOMPARE(failures.size(), 0);
    QCOMPARE(server.requests, QByteArray("GET /~korv/ver.txt\r\n"));
}

void TestServicesVersion::endpointComesFromTheSettings() {
    struct Case {
        QByteArray keys;
        QString host;
        quint16 port;
    };
    const Case cases[] = {
        {{}, u"127.0.0.1"_s, 80},
        {"Update Host=localhost\r\nUpdate Port=65535\r\n", u"localhost"_s, 65535},
        {"Update Port=1\r\n", u"127.0.0.1"_s, 1},
        {"Update Port=0\r\n", u"127.0.0.1"_s, 80},
        {"Update Port=65536\r\n", u"127.0.0.1"_s, 80},
        {"Update Port=-21\r\n", u"127.0.0.1"_s, 80},
    };
    for (const Case& c : cases) {
        startApp(c.keys, 500);
        QVERIFY(runCheck());
        const VersionCheck& check = m_app->updateCheck().versionCheck();
        QCOMPARE(check.Host, c.host);
        QCOMPARE(check.Port, c.port);
        QCOMPARE(check.URL, u"/~korv/ver.txt"_s);
    }
}

QTEST_GUILESS_MAIN(TestServicesVersion)
#include "test_services_version.moc"
