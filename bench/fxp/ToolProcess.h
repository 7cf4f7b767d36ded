#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

// A peer or Korvane process run to its end under a deadline. The shared
// runTool waits without a bound; a hung FXP would hang the benchmark.
struct StampedLine {
    double seconds = 0; // since the start, when the line was read
    QByteArray text;
};

struct ProcessRun {
    bool ok = false;      // started, exited by itself, exit status 0
    bool timedOut = false;
    int exitCode = -1;
    QString error;
    double seconds = 0;    // start to exit
    double cpuSeconds = 0; // user + system of the child
    QByteArray output;     // standard output and error together, when kept
    std::vector<StampedLine> lines; // the same, a line each, when stamped
};

enum class OutputMode {
    Discard, // to /dev/null
    Keep,    // into output
    Stamp,   // into lines, each stamped on arrival
};

// argv[0] is looked up in PATH. The event loop runs meanwhile, so the
// servers this process started keep being served.
ProcessRun runProcess(const QList<QByteArray>& argv, OutputMode mode, double timeoutSeconds);

// After SIGINT or SIGTERM the running child is killed and Interrupted()
// turns true, so the caller can skip to removing its files and servers;
// a second signal ends the process.
void StopOnSignals();
bool Interrupted();
