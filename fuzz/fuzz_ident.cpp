// Ident queries: whatever a client sends, the answer is exactly one line.
#include "FuzzSupport.h"
#include "services/IdentReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray request = InputBytes(data, size);
    const QByteArray reply =
        IdentReply(request, QStringLiteral("UNIX"), QStringLiteral("korvane"));
    FUZZ_CHECK(reply.endsWith("\r\n"));
    FUZZ_CHECK(reply.count('\n') == 1 && reply.count('\r') == 1);
    FUZZ_CHECK(reply.size() <= IdentRequestLimit + 64);
    FUZZ_CHECK(reply.contains(" : USERID : UNIX : korvane"));
    return 0;
}
