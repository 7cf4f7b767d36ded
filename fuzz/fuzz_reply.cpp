// Control-connection replies: bytes arrive in pieces, ReceiveBuffer assembles
// lines, the framing of ReadReply groups them into replies, and every reply
// helper reads each line.
#include "FuzzSupport.h"
#include "net/FtpReplies.h"
#include "net/ReceiveBuffer.h"

using namespace FtpReplies;

namespace {

void ReadEveryWay(const QByteArray& line) {
    const int code = ReplyCode(line);
    FUZZ_CHECK(code >= -32768 && code <= 32767);
    if (const auto port = PassivePort(line))
        (void)*port;
    FUZZ_CHECK(AnnouncedSize(line) >= 0);
    const qint64 size = SizeReply(line);
    FUZZ_CHECK(size >= -1);
    const QString text = LineText(line);
    FUZZ_CHECK(!text.endsWith(u'\n') && !text.endsWith(u'\r'));
    (void)QuotedPath(text);
    (void)VendorFromSyst(line);
    (void)Classify(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // The first byte picks how the bytes arrive and how tight the limits are.
    const size_t chunk = 1 + data[0] % 61;
    const qsizetype lineLimit = (data[0] & 0x40) ? 80 : ReceiveBuffer::DefaultLineLimit;
    const qsizetype sizeLimit = (data[0] & 0x80) ? 200 : 0;
    ++data;
    --size;
    const QByteArray input = InputBytes(data, size);

    ReceiveBuffer buffer;
    buffer.setLineLimit(lineLimit);
    buffer.setSizeLimit(sizeLimit);
    QByteArray assembled;
    bool overflowed = false;
    QByteArray first;
    int replyLines = 0;
    for (size_t at = 0; at < size; at += chunk) {
        buffer.append(reinterpret_cast<const char*>(data + at), qsizetype(std::min(chunk, size - at)));
        while (buffer.hasLine()) {
            const QByteArray line = buffer.takeLine();
            FUZZ_CHECK(line.endsWith('\n') && line.count('\n') == 1);
            FUZZ_CHECK(line.size() <= lineLimit);
            assembled += line;
            ReadEveryWay(line);
            // The framing ReadReply applies.
            if (first.isEmpty()) {
                if (OpensMultiLine(line))
                    first = line;
                replyLines = 1;
            } else {
                ++replyLines;
                if (ClosesMultiLine(first, line))
                    first.clear();
            }
        }
        FUZZ_CHECK(buffer.size() <= qMax(lineLimit, sizeLimit > 0 ? sizeLimit : lineLimit) + qsizetype(chunk));
        if (buffer.takeOverflow())
            overflowed = true;
    }
    FUZZ_CHECK(!buffer.hasLine());
    const QByteArray rest = buffer.take(0);
    FUZZ_CHECK(!rest.contains('\n'));
    // Nothing is lost or invented unless an overlong line was reported.
    if (!overflowed)
        FUZZ_CHECK(assembled + rest == input);
    return 0;
}
