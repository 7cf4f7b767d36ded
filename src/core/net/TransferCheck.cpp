#include "net/TransferCheck.h"

#include <QLocale>

namespace TransferCheck {

namespace {
QString bytes(qint64 count) {
    return QLocale().toString(count);
}
} // namespace

qint64 WholeSize(const DownloadFacts& facts) {
    if (facts.remoteSize >= 0)
        return facts.remoteSize;
    return facts.announced > 0 ? facts.announced : -1;
}

QString ResumeRefusal(const DownloadFacts& facts) {
    const qint64 whole = WholeSize(facts);
    if (facts.restartAt <= 0 || whole < 0 || facts.restartAt <= whole)
        return {};
    return QStringLiteral("Not resumed: the local file (%1 bytes) is larger than the remote "
                          "file (%2 bytes)")
        .arg(bytes(facts.restartAt), bytes(whole));
}

Verdict JudgeDownload(const DownloadFacts& facts) {
    if (facts.reset)
        return {QStringLiteral("Download failed: the data connection was reset after %1 bytes")
                    .arg(bytes(facts.received)),
                false};
    const qint64 whole = WholeSize(facts);
    if (whole < 0)
        return {};
    const qint64 expected = whole - facts.restartAt;
    if (facts.received < expected)
        return {QStringLiteral("Download incomplete: %1 of %2 bytes arrived")
                    .arg(bytes(facts.received), bytes(expected)),
                false};
    if (facts.received == expected)
        return {};
    // More than the rest of the file after a restart: the server started
    // over, and what it appended would corrupt the partial file.
    if (facts.restartAt > 0)
        return {QStringLiteral("Download failed: the server sent %1 bytes instead of the %2 after "
                               "the restart point; the local file is back at %3 bytes")
                    .arg(bytes(facts.received), bytes(expected), bytes(facts.restartAt)),
                true};
    // In ASCII type a server may add carriage returns; only image type is exact.
    if (facts.binary)
        return {QStringLiteral("Download failed: %1 bytes arrived, %2 were announced")
                    .arg(bytes(facts.received), bytes(expected)),
                false};
    return {};
}

QString UploadShortfall(qint64 sent, qint64 size) {
    if (sent >= size)
        return {};
    return QStringLiteral("Upload incomplete: %1 of %2 bytes sent").arg(bytes(sent), bytes(size));
}

} // namespace TransferCheck
