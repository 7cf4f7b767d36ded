#include "ToolProcess.h"

#include "BenchTools.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QProcess>
#include <QSocketNotifier>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_interrupted{false};
int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    g_interrupted = true;
    const char byte = 1;
    if (g_signalPipe[1] >= 0)
        [[maybe_unused]] const ssize_t ignored = ::write(g_signalPipe[1], &byte, 1);
}

// QProcess reaps the child itself; what the kernel accounted to it shows in
// this process's children total, which only children already reaped add to.
double childrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void splitLines(QByteArray& pending, double at, std::vector<StampedLine>& lines, bool flush) {
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = pending.indexOf('\n', start);
        if (end < 0)
            break;
        QByteArray line = pending.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.push_back({at, line});
        start = end + 1;
    }
    pending.remove(0, start);
    if (flush && !pending.isEmpty()) {
        lines.push_back({at, pending});
        pending.clear();
    }
}

} // namespace

void StopOnSignals() {
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        g_signalPipe[0] = g_signalPipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // A second one ends the benchmark at once.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted() {
    return g_interrupted;
}

ProcessRun runProcess(const QList<QByteArray>& words, OutputMode mode, double timeoutSeconds) {
    ProcessRun run;
    const QString program = QString::fromLocal8Bit(words.first());
    QStringList arguments;
    for (qsizetype i = 1; i < words.size(); ++i)
        arguments << QString::fromLocal8Bit(words[i]);

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    if (mode == OutputMode::Discard)
        process.setStandardOutputFile(QProcess::nullDevice());

    QEventLoop loop;
    QByteArray pending;
    double start = 0;
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &loop, [&] {
        const QByteArray data = process.readAllStandardOutput();
        if (mode == OutputMode::Keep) {
            run.output += data;
        } else if (mode == OutputMode::Stamp) {
            pending += data;
            splitLines(pending, BenchTools::monotonicSeconds() - start, run.lines, false);
        }
    });
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, [&](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            loop.quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, [&] {
        run.timedOut = true;
        loop.quit();
    });
    // Clean-up started after the signal still runs, bounded by its deadline.
    std::unique_ptr<QSocketNotifier> signalled;
    if (!Interrupted() && g_signalPipe[0] >= 0) {
        signalled = std::make_unique<QSocketNotifier>(g_signalPipe[0], QSocketNotifier::Read);
        QObject::connect(signalled.get(), &QSocketNotifier::activated, &loop, [&] {
            run.timedOut = true;
            loop.quit();
        });
    }

    const double cpuBefore = childrenCpuSeconds();
    start = BenchTools::monotonicSeconds();
    process.start(program, arguments);
    deadline.start(std::chrono::milliseconds(qint64(timeoutSeconds * 1000)));
    if (process.state() != QProcess::NotRunning)
        loop.exec();
    if (process.error() == QProcess::FailedToStart) {
        run.error = QStringLiteral("cannot start %1: %2").arg(program, process.errorString());
        return run;
    }
    if (run.timedOut) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.seconds = BenchTools::monotonicSeconds() - start;
    if (mode != OutputMode::Discard) {
        const QByteArray rest = process.readAllStandardOutput();
        if (mode == OutputMode::Keep)
            run.output += rest;
        else
            pending += rest;
    }
    if (mode == OutputMode::Stamp)
        splitLines(pending, run.seconds, run.lines, true);
    run.cpuSeconds = childrenCpuSeconds() - cpuBefore;
    if (run.timedOut) {
        run.error = Interrupted() && signalled
                        ? QStringLiteral("interrupted; %1 killed").arg(program)
                        : QStringLiteral("%1 did not end within %2 s; killed")
                              .arg(program)
                              .arg(timeoutSeconds);
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (run.exitCode != 0) {
        run.error = QStringLiteral("%1 failed (exit status %2)").arg(program).arg(run.exitCode);
        return run;
    }
    run.ok = true;
    return run;
}
