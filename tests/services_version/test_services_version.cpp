// "&Check for Update" against a local one-shot web server: the request, the
// first block of the answer, the three verdicts, and the ways a check fails.
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

// Takes one connection, records what the client sent up to its first line
// end, answers with the given bytes and closes; or keeps silent.
class OneShotServer : public QObject {
public:
    explicit OneShotServer(QByteArray answer, bool answers = true)
        : m_answer(std::move(answer)), m_answers(answers) {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            m_client = m_server.nextPendingConnection();
            m_server.close();
            connect(m_client, &QTcpSocket::readyRead, this, [this] {
                request += m_client->readAll();
                if (!request.contains('\n') || !m_answers)
                    return;
                m_client->write(m_answer);
                m_client->disconnectFromHost();
            });
        });
    }
    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    quint16 port() const { return m_server.serverPort(); }
    QByteArray request;

private:
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QByteArray m_answer;
    bool m_answers;
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
    void onlyTheFirstBlockOfTheAnswerCounts();

private:
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

void TestServicesVersion::startApp(quint16 port, int timeOut) {
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, "[_Main_]\r\nUpdate Host=127.0.0.1\r\nUpdate Port=" +
                                                   QByteArray::number(port) + "\r\n"));
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    m_app->create();
    m_app->updateCheck().versionCheck().setTimeOut(timeOut);
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
    if (item.size() != 1 || item.at(0).at(0).toBool() || check.itemEnabled())
        return false;
    return item.wait(10000) && item.size() == 2 && check.itemEnabled();
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
    OneShotServer server(answer);
    QVERIFY(server.listen());
    startApp(server.port());
    QCOMPARE(m_app->updateCheck().versionCheck().objectName(), u"KorvTCPVer1"_s);
    QVERIFY(runCheck());
    // A simple request: the path alone, no protocol version or headers.
    QCOMPARE(server.request, QByteArray("GET /~korv/ver.txt\r\n"));

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
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("unreachable") << 0 << u"10061:"_s;
    QTest::newRow("closed without answer") << 1 << u"without an answer"_s;
    QTest::newRow("silent") << 2 << u"No answer within"_s;
}

void TestServicesVersion::failedChecksSayWhyAndEnableTheItemAgain() {
    QFETCH(int, kind);
    QFETCH(QString, reason);
    std::unique_ptr<OneShotServer> server;
    quint16 port = 0;
    if (kind == 0) {
        QTcpServer probe; // a port nothing listens on
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port = probe.serverPort();
    } else {
        server = std::make_unique<OneShotServer>(QByteArray(), kind == 1);
        QVERIFY(server->listen());
        port = server->port();
    }
    startApp(port, 500);
    QVERIFY(runCheck());
    const QList<Line> lines = checkLines();
    QVERIFY(lines.size() >= 3);
    const Line failure = lines.at(lines.size() - 3);
    QVERIFY2(failure.text.startsWith(u"Unable to check for update at 127.0.0.1:%1, Error: "_s.arg(port)),
             qPrintable(failure.text));
    QVERIFY2(failure.text.contains(reason), qPrintable(failure.text));
    QCOMPARE(failure.colour, clRed);
    QCOMPARE(lines.last().text, u"Version Check Complete."_s);

    // The item works again: a second check runs to its end as well.
    QVERIFY(runCheck());
}

void TestServicesVersion::onlyTheFirstBlockOfTheAnswerCounts() {
    // Up to 255 bytes of a long page are shown after the verdict.
    const QByteArray page = "<html>" + QByteArray(400, 'x') + "</html>";
    OneShotServer server(page);
    QVERIFY(server.listen());
    startApp(server.port());
    QVERIFY(runCheck());
    const QList<Line> lines = checkLines();
    QVERIFY(lines.size() >= 4);
    QCOMPARE(lines.at(lines.size() - 4).text, u"Error: unrecognized response."_s);
    QCOMPARE(lines.at(lines.size() - 3).text, QString::fromLatin1(page.left(255)));
}

QTEST_GUILESS_MAIN(TestServicesVersion)
#include "test_services_version.moc"
