#pragma once

#include "net/CommandKind.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Reading FTP reply lines: pure functions, so they are tested on their own.
namespace FtpReplies {

// The leading digits (at most ten) as a 16-bit signed number; 0 without digits.
int ReplyCode(const QByteArray& line);
// A line that continues a multi-line reply: starts with a blank or has "-"
// as its fourth character.
bool IsContinuation(const QByteArray& line);
// True when code lies in [low, high].
inline bool InRange(int code, int low, int high) {
    return code >= low && code <= high;
}
// The kind of a command text sent through DoCommand.
CommandKind Classify(const QString& command);
// The port a "227" reply announces: the numbers between "(" and ")", or
// after "de " when there is no parenthesis; the fifth and sixth give the port.
std::optional<quint16> PassivePort(const QByteArray& reply);
// The size a transfer reply announces ("... (1234 bytes)"), 0 when none.
qint64 AnnouncedSize(const QByteArray& reply);
// The text between the first two double quotes of a PWD reply.
QString QuotedPath(const QString& reply);
// The server kind from a SYST reply (2400 UNIX ... 2410 other).
int VendorFromSyst(const QByteArray& reply);
// A reply line without its CR LF, as text.
QString LineText(const QByteArray& line);

constexpr int VendorUnknown = 2411;
constexpr int VendorOther = 2410;

} // namespace FtpReplies
