// History.dat and scrambled text: every line is restored if it can be, and
// whatever restores scrambles back to the same text.
#include "FuzzSupport.h"
#include "sites/PasswordScrambler.h"
#include "sites/QuickConnect.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = InputBytes(data, size);
    const QString path = WriteInputFile(QStringLiteral("History.dat"), bytes);
    QStringList problems;
    const QList<HistoryEntry> entries = QuickConnectHistory(path).Load(&problems);
    FUZZ_CHECK(entries.size() <= QuickConnectHistory::MaxEntries);
    for (const HistoryEntry& entry : entries)
        (void)HistoryEntry::FromPlain(entry.plain());

    for (const QByteArray& line : bytes.split('\n')) {
        const QString scrambled = QString::fromLatin1(line).trimmed();
        const std::optional<QString> plain = PasswordScrambler::Restore(scrambled);
        // A U+0000 right after a key byte of 0 comes back as U+00FF, which
        // older Latin-1 files hold: no password holds U+0000.
        if (!plain || plain->contains(QChar(u'\0')))
            continue;
        const int start = size > 0 ? data[0] : 0;
        const QString again = PasswordScrambler::Scramble(*plain, start);
        FUZZ_CHECK(PasswordScrambler::Restore(again) == plain);
        (void)ScramblePassword('D', scrambled);
    }
    return 0;
}
