// Saved queues (*.kqf): each line read on its own, the whole file read, and
// what was read written and read again unchanged.
#include "FuzzSupport.h"
#include "transfer/QueueFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = InputBytes(data, size);
    const QString path = WriteInputFile(QStringLiteral("queue.kqf"), bytes);
    const QueueFile::ReadResult read = QueueFile::Read(path);
    for (const QueueEntry& entry : read.entries) {
        FUZZ_CHECK(entry.Icon >= 0 && entry.Icon <= 9);
        FUZZ_CHECK(int(entry.direction) >= 0 && int(entry.direction) < DirectionCount);
        if (const auto line = QueueFile::EncodeLine(entry))
            FUZZ_CHECK(QueueFile::DecodeLine(*line) == entry);
    }
    const QString copy = WriteInputFile(QStringLiteral("copy.kqf"), {});
    if (QueueFile::Write(copy, read.entries).isEmpty()) {
        const QueueFile::ReadResult again = QueueFile::Read(copy);
        FUZZ_CHECK(again.error.isEmpty());
        FUZZ_CHECK(again.entries == read.entries);
    }
    return 0;
}
