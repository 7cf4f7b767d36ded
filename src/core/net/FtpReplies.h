#pragma once

#include "net/CommandKind.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reading FTP reply lines: pure functions, so they are tested on their own.
namespace FtpReplies {

// The leading digits (at most ten) as a 16-bit signed number; 0 without digits.
int ReplyCode(const QByteArray& line);
// The first line of a multi-line reply: three digits and "-".
bool OpensMultiLine(const QByteArray& line);
// The line that ends the multi-line reply opened by first: the same three
// digits followed by a blank (or nothing). Lines between may look like anything.
bool ClosesMultiLine(const QByteArray& first, const QByteArray& line);
// A line beginning with "4" or "5": a refusal or an error.
inline bool IsErrorReply(const QByteArray& line) {
    return !line.isEmpty() && (line.at(0) == '4' || line.at(0) == '5');
}
// True when code lies in [low, high].
inline bool InRange(int code, int low, int high) {
    return code >= low && code <= high;
}
// The kind of a command text sent through DoCommand.
CommandKind Classify(const QString& command);
// The port a "227" reply announces: the numbers between "(" and ")", or
// after "de " when there is no parenthesis; the fifth and sixth give the port.
std::optional<quint16> PassivePort(const QByteArray& reply);
// The size a transfer reply announces ("... (1234 bytes)"), 0 when none or
// when it is only a rounded figure ("195.3 kbytes").
qint64 AnnouncedSize(const QByteArray& reply);
// The size of a "213 1234" reply to SIZE, -1 when the reply is no size.
qint64 SizeReply(const QByteArray& reply);
// The quoted path of a PWD reply; a doubled quote inside stands for one.
QString QuotedPath(const QString& reply);
// The server kind from a SYST reply (2400 UNIX ... 2410 other).
int VendorFromSyst(const QByteArray& reply);
// A reply line without its CR LF, as text.
QString LineText(const QByteArray& line);

constexpr int VendorUnknown = 2411;
constexpr int VendorOther = 2410;

} // namespace FtpReplies
