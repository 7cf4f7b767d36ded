// A directory of 100,000 entries listed by Korvane's RefreshDirectory and by
// lftp against the same server in the same run, and the parser and sort on
// their own.
//
//   bench_listing [rounds] [entries]    (defaults 5 and 100000)
//
// The server is the one KORVANE_TEST_FTP_A names, else a pyftpdlib started on
// 127.0.0.1. The entries are made straight in the server's file system: in
// our own server's root, or for an external server in the local directory
// KORVANE_BENCH_LISTING_ROOT (the one the URL's directory maps to).
#include "ListingData.h"
#include "ProcessMemory.h"
#include "ServerListing.h"

#include "listing/ListingModel.h"
#include "listing/ListingParser.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

using namespace BenchTools;

namespace {

const QString ListingName = QStringLiteral("korvane_bench_listing");
const QString EmptyName = QStringLiteral("korvane_bench_empty");

QByteArray loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("?");
}

// Removes what the benchmark made, however it ends.
struct Cleanup {
    QStringList dirs;
    ~Cleanup() {
        for (const QString& dir : dirs)
            ListingData::RemoveDirectory(dir);
    }
};

struct Figures {
    std::vector<double> seconds, cpu;
    void add(double s, double c) {
        seconds.push_back(s);
        cpu.push_back(c);
    }
};

struct ModeFigures {
    int mode = 0;
    Figures ours, lftpPassive, lftpActive;
    long lftpRssKiB = 0;
    long peakKiB = 0;         // highest VmHWM of a refresh
    std::vector<long> rssKiB; // resident after each refresh
};

void printRatio(const char* name, const Figures& ours, const Figures& theirs) {
    const double a = median(ours.seconds);
    const double b = median(theirs.seconds);
    std::printf("%-34s %9.3f %7.3f %9.3f %7.3f %7.2f\n", name, a, median(ours.cpu), b,
                median(theirs.cpu), b > 0 ? a / b : 0.0);
}

// Parse-and-sort and parser-only figures of the synthetic lines.
struct MicroFigures {
    double parseInsertMs = 0;
    double sortMs = 0;
    double totalMs = 0;
    double linesPerSecond = 0;
};

bool microBenchmark(const QStringList& lines, int rounds, MicroFigures& out) {
    ListParseContext context;
    context.systemType = QStringLiteral("215 UNIX Type: L8");
    context.now = QDateTime::currentDateTime();
    context.locale = QLocale();
    const int n = int(lines.size());
    ListingModel model;
    std::vector<double> parseInsert, sort, total, parseOnly;
    bool ok = true;
    for (int r = 0; r < rounds; ++r) {
        model.beginListing();
        const double start = monotonicSeconds();
        for (const QString& line : lines)
            if (std::optional<DirEntry> entry = ParseListLine(line, context))
                model.AddListEntry(std::move(*entry));
        model.endListing();
        const double parsed = monotonicSeconds();
        model.SortList(SortOrder{}, context.locale);
        const double end = monotonicSeconds();
        parseInsert.push_back(parsed - start);
        sort.push_back(end - parsed);
        total.push_back(end - start);
        // Directories first, then files, each by name.
        const bool ordered = model.count() == n + 1 && model.entry(0).kind == EntryKind::Parent &&
                             model.entry(1).kind == EntryKind::Directory &&
                             model.entry(n).kind == EntryKind::File;
        if (!ordered) {
            std::fprintf(stderr,
                         "parse and sort: %d rows, expected %d with \"..\", directories "
                         "and files in that order\n",
                         model.count(), n + 1);
            ok = false;
        }
    }
    for (int r = 0; r < rounds; ++r) {
        int entries = 0;
        const double start = monotonicSeconds();
        for (const QString& line : lines)
            if (ParseListLine(line, context))
                ++entries;
        parseOnly.push_back(monotonicSeconds() - start);
        if (entries != n) {
            std::fprintf(stderr, "parser: %d entries from %d lines\n", entries, n);
            ok = false;
        }
    }
    out.parseInsertMs = median(parseInsert) * 1000;
    out.sortMs = median(sort) * 1000;
    out.totalMs = median(total) * 1000;
    out.linesPerSecond = n / median(parseOnly);
    return ok;
}

// Our refreshes and lftp's runs alternate, so neither gets the quieter moments.
bool runMode(ServerListing& bench, const QString& dir, int entries, int rounds, ModeFigures& f) {
    QString error;
    if (!bench.connect(f.mode, dir, error)) {
        std::fprintf(stderr, "ListMode %d: %s\n", f.mode, qPrintable(error));
        return false;
    }
    bool ok = true;
    auto ours = [&] {
        const RefreshSample s = bench.refresh();
        if (!s.ok || s.rows != entries + 1) {
            std::fprintf(stderr, "ListMode %d: %d rows, expected %d%s%s\n", f.mode, s.rows,
                         entries + 1, s.ok ? "" : "; ", qPrintable(s.error));
            ok = false;
        }
        f.ours.add(s.seconds, s.cpuSeconds);
        f.peakKiB = std::max(f.peakKiB, s.peakKiB);
        f.rssKiB.push_back(s.rssKiB);
    };
    auto theirs = [&](bool passive) {
        const ToolRun run = bench.lftp(dir, passive, false);
        if (!run.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(run.error));
            ok = false;
        }
        (passive ? f.lftpPassive : f.lftpActive).add(run.seconds, run.cpuSeconds);
        f.lftpRssKiB = std::max(f.lftpRssKiB, run.maxRssKiB);
    };
    for (int r = 0; r < rounds; ++r) {
        if (r % 2 == 0)
            ours();
        theirs(true);
        // The session's own listing uses PORT; lftp in active mode is its peer.
        if (f.mode == 1)
            theirs(false);
        if (r % 2 == 1)
            ours();
    }
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 5;
    const int entries = argc > 2 ? QByteArray(argv[2]).toInt() : 100000;
    if (rounds < 1 || rounds > 100 || entries < 10 || entries > 2'000'000) {
        std::fprintf(stderr, "usage: bench_listing [rounds 1-100] [entries 10-2000000]\n");
        return 2;
    }

    FtpServerFixture server;
    if (!server.start()) {
        std::fprintf(stderr, "server: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    QString localParent = server.rootPath();
    QString remoteParent = server.baseDir();
    if (!remoteParent.endsWith(QLatin1Char('/')))
        remoteParent += QLatin1Char('/');
    if (!server.isLocal()) {
        localParent = QString::fromLocal8Bit(qgetenv("KORVANE_BENCH_LISTING_ROOT"));
        if (localParent.isEmpty() || !QFileInfo(localParent).isDir()) {
            std::fprintf(stderr,
                         "with KORVANE_TEST_FTP_A, set KORVANE_BENCH_LISTING_ROOT to the "
                         "local directory that %s is on the server\n",
                         qPrintable(remoteParent));
            return 1;
        }
    }
    const QString localDir = localParent + QLatin1Char('/') + ListingName;
    const QString localEmpty = localParent + QLatin1Char('/') + EmptyName;
    if (QFileInfo::exists(localDir) || QFileInfo::exists(localEmpty)) {
        std::fprintf(stderr,
                     "%s or %s is there already (left by an interrupted run?); remove "
                     "it first\n",
                     qPrintable(localDir), qPrintable(localEmpty));
        return 1;
    }
    Cleanup cleanup;
    cleanup.dirs = {localDir, localEmpty};

    const std::vector<ListingData::Entry> data = ListingData::MakeEntries(entries);
    QString error;
    const double made = monotonicSeconds();
    if (!ListingData::CreateDirectory(localDir, data, error) ||
        !ListingData::CreateDirectory(localEmpty, {}, error)) {
        std::fprintf(stderr, "making the directory: %s\n", qPrintable(error));
        return 1;
    }
    const int directories =
        int(std::count_if(data.begin(), data.end(), [](const auto& e) { return e.directory; }));
    std::printf("Server %s %s:%u; %d entries (%d files, %d directories) made in %.1f s\n",
                server.isLocal() ? "pyftpdlib" : "from KORVANE_TEST_FTP_A",
                qPrintable(server.host()), server.port(), entries, entries - directories,
                directories, monotonicSeconds() - made);
    std::printf("load average at the start: %s\n", loadAverage().constData());

    const QString remoteDir = remoteParent + ListingName;
    const QString remoteEmpty = remoteParent + EmptyName;
    ServerListing bench(server);
    if (!bench.startApp(error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    bool ok = true;

    // lftp's listing is checked once, outside the timed runs.
    const ToolRun check = bench.lftp(remoteDir, true, true);
    const qsizetype lftpLines = check.output.count('\n');
    if (!check.ok || lftpLines != entries) {
        std::fprintf(stderr, "lftp listed %lld lines, expected %d %s\n", qlonglong(lftpLines),
                     entries, qPrintable(check.error));
        ok = false;
    }
    Figures startUp;
    for (int r = 0; r < rounds; ++r) {
        const ToolRun run = bench.lftp(remoteEmpty, true, false);
        startUp.add(run.seconds, run.cpuSeconds);
    }

    const long rssBefore = ProcessStatusKiB("VmRSS");
    ModeFigures modes[2];
    modes[0].mode = 1;
    modes[1].mode = 2;
    for (ModeFigures& f : modes)
        ok = runMode(bench, remoteDir, entries, rounds, f) && ok;
    const long serverPeak = std::max(modes[0].peakKiB, modes[1].peakKiB);
    for (const QString& question : bench.asked())
        std::fprintf(stderr, "the program asked: %s\n", qPrintable(question));
    ok = ok && bench.asked().isEmpty();

    std::printf("\nRefresh of the directory, %d rounds, medians (seconds); lftp: process "
                "start to exit of `cls -l`\n",
                rounds);
    std::printf("%-34s %9s %7s %9s %7s %7s\n", "", "Korvane", "CPU", "lftp", "CPU", "ratio");
    printRatio("ListMode 1 (session, PORT) / PASV", modes[0].ours, modes[0].lftpPassive);
    printRatio("ListMode 1 (session, PORT) / PORT", modes[0].ours, modes[0].lftpActive);
    printRatio("ListMode 2 (ours, PASV) / PASV", modes[1].ours, modes[1].lftpPassive);
    std::printf("%-34s %9s %7s %9.3f %7.3f\n", "lftp on an empty directory", "", "",
                median(startUp.seconds), median(startUp.cpu));
    std::printf("\nMemory (MiB): Korvane resident %.1f before the first connect, VmHWM %.1f "
                "of the refreshes; lftp's peak %.1f\n",
                rssBefore / 1024.0, serverPeak / 1024.0,
                std::max(modes[0].lftpRssKiB, modes[1].lftpRssKiB) / 1024.0);
    for (const ModeFigures& f : modes)
        if (!f.rssKiB.empty())
            std::printf("  ListMode %d: peak during a refresh %.1f, resident after the first / "
                        "last refresh %.1f / %.1f\n",
                        f.mode, f.peakKiB / 1024.0, f.rssKiB.front() / 1024.0,
                        f.rssKiB.back() / 1024.0);

    MicroFigures micro;
    const QStringList lines = ListingData::UnixListing(data);
    ok = microBenchmark(lines, rounds, micro) && ok;
    std::printf("\nParse-and-sort of %d Unix lines (ParseListLine, AddListEntry, SortList by "
                "name), medians:\n",
                entries);
    std::printf("  parse and insert %.0f ms, sort %.0f ms, total %.0f ms (target < 500 ms for "
                "100,000)\n",
                micro.parseInsertMs, micro.sortMs, micro.totalMs);
    std::printf("  parser alone %.0f lines/s\n", micro.linesPerSecond);
    std::printf("VmHWM at the end: %.1f MiB\n", ProcessStatusKiB("VmHWM") / 1024.0);
    std::printf("load average at the end: %s\n", loadAverage().constData());
    if (!ok)
        std::printf("A CHECK FAILED (see the messages above)\n");
    return ok ? 0 : 1;
}
