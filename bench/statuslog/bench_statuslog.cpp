// Appends status lines through the whole reporting path with the status pane
// on screen (offscreen platform), and compares with printf to /dev/null.
//
// Usage: bench_statuslog [lines] [lines-between-event-rounds]

#include "ProcessMemory.h"
#include "app/QtDesktopServices.h"
#include "app/QtUserPrompts.h"
#include "app/StatusLog.h"
#include "widgets/StatusConsole.h"
#include "widgets/StatusPane.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <cstdlib>

namespace {

// Replies of the kinds a session produces, some long enough to wrap.
QStringList SampleLines() {
    return {
        QStringLiteral("PASV"),
        QStringLiteral("227 Entering Passive Mode (127,0,0,1,195,80)."),
        QStringLiteral("RETR /pub/releases/some.directory.name/file-number-0042.r17"),
        QStringLiteral("150 Opening BINARY mode data connection for file-number-0042.r17 "
                       "(15000000 bytes)."),
        QStringLiteral("226 Transfer complete."),
        QStringLiteral("Transfer done: /pub/releases/some.directory.name/file-number-0042.r17 "
                       "15,000,000 bytes in 1.52 seconds (9,868.42 KB/s), a line long enough "
                       "to wrap in a narrow status window at least once or twice"),
        QStringLiteral(".."),
    };
}

const Colour SampleColours[] = {clBlue,   clGreen,           clBlue, clGreen, clGreen,
                                clMaroon, clWindowBackground};

double SecondsFor(int lines, int batch, StatusLog& log, const QStringList& samples) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i) {
        const int k = i % int(samples.size());
        log.AddStatusLine(samples[k], SampleColours[k]);
        // Lines arrive from socket events: let the window paint between bursts.
        if ((i + 1) % batch == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e9;
}

double PrintfSeconds(int lines, const QStringList& samples) {
    FILE* sink = std::fopen("/dev/null", "w");
    if (!sink)
        return 0;
    QList<QByteArray> utf8;
    for (const QString& s : samples)
        utf8 << s.toUtf8();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < lines; ++i)
        std::fprintf(sink, "%s\n", utf8[i % utf8.size()].constData());
    std::fflush(sink);
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::fclose(sink);
    return seconds;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int batch = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;

    QtDesktopServices services;
    QtUserPrompts prompts;
    StatusLog log(services);
    log.lines().setMaxRecords(200); // "Status Size" default
    log.lines().setMaxRemove(15);
    StatusPane pane(log, services, prompts);
    pane.resize(500, 160); // the default window's status pane
    pane.show();
    QCoreApplication::processEvents();

    const QStringList samples = SampleLines();
    // A first tenth shows where memory stands before the bulk of the run.
    const int warmup = lines / 10;
    SecondsFor(warmup, batch, log, samples);
    const long rssAfterWarmup = ProcessStatusKiB("VmRSS");

    const double seconds = SecondsFor(lines, batch, log, samples);
    const double printfSeconds = PrintfSeconds(lines, samples);

    std::printf("status log: %d lines, event round every %d line(s), pane %dx%d\n", lines, batch,
                pane.width(), pane.height());
    std::printf("  console:  %.3f s  %.0f lines/s  (target >= 50000)\n", seconds, lines / seconds);
    std::printf("  printf to /dev/null: %.4f s  %.0f lines/s  (console/printf time ratio %.0f)\n",
                printfSeconds, lines / printfSeconds, seconds / printfSeconds);
    std::printf("  lines held: %d (Status Size 200), rows: %d\n", log.lines().count(),
                pane.console()->totalRows());
    std::printf("  memory: VmRSS after %d lines %ld kB, at end %ld kB, VmHWM %ld kB\n", warmup,
                rssAfterWarmup, ProcessStatusKiB("VmRSS"), ProcessStatusKiB("VmHWM"));
    return lines / seconds >= 50000 ? 0 : 1;
}
