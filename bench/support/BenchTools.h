#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

// What every benchmark measures with: clocks, this process's CPU and peak
// memory, medians, and timed runs of a peer program.
namespace BenchTools {

double monotonicSeconds();
// User plus system CPU seconds of this process so far.
double processCpuSeconds();
double median(std::vector<double> values);
// Resets this process's VmHWM to its current resident size.
bool resetPeakMemory();

// One run of a peer program: wall time from spawn to exit, and what the
// kernel accounted to the child.
struct ToolRun {
    bool ok = false;
    QString error;
    double seconds = 0;
    double cpuSeconds = 0;
    long maxRssKiB = 0;
    QByteArray output; // standard output, when asked for
};
ToolRun runTool(const QList<QByteArray>& argv, bool keepOutput);

} // namespace BenchTools
