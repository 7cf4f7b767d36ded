#pragma once

#include "BenchTools.h"

#include <QString>
#include <QStringList>

#include <vector>

// Helpers of bench_transfer: the peer tool's runs, this process's CPU time
// and memory, test files and medians.
namespace BenchSupport {

// One curl run: its own timing fields, and the CPU and peak memory the
// kernel accounted to the child process.
struct CurlRun {
    bool ok = false;
    QString error;
    double preTransfer = 0; // %{time_pretransfer}: the RETR/STOR reply is in
    double total = 0;       // %{time_total}: the final reply is in
    qint64 bytes = 0;       // %{size_download} or %{size_upload}
    double cpuSeconds = 0;  // user + system
    long maxRssKiB = 0;
};

// Runs curl with the arguments (plus -s -S and the -w timing fields) and
// waits for it with wait4, which yields the child's own resource usage.
CurlRun runCurl(const QStringList& arguments);

using BenchTools::monotonicSeconds;
using BenchTools::processCpuSeconds;
using BenchTools::resetPeakMemory;
using BenchTools::median;

bool makeFile(const QString& path, qint64 size);
// True when both files exist and hold the same bytes.
bool sameContent(const QString& a, const QString& b);
// Flushes what the previous run left dirty, so that its write-back does not
// land in the next run.
void settleDisk();

// (max - min) / median, as a fraction.
double spread(const std::vector<double>& values);

} // namespace BenchSupport
