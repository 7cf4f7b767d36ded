// Reply parsing, lossless name bytes and the receive buffer: the pure pieces
// every session relies on.
#include "net/FtpReplies.h"
#include "net/ReceiveBuffer.h"
#include "net/SocketErrorText.h"
#include "net/WireText.h"

#include <QtTest>

class TestNetReplies : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void replyCodes_data();
    void replyCodes();
    void continuationLines();
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

void TestNetReplies::continuationLines() {
    QVERIFY(FtpReplies::IsContinuation("220-first\r\n"));
    QVERIFY(FtpReplies::IsContinuation(" indented\r\n"));
    QVERIFY(!FtpReplies::IsContinuation("220 last\r\n"));
    QVERIFY(!FtpReplies::IsContinuation("plain text\r\n"));
    QVERIFY(!FtpReplies::IsContinuation("22-"));
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
}

void TestNetReplies::announcedSize() {
    QFETCH(QByteArray, reply);
    QFETCH(qint64, size);
    QCOMPARE(FtpReplies::AnnouncedSize(reply), size);
}

void TestNetReplies::commandKindsAndPaths() {
    QCOMPARE(FtpReplies::Classify("CWD /pub"), CommandKind::ChangeDir);
    QCOMPARE(FtpReplies::Classify("DELE a"), CommandKind::Delete);
    QCOMPARE(FtpReplies::Classify("MKD x"), CommandKind::MakeDir);
    QCOMPARE(FtpReplies::Classify("RMD x"), CommandKind::RemoveDir);
    QCOMPARE(FtpReplies::Classify("PWD"), CommandKind::CurrentDir);
    QCOMPARE(FtpReplies::Classify("PWD x"), CommandKind::Other);
    QCOMPARE(FtpReplies::Classify("CWDX /"), CommandKind::Other);
    QCOMPARE(FailureText(CommandKind::Other), QStringLiteral("Command failure"));
    QVERIFY(FailureText(CommandKind::CurrentDir).isEmpty());

    QCOMPARE(FtpReplies::QuotedPath("257 \"/home/x\" is current directory"),
             QStringLiteral("/home/x"));
    QCOMPARE(FtpReplies::QuotedPath("257 no quotes"), QString());
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
    QCOMPARE(SocketErrorText::Describe(11004),
             QStringLiteral("11004:Valid name, no data record of requested type"));
    QCOMPARE(SocketErrorText::Describe(4242), QStringLiteral("Unknown Error No. 4242"));
    QCOMPARE(SocketErrorText::NumberFor(QAbstractSocket::ConnectionRefusedError), 10061);
}

QTEST_GUILESS_MAIN(TestNetReplies)
#include "test_net_replies.moc"
