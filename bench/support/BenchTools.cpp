#include "BenchTools.h"

#include <QFile>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace BenchTools {

namespace {

double cpuOf(const rusage& usage) {
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

double monotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return cpuOf(usage);
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool resetPeakMemory() {
    // "5" resets VmHWM to the current resident size (Linux 4.0 and later).
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

ToolRun runTool(const QList<QByteArray>& words, bool keepOutput) {
    ToolRun run;
    QTemporaryFile out;
    if (keepOutput && !out.open()) {
        run.error = QStringLiteral("no temporary file for the output");
        return run;
    }
    const int sink = keepOutput ? int(out.handle()) : ::open("/dev/null", O_WRONLY);
    QList<QByteArray> copy = words;
    std::vector<char*> argv;
    for (QByteArray& word : copy)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sink, STDOUT_FILENO);
    pid_t pid = 0;
    const double start = monotonicSeconds();
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (!keepOutput)
        ::close(sink);
    if (spawned != 0) {
        run.error = QStringLiteral("cannot start %1: %2")
                        .arg(QString::fromLocal8Bit(words.first()),
                             QString::fromLocal8Bit(strerror(spawned)));
        return run;
    }
    int status = 0;
    rusage usage{};
    pid_t waited;
    do {
        waited = wait4(pid, &status, 0, &usage);
    } while (waited < 0 && errno == EINTR);
    run.seconds = monotonicSeconds() - start;
    run.cpuSeconds = cpuOf(usage);
    run.maxRssKiB = usage.ru_maxrss;
    if (waited != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        run.error = QStringLiteral("%1 failed (exit status %2)")
                        .arg(QString::fromLocal8Bit(words.first()))
                        .arg(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
        return run;
    }
    if (keepOutput) {
        QFile result(out.fileName());
        if (result.open(QIODevice::ReadOnly))
            run.output = result.readAll();
    }
    run.ok = true;
    return run;
}

} // namespace BenchTools
