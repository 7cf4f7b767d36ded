#pragma once

#include <QString>

// Whether a finished transfer delivered the whole file. Pure rules, so the
// session only gathers the facts and the rules are tested on their own.
namespace TransferCheck {

struct DownloadFacts {
    qint64 restartAt = 0;   // bytes already on disk when resuming
    qint64 remoteSize = -1; // from SIZE; -1 when unknown
    qint64 announced = 0;   // from the 1xx reply: the whole file's size; 0 when none
    qint64 received = 0;
    bool reset = false;     // the data connection ended by a reset
    bool binary = false;    // byte counts are exact only in image type
};

struct Verdict {
    QString failure;             // empty when the file arrived whole
    bool restorePartial = false; // cut the local file back to restartAt
};

// The size of the whole remote file, -1 when unknown.
qint64 WholeSize(const DownloadFacts& facts);
// Non-empty when resuming cannot be right: the local part is larger than
// the remote file.
QString ResumeRefusal(const DownloadFacts& facts);
Verdict JudgeDownload(const DownloadFacts& facts);
// Non-empty when fewer bytes than the file holds were sent.
QString UploadShortfall(qint64 sent, qint64 size);

} // namespace TransferCheck
