#include "transfer/QueueFile.h"

#include "app/AtomicFile.h"
#include "net/WireText.h"

#include <QFile>

namespace QueueFile {

namespace {

constexpr char SourceMark = char(0xFF);
constexpr char TargetMark = char(0xFE);
constexpr char SizeMark = char(0xFA);

bool HoldsReserved(const QByteArray& bytes) {
    for (char c : bytes)
        if (c == SourceMark || c == TargetMark || c == SizeMark || c == '\r' || c == '\n')
            return true;
    return false;
}

} // namespace

std::optional<QByteArray> EncodeLine(const QueueEntry& entry) {
    const QByteArray source = WireText::Encode(entry.SourcePath);
    const QByteArray target = WireText::Encode(entry.TargetPath);
    const QByteArray size = WireText::Encode(entry.SizeText);
    if (HoldsReserved(source) || HoldsReserved(target) || HoldsReserved(size) || entry.Icon < 0 ||
        entry.Icon > 9)
        return std::nullopt;
    return QByteArray::number(entry.Icon) + QByteArray::number(int(entry.direction)) +
           SourceMark + source + TargetMark + target + SizeMark + size;
}

std::optional<QueueEntry> DecodeLine(QByteArrayView line, QString* reason) {
    auto fail = [reason](const char* why) -> std::optional<QueueEntry> {
        if (reason)
            *reason = QString::fromLatin1(why);
        return std::nullopt;
    };
    const qsizetype source = line.indexOf(SourceMark);
    const qsizetype target = source < 0 ? -1 : line.indexOf(TargetMark, source + 1);
    const qsizetype size = target < 0 ? -1 : line.indexOf(SizeMark, target + 1);
    if (size < 0)
        return fail("a separator is missing");
    if (source < 2 || line[0] < '0' || line[0] > '9')
        return fail("the icon is not a digit");
    bool ok = false;
    const int direction = line.sliced(1, source - 1).toByteArray().toInt(&ok);
    if (!ok || direction < 0 || direction >= DirectionCount)
        return fail("the direction is not 0 to 5");
    QueueEntry e;
    e.Icon = line[0] - '0';
    e.direction = Direction(direction);
    e.SourcePath = WireText::Decode(line.sliced(source + 1, target - source - 1).toByteArray());
    e.TargetPath = WireText::Decode(line.sliced(target + 1, size - target - 1).toByteArray());
    e.SizeText = WireText::Decode(line.sliced(size + 1).toByteArray());
    return e;
}

ReadResult Read(const QString& path) {
    ReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        return result;
    }
    const QByteArray data = file.readAll();
    qsizetype start = 0;
    for (int number = 1; start < data.size(); ++number) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0)
            end = data.size();
        QByteArrayView line(data.constData() + start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        start = end + 1;
        QString reason;
        const auto entry = DecodeLine(line, &reason);
        if (!entry) {
            result.error = QStringLiteral("Queue file %1, line %2: %3; the entries before it "
                                          "were loaded")
                               .arg(path)
                               .arg(number)
                               .arg(reason);
            return result;
        }
        result.entries.push_back(*entry);
    }
    return result;
}

QString Write(const QString& path, const std::vector<QueueEntry>& entries) {
    QByteArray data;
    for (const QueueEntry& entry : entries) {
        const auto line = EncodeLine(entry);
        if (!line)
            return QStringLiteral("Cannot save the queue: %1 holds a character the queue file "
                                  "cannot store")
                .arg(entry.SourcePath);
        data += *line + "\r\n";
    }
    QString error;
    if (!WriteFileAtomically(path, data, &error))
        return QStringLiteral("Cannot save the queue to %1: %2").arg(path, error);
    return QString();
}

} // namespace QueueFile
