// Listing lines: every layout the parser knows (Unix with and without group,
// links, MS-DOS/IIS), colour codes, the date readers and the lossless
// decoding of the line's bytes.
#include "FuzzSupport.h"
#include "listing/ListDate.h"
#include "listing/ListingParser.h"
#include "net/WireText.h"

namespace {

const QDateTime Now(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

ListParseContext MakeContext(uint8_t selector) {
    ListParseContext context;
    context.systemType = (selector & 1) ? QStringLiteral("215 Windows_NT")
                                        : QStringLiteral("215 UNIX Type: L8");
    context.options.skip = selector & 2;
    context.options.skipNullFiles = selector & 4;
    context.options.skipListAppliesToDirs = selector & 8;
    context.options.favorites = selector & 16;
    context.skipList = PatternSet({QStringLiteral("*.nfo*"), QStringLiteral("?*.tmp"),
                                   QStringLiteral("incomplete*"), QStringLiteral("*")});
    context.favourites = PatternSet({QStringLiteral("*mp3*"), QStringLiteral("Linux*")});
    context.now = Now;
    context.locale = QLocale::c();
    return context;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const uint8_t selector = data[0];
    const QByteArray raw = InputBytes(data + 1, size - 1);
    const QString text = WireText::Decode(raw);
    // A name must go back to the server as the bytes it listed.
    FUZZ_CHECK(WireText::Encode(text) == raw);

    const ListParseContext context = MakeContext(selector);
    for (const QStringView line : QStringView(text).split(u'\n')) {
        if (const std::optional<DirEntry> entry = ParseListLine(line, context)) {
            FUZZ_CHECK(!entry->name.isEmpty() && entry->name != u"." && entry->name != u"..");
            FUZZ_CHECK(entry->size >= 0);
            FUZZ_CHECK(!entry->dateText.isEmpty());
            FUZZ_CHECK(!entry->attributes.isEmpty());
        }
        (void)SplitFields(line, u'/');
        (void)ReadUnixListDate(line, Now);
        (void)ReadMsDosListDate(line, Now);
        (void)NormaliseListDate(line, Now, context.locale);
    }
    return 0;
}
