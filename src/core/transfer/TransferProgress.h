#pragma once

#include <QLocale>
#include <QString>

// What a queue run has moved so far. 64-bit: runs pass 2 GB easily.
struct RunTotals {
    qint64 bytes = 0;
    qint64 seconds = 0;
    int files = 0;
};

// "mm:ss" below an hour, else "hh:mm:ss" (more digits past 99 hours).
QString FormatDuration(qint64 seconds);

// One file done: counted into the totals (at least one second each) and
// described: "Transfer done: name 1,024 bytes in 00:01 (1.00 k/sec)".
QString FormatTransferDone(qint64 milliseconds, qint64 bytes, const QString& name,
                           RunTotals& totals, const QLocale& locale);

// A download's or upload's progress: "Receiving 1,048,576 of 2,097,152
// (102.40 k/sec)  50%   Remain: 00:10"; empty until both counts are known.
QString ProgressLine(const QString& prefix, qint64 done, qint64 total, qint64 elapsedMs,
                     const QLocale& locale);

// The window title during a site-to-site file: "dirs-files (mm:ss)", or
// "(??:??)" when reset after a file.
QString TransferTitle(int directories, int files, qint64 elapsedSeconds, bool reset);
