// Reply parsing, lossless name bytes and the receive buffer: the pure pieces
// every session relies on.
#include "net/FtpReplies.h"
#include "net/ReceiveBuffer.h"
#include "net/SocketErrorText.h"
#include "net/TransferCheck.h"
#include "net/WireText.h"

#include <QtTest>

class TestNetReplies : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replyCodes_data();
    void replyCodes();
    void multiLineFraming();
    void passivePort_data();
    void passivePort();
    void announcedSize_data();
    void announcedSize();
    void commandKindsAndPaths();
    void vendorFromSyst();
    void wireTextRoundTripsAnyBytes();
    void bufferSplitsAndJoinsLines();
    void bufferDropsOverlongLine();
    void errorTexts();
    void downloadVerdicts_data();
    void downloadVerdicts();
};

void TestNetReplies::replyCodes_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("code");
    QTest::newRow("plain") << QByteArray("220 ready\r\n") << 220;
    QTest::newRow("hyphen") << QByteArray("230-Welcome\r\n") << 230;
    QTest::newRow("letter") << QByteArray("Hello\r\n") << 0;
    QTest::newRow("empty") << QByteArray() << 0;
    // Ten digits at most, wrapped into 16 bits as the classic field did.
    QTest::newRow("eleven digits")
        << QByteArray("12345678901 x") << int(qint16(1234567890 & 0xFFFF));
}

void TestNetReplies::replyCodes() {
    QFETCH(QByteArray, line);
    QFETCH(int, code);
    QCOMPARE(FtpReplies::ReplyCode(line), code);
}

void TestNetReplies::multiLineFraming() {
    using namespace FtpReplies;
    QVERIFY(OpensMultiLine("220-first\r\n"));
    QVERIFY(!OpensMultiLine("220 only\r\n"));
    QVERIFY(!OpensMultiLine("22-x\r\n"));
    QVERIFY(!OpensMultiLine(" 220-indented\r\n"));
    // Only the first line's code with a blank (or nothing) ends the reply.
    QVERIFY(ClosesMultiLine("331-a", "331 last\r\n"));
    QVERIFY(ClosesMultiLine("331-a", "331\r\n"));
    QVERIFY(!ClosesMultiLine("331-a", "331-more\r\n"));
    QVERIFY(!ClosesMultiLine("331-a", "530 other code\r\n"));
    QVERIFY(!ClosesMultiLine("331-a", "plain middle line\r\n"));
    QVERIFY(!ClosesMultiLine("331-a", "3310 digits\r\n"));

    QCOMPARE(SizeReply("213 5368709120\r\n"), qint64(5368709120));
    QCOMPARE(SizeReply("550 no such file\r\n"), qint64(-1));
    QCOMPARE(SizeReply("213 unknown\r\n"), qint64(-1));
}

void TestNetReplies::passivePort_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("port");
    QTest::newRow("parentheses") << QByteArray("227 Entering Passive Mode (127,0,0,1,4,1)\r\n")
                                 << 1025;
    QTest::newRow("no parentheses")
        << QByteArray("227 Entering Passive Mode 127,0,0,1,200,10\r\n") << 200 * 256 + 10;
    QTest::newRow("trailing dot") << QByteArray("227 Passive Mode 10,0,0,1,1,2.\r\n") << 258;
    QTest::newRow("blanks") << QByteArray("227 ok (127, 0, 0, 1, 0, 21)") << 21;
    QTest::newRow("too few numbers") << QByteArray("227 Entering Passive Mode (127,0,0,1)") << -1;
    QTest::newRow("garbage") << QByteArray("227 nothing here") << -1;
    QTest::newRow("byte out of range") << QByteArray("227 (1,2,3,4,256,1)") << -1;
}

void TestNetReplies::passivePort() {
    QFETCH(QByteArray, reply);
    QFETCH(int, port);
    const auto parsed = FtpReplies::PassivePort(reply);
    QCOMPARE(parsed ? int(*parsed) : -1, port);
}

void TestNetReplies::announcedSize_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<qint64>("size");
    QTest::newRow("bytes") << QByteArray(
                                  "150 Opening BINARY mode data connection for a.bin (1234 bytes)")
                           << qint64(1234);
    QTest::newRow("upper") << QByteArray("150 file.txt (5368709120 BYTES)") << qint64(5368709120);
    QTest::newRow("none") << QByteArray("150 File status okay") << qint64(0);
    QTest::newRow("byte without number") << QByteArray("150 bytes follow") << qint64(0);
    // pure-ftpd rounds to units: checking a file against them would fail it.
    QTest::newRow("kilobytes") << QByteArray("150 195.3 kbytes to download") << qint64(0);
    QTest::newRow("whole megabytes") << QByteArray("150 12 Mbytes to download") << qint64(0);
    QTest::newRow("decimal bytes") << QByteArray("150 (12.5 bytes)") << qint64(0);
}

void TestNetReplies::announcedSize() {
    QFETCH(QByteArray, reply);
    QFETCH(qint64, size);
    QCOMPARE(FtpReplies::AnnouncedSize(reply), size);
}

void TestNetReplies::commandKindsAndPaths() {
    QCOMPARE(FtpReplies::Classify("CWD /pub"), CommandKind::ChangeDir);
    QCOMPARE(FtpReplies::Classify("PWD"), CommandKind::CurrentDir);
    QCOMPARE(FtpReplies::Classify("PWD x"), CommandKind::Other);
    QCOMPARE(FtpReplies::Classify("CWDX /"), CommandKind::Other);

    QCOMPARE(FtpReplies::QuotedPath("257 \"/home/x\" is current directory"),
             QStringLiteral("/home/x"));
    QCOMPARE(FtpReplies::QuotedPath("257 no quotes"), QString());
    // A doubled quote inside the path stands for one.
    QCOMPARE(FtpReplies::QuotedPath("257 \"/a\"\"b\" created"), QStringLiteral("/a\"b"));
    QCOMPARE(FtpReplies::QuotedPath("257 \"/x\"\"\"\"\" ok"), QStringLiteral("/x\"\""));
}

void TestNetReplies::vendorFromSyst() {
    QCOMPARE(FtpReplies::VendorFromSyst("215 UNIX Type: L8"), 2400);
    QCOMPARE(FtpReplies::VendorFromSyst("215 Windows_NT"), 2410);
    QCOMPARE(FtpReplies::VendorFromSyst("215 NETWARE"), 2416);
    // "VMS" is tested before "VM".
    QCOMPARE(FtpReplies::VendorFromSyst("215 VMS V5"), 2406);
    QCOMPARE(FtpReplies::VendorFromSyst("215 VM/CMS"), 2402);
}

void TestNetReplies::wireTextRoundTripsAnyBytes() {
    const QByteArray utf8 = "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80";
    QCOMPARE(WireText::Decode(utf8), QString::fromUtf8(utf8));
    QCOMPARE(WireText::Encode(WireText::Decode(utf8)), utf8);

    const QByteArray latin1 = "caf\xe9 na\xefve";
    QCOMPARE(WireText::Encode(WireText::Decode(latin1)), latin1);

    // Overlong forms, encoded surrogates, truncated sequences: all kept as bytes.
    const QByteArray hostile = "\xc0\xaf\xed\xa0\x80\xe2\x82 \xff\xfe\x80";
    QCOMPARE(WireText::Encode(WireText::Decode(hostile)), hostile);

    QByteArray every;
    for (int b = 1; b < 256; ++b)
        every.append(char(b));
    QCOMPARE(WireText::Encode(WireText::Decode(every)), every);
}

void TestNetReplies::bufferSplitsAndJoinsLines() {
    ReceiveBuffer buffer;
    buffer.append("220 hel");
    QVERIFY(!buffer.hasLine());
    QVERIFY(buffer.takeLine().isEmpty());
    buffer.append("lo\r\n331 pass\r\n2");
    QCOMPARE(buffer.takeLine(), QByteArray("220 hello\r\n"));
    QCOMPARE(buffer.takeLine(), QByteArray("331 pass\r\n"));
    QVERIFY(!buffer.hasLine());
    QCOMPARE(buffer.take(0), QByteArray("2"));
    QVERIFY(buffer.isEmpty());

    // Many lines through one buffer keep their order and content.
    QByteArray big;
    for (int i = 0; i < 20000; ++i)
        big += "line " + QByteArray::number(i) + "\n";
    buffer.append(big);
    for (int i = 0; i < 20000; ++i)
        QCOMPARE(buffer.takeLine(), "line " + QByteArray::number(i) + "\n");
    QVERIFY(buffer.isEmpty());
}

void TestNetReplies::bufferDropsOverlongLine() {
    ReceiveBuffer buffer;
    buffer.setLineLimit(1000);
    const QByteArray junk(600, 'x');
    buffer.append(junk);
    buffer.append(junk);
    QVERIFY(buffer.takeOverflow());
    QVERIFY(!buffer.takeOverflow());
    QVERIFY(buffer.size() <= 1000);
    // The rest of the overlong line is dropped up to its end; the next line lives.
    buffer.append(junk + "\r\n226 ok\r\n");
    QCOMPARE(buffer.takeLine(), QByteArray("226 ok\r\n"));
    // Also when the overlong line arrives whole, with its end.
    buffer.append(QByteArray(1500, 'y') + "\n200 next\r\n");
    QVERIFY(buffer.takeOverflow());
    QCOMPARE(buffer.takeLine(), QByteArray("200 next\r\n"));

    // Too much unread data: all of it goes, and the cut line's tail with it,
    // so no fragment can pass for a reply.
    ReceiveBuffer control;
    control.setSizeLimit(100);
    for (int i = 0; i < 9; ++i)
        control.append("200 line\r\n");
    control.append("200 a long line cut he");
    QVERIFY(control.takeOverflow());
    QVERIFY(control.isEmpty());
    control.append("re 226 fake\r\n221 real\r\n");
    QCOMPARE(control.takeLine(), QByteArray("221 real\r\n"));
}

void TestNetReplies::errorTexts() {
    QCOMPARE(SocketErrorText::Describe(10061), QStringLiteral("10061:Connection refused"));
    QCOMPARE(SocketErrorText::Describe(4242), QStringLiteral("Unknown Error No. 4242"));
    QCOMPARE(SocketErrorText::NumberFor(QAbstractSocket::ConnectionRefusedError), 10061);
}

void TestNetReplies::downloadVerdicts_data() {
    QTest::addColumn<qint64>("restartAt");
    QTest::addColumn<qint64>("remoteSize");
    QTest::addColumn<qint64>("announced");
    QTest::addColumn<qint64>("received");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QString>("failure"); // start of the message, empty when whole
    QTest::addColumn<bool>("restore");
    QTest::addColumn<bool>("refuseResume");
    const QString whole;
    const QString incomplete = QStringLiteral("Download incomplete: ");
    // clang-format off
    QTest::newRow("whole as announced")  << 0LL << -1LL << 2097152LL << 2097152LL << false << true << whole << false << false;
    QTest::newRow("short")               << 0LL << -1LL << 2097152LL << 300000LL << false << true << incomplete << false << false;
    QTest::newRow("short in ASCII too")  << 0LL << -1LL << 2097152LL << 300000LL << false << false << incomplete << false << false;
    QTest::newRow("no size, clean end")  << 0LL << -1LL << 0LL << 12345LL << false << true << whole << false << false;
    QTest::newRow("reset")               << 0LL << -1LL << 0LL << 128000LL << true << true << QStringLiteral("Download failed: the data connection was reset") << false << false;
    QTest::newRow("more than announced") << 0LL << -1LL << 100LL << 120LL << false << true << QStringLiteral("Download failed: 120") << false << false;
    QTest::newRow("ASCII may grow")      << 0LL << -1LL << 100LL << 120LL << false << false << whole << false << false;
    QTest::newRow("resumed rest")        << 5LL << 10LL << 10LL << 5LL << false << true << whole << false << false;
    QTest::newRow("resumed, rest told")  << 5LL << 10LL << 5LL << 5LL << false << true << whole << false << false;
    QTest::newRow("resume ignored")      << 5LL << -1LL << 10LL << 10LL << false << true << QStringLiteral("Download failed: the server sent") << true << false;
    QTest::newRow("resume short")        << 5LL << 10LL << 0LL << 2LL << false << true << incomplete << false << false;
    QTest::newRow("local larger")        << 20LL << 10LL << 0LL << 0LL << false << true << QString() << false << true;
    QTest::newRow("larger than told")    << 20LL << -1LL << 10LL << 0LL << false << true << QString() << false << true;
    // clang-format on
}

void TestNetReplies::downloadVerdicts() {
    QFETCH(qint64, restartAt);
    QFETCH(qint64, remoteSize);
    QFETCH(qint64, announced);
    QFETCH(qint64, received);
    QFETCH(bool, reset);
    QFETCH(bool, binary);
    QFETCH(QString, failure);
    QFETCH(bool, restore);
    QFETCH(bool, refuseResume);
    const TransferCheck::DownloadFacts facts{restartAt, remoteSize, announced, received, reset,
                                             binary};
    QCOMPARE(!TransferCheck::ResumeRefusal(facts).isEmpty(), refuseResume);
    if (refuseResume)
        return;
    const TransferCheck::Verdict verdict = TransferCheck::JudgeDownload(facts);
    QCOMPARE(verdict.failure.isEmpty(), failure.isEmpty());
    QVERIFY2(verdict.failure.startsWith(failure), qPrintable(verdict.failure));
    QCOMPARE(verdict.restorePartial, restore);
    // A short transfer says how many bytes of how many arrived.
    if (failure.startsWith(QLatin1String("Download incomplete")))
        QVERIFY(verdict.failure.contains(QLocale().toString(received)));
}

QTEST_GUILESS_MAIN(TestNetReplies)
#include "test_net_replies.moc"
