#include "net/FtpReplies.h"

#include "net/WireText.h"

#include <cctype>
#include <QList>

QString FailureText(CommandKind kind) {
    switch (kind) {
    case CommandKind::ChangeDir:
        return QStringLiteral("Change Dir failure");
    case CommandKind::MakeDir:
        return QStringLiteral("Make Dir failure");
    case CommandKind::Delete:
        return QStringLiteral("Delete failure");
    case CommandKind::RemoveDir:
        return QStringLiteral("Remove Dir failure");
    case CommandKind::List:
        return QStringLiteral("List failure");
    case CommandKind::Rename:
        return QStringLiteral("Rename failure");
    case CommandKind::UploadRestore:
        return QStringLiteral("Upload Restore failure");
    case CommandKind::DownloadRestore:
        return QStringLiteral("Download Restore failure");
    case CommandKind::Download:
        return QStringLiteral("Download failure");
    case CommandKind::Upload:
        return QStringLiteral("Upload failure");
    case CommandKind::UploadAppend:
        return QStringLiteral("Upload Append failure");
    case CommandKind::ReInit:
        return QStringLiteral("ReInit failure");
    case CommandKind::Allocate:
        return QStringLiteral("Allocate failure");
    case CommandKind::NList:
        return QStringLiteral("NList failure");
    case CommandKind::Other:
        return QStringLiteral("Command failure");
    case CommandKind::CurrentDir:
        return {};
    }
    return {};
}

namespace FtpReplies {

int ReplyCode(const QByteArray& line) {
    int digits = 0;
    while (digits < line.size() && digits < 10 && line.at(digits) >= '0' && line.at(digits) <= '9')
        ++digits;
    if (digits == 0)
        return 0;
    // Ten digits can exceed 16 bits; the number wraps as the classic field did.
    return int(qint16(quint16(line.left(digits).toULongLong() & 0xFFFF)));
}

namespace {
bool threeDigits(const QByteArray& line) {
    if (line.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        if (line.at(i) < '0' || line.at(i) > '9')
            return false;
    }
    return true;
}
} // namespace

bool OpensMultiLine(const QByteArray& line) {
    return threeDigits(line) && line.size() > 3 && line.at(3) == '-';
}

bool ClosesMultiLine(const QByteArray& first, const QByteArray& line) {
    if (!line.startsWith(first.left(3)))
        return false;
    if (line.size() == 3)
        return true;
    const char next = line.at(3);
    return next == ' ' || next == '\r' || next == '\n';
}

CommandKind Classify(const QString& command) {
    const qsizetype space = command.indexOf(QLatin1Char(' '));
    const QString word = (space < 0 ? command : command.left(space)) + QLatin1Char(' ');
    if (word == QLatin1String("CWD "))
        return CommandKind::ChangeDir;
    if (word == QLatin1String("DELE "))
        return CommandKind::Delete;
    if (word == QLatin1String("MKD "))
        return CommandKind::MakeDir;
    if (word == QLatin1String("RMD "))
        return CommandKind::RemoveDir;
    if (command == QLatin1String("PWD"))
        return CommandKind::CurrentDir;
    return CommandKind::Other;
}

std::optional<quint16> PassivePort(const QByteArray& reply) {
    QByteArray text;
    const qsizetype open = reply.indexOf('(');
    if (open >= 0) {
        const qsizetype close = reply.indexOf(')', open + 1);
        text = reply.mid(open + 1, close < 0 ? -1 : close - open - 1);
    } else {
        const qsizetype de = reply.indexOf("de ");
        if (de < 0)
            return std::nullopt;
        text = reply.mid(de + 3);
    }
    const QList<QByteArray> fields = text.split(',');
    if (fields.size() < 6)
        return std::nullopt;
    bool highOk = false;
    bool lowOk = false;
    // The low byte may be followed by the rest of the sentence ("12.").
    QByteArray lowText = fields.at(5).trimmed();
    qsizetype end = 0;
    while (end < lowText.size() && lowText.at(end) >= '0' && lowText.at(end) <= '9')
        ++end;
    lowText.truncate(end);
    const int high = fields.at(4).trimmed().toInt(&highOk);
    const int low = lowText.toInt(&lowOk);
    if (!highOk || !lowOk || high < 0 || high > 255 || low < 0 || low > 255)
        return std::nullopt;
    return quint16(high * 256 + low);
}

qint64 AnnouncedSize(const QByteArray& reply) {
    const qsizetype at = reply.toUpper().indexOf("BYTE");
    // "195.3 kbytes" is a rounded figure, not a size to check a file by.
    if (at < 0 || (at > 0 && std::isalpha(static_cast<unsigned char>(reply.at(at - 1)))))
        return 0;
    // The reply code itself is never the size.
    const qsizetype floor = ReplyCode(reply) > 0 ? reply.indexOf(' ') + 1 : 0;
    qsizetype i = at - 1;
    while (i >= floor && !(reply.at(i) >= '0' && reply.at(i) <= '9'))
        --i;
    if (i < floor)
        return 0;
    const qsizetype last = i;
    while (i >= floor && reply.at(i) >= '0' && reply.at(i) <= '9')
        --i;
    if (i >= floor && (reply.at(i) == '.' || reply.at(i) == ','))
        return 0;
    return reply.mid(i + 1, last - i).toLongLong();
}

QString QuotedPath(const QString& reply) {
    const qsizetype first = reply.indexOf(QLatin1Char('"'));
    if (first < 0)
        return {};
    QString path;
    for (qsizetype i = first + 1; i < reply.size(); ++i) {
        if (reply.at(i) != QLatin1Char('"')) {
            path += reply.at(i);
            continue;
        }
        if (i + 1 < reply.size() && reply.at(i + 1) == QLatin1Char('"')) {
            path += QLatin1Char('"');
            ++i;
            continue;
        }
        break;
    }
    return path;
}

qint64 SizeReply(const QByteArray& reply) {
    if (ReplyCode(reply) != 213)
        return -1;
    bool ok = false;
    const qint64 size = reply.mid(4).trimmed().toLongLong(&ok);
    return ok && size >= 0 ? size : -1;
}

int VendorFromSyst(const QByteArray& reply) {
    const struct {
        const char* word;
        int vendor;
    } order[] = {{"UNIX", 2400}, {"NETWARE", 2416}, {"DOS", 2401},   {"VMS", 2406},
                 {"MVS", 2408},  {"VM", 2402},      {"MACOS", 2404}, {"OS/400", 2414}};
    for (const auto& entry : order) {
        if (reply.contains(entry.word))
            return entry.vendor;
    }
    return VendorOther;
}

QString LineText(const QByteArray& line) {
    QByteArray text = line;
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    return WireText::Decode(text);
}

} // namespace FtpReplies
