// The Help menu's "&Check for Update" runs the core's check and follows its
// enabled state.
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/MainWindow.h"

#include <QAction>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestGuiServices : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void checkForUpdateItem();
};

void TestGuiServices::checkForUpdateItem() {
    // A web server that answers once the request line is complete.
    QTcpServer web;
    QVERIFY(web.listen(QHostAddress::LocalHost));
    QTcpSocket* client = nullptr;
    connect(&web, &QTcpServer::newConnection, this, [&] { client = web.nextPendingConnection(); });

    TempDataDir dir;
    QVERIFY(dir.writeFile(u"Korvane.ini"_s, "[_Main_]\r\nUpdate Host=127.0.0.1\r\nUpdate Port=" +
                                                QByteArray::number(web.serverPort()) + "\r\n"));
    RecordingDesktopServices services;
    ScriptedUserPrompts prompts;
    App app(DataPaths(dir.path()), services, prompts);
    MainWindow window(app);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QAction* item = window.action("CheckforUpdate1");
    QVERIFY(item && item->isEnabled());
    item->trigger();
    QVERIFY(!item->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(client && client->bytesAvailable() > 0, 10000);
    client->write("1.0.57 SR1");
    client->disconnectFromHost();
    QTRY_VERIFY_WITH_TIMEOUT(item->isEnabled(), 10000);
    const StatusLineStore& lines = app.statusLog().lines();
    QCOMPARE(lines.line(lines.count() - 3).text, u"You are using the latest version."_s);
    QCOMPARE(lines.line(lines.count() - 1).text, u"Version Check Complete."_s);
}

QTEST_MAIN(TestGuiServices)
#include "test_gui_services.moc"
