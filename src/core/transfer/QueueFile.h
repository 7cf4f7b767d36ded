#pragma once

#include "transfer/QueueEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>
#include <vector>

// The queue file (*.kqf): one entry a line, CR LF, in queue order:
//   Icon digit, Direction, 0xFF, SourcePath, 0xFE, TargetPath, 0xFA, SizeText
// Paths are written as the bytes the server listed (UTF-8, or the raw bytes
// of names in other encodings), so entries go back to the server unchanged.
namespace QueueFile {

// One entry as a line without its CR LF; nothing when the entry holds a
// byte the format uses as a separator or line end (it could not be read
// back as written).
std::optional<QByteArray> EncodeLine(const QueueEntry& entry);
// One line (CR LF removed) as an entry; nothing, with the reason, when it
// is not one.
std::optional<QueueEntry> DecodeLine(QByteArrayView line, QString* reason = nullptr);

struct ReadResult {
    std::vector<QueueEntry> entries; // every entry before the first bad line
    QString error;                   // empty when the whole file was read
};
ReadResult Read(const QString& path);
// The whole queue, replacing the file in one step; the error text, or empty.
// Nothing is written when an entry cannot be stored.
QString Write(const QString& path, const std::vector<QueueEntry>& entries);

} // namespace QueueFile
