// Filters duplicates between two big listings with the main window shown
// (offscreen platform): from the start of a run to both lists showing what
// is left, in both matching modes, and how long the window's event loop
// went without a turn meanwhile. A floor from the same machine: sort and
// comm on the same names.
//
// Usage: bench_dupes [entries-per-side] [runs]

#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/MainWindow.h"
#include "dupes/DupeMatching.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

// Release-style names; a shared name is written with "_" on one side half
// of the time, as servers that rename do.
QStringList Names(int count, int firstShared, int shared, bool otherSide) {
    static const char* const words[] = {"Some", "Release", "Name", "Live", "Final", "Proper",
                                        "Remix", "Edition", "Part", "Cut", "Extended", "Mix"};
    QRandomGenerator random(otherSide ? 7 : 3);
    QStringList names;
    for (int i = 0; i < count; ++i) {
        const bool common = i < shared;
        QRandomGenerator words_random(common ? quint32(firstShared + i) : random.generate());
        QString name;
        for (int w = 0; w < 3; ++w)
            name += QString::fromLatin1(words[words_random.bounded(12)]) + QLatin1Char('.');
        name += QStringLiteral("%1.2026-GRP").arg(common ? firstShared + i : int(random.bounded(1u << 30)) + (otherSide ? 1 : 0) * 7);
        if (!common)
            name += otherSide ? QStringLiteral("-R") : QStringLiteral("-L");
        if (common && otherSide && i % 2 == 0)
            name.replace(QLatin1Char('.'), QLatin1Char('_'));
        names << name;
    }
    std::shuffle(names.begin(), names.end(), std::mt19937(otherSide ? 11 : 13));
    return names;
}

void Fill(Side& side, const QStringList& names) {
    ListingModel& listing = side.listing();
    listing.beginListing();
    for (const QString& name : names) {
        DirEntry entry;
        entry.name = name;
        entry.sizeText = QStringLiteral("1,024");
        entry.attributes = QStringLiteral("-rw-r--r--");
        listing.AddListEntry(entry);
    }
    listing.endListing();
}

struct RunFigures {
    double seconds = 0;
    qint64 longestGapMs = 0;
    int leftAfter = 0;
    int rightAfter = 0;
};

RunFigures RunOnce(App& app, const QStringList& left, const QStringList& right) {
    Fill(app.left(), left);
    Fill(app.right(), right);
    QCoreApplication::processEvents();
    // The window's event loop: the longest time between two turns.
    QElapsedTimer sinceTurn;
    qint64 longest = 0;
    QTimer turns;
    turns.setInterval(1);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        longest = std::max(longest, sinceTurn.restart());
    });
    QSignalSpy completed(&app.dupeFilter(), &DupeFilter::completed);
    QElapsedTimer clock;
    clock.start();
    sinceTurn.start();
    turns.start();
    app.dupeFilter().RemoveDupes1Click();
    completed.wait(60000);
    QCoreApplication::processEvents(); // the views' repaint
    RunFigures figures;
    figures.seconds = clock.nsecsElapsed() / 1e9;
    turns.stop();
    figures.longestGapMs = std::max(longest, sinceTurn.elapsed());
    figures.leftAfter = app.left().listing().count();
    figures.rightAfter = app.right().listing().count();
    return figures;
}

double CommSeconds(const QStringList& left, const QStringList& right) {
    QTemporaryDir dir;
    for (auto [name, list] : {std::pair{"l", left}, std::pair{"r", right}}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(list.join(QLatin1Char('\n')).toLower().toUtf8() + '\n');
    }
    QElapsedTimer clock;
    clock.start();
    QProcess shell;
    shell.setWorkingDirectory(dir.path());
    shell.start(QStringLiteral("sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("sort l > ls && sort r > rs && comm -12 ls rs > /dev/null")});
    shell.waitForFinished(60000);
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int entries = argc > 1 ? std::max(10, atoi(argv[1])) : 20000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    const QStringList left = Names(entries, 0, entries / 2, false);
    const QStringList right = Names(entries, 0, entries / 2, true);

    TempDataDir data;
    // The local lists show a quiet folder of their own: a busy one (the
    // temporary folder) would have them re-reading it during the runs.
    QTemporaryDir quiet;
    data.writeFile(QStringLiteral("Korvane.ini"),
                   "[_Main_]\r\nWidth=1000\r\nHeight=700\r\nDownload Directory=" +
                       quiet.path().toUtf8() + "\r\n");
    RecordingDesktopServices services;
    ScriptedUserPrompts prompts;
    App app(DataPaths(data.path()), services, prompts);
    // The benchmark's own arguments are no site to connect to.
    app.setCommandLine({});
    MainWindow window(app);
    window.show();
    QCoreApplication::processEvents();

    const double comm = CommSeconds(left, right);
    std::printf("%d entries a side, %d shared; sort+comm floor %.3f s\n", entries, entries / 2,
                comm);
    std::printf("| mode | median s | max s | longest event-loop gap ms | rows left (L/R) | ratio to sort+comm |\n");
    std::printf("|---|---|---|---|---|---|\n");
    bool met = true;
    for (bool exact : {true, false}) {
        app.WriteToggle(ToggleKey::DupeMatch, exact);
        std::vector<double> times;
        RunFigures last;
        qint64 longestGap = 0;
        for (int run = 0; run < runs; ++run) {
            last = RunOnce(app, left, right);
            times.push_back(last.seconds);
            longestGap = std::max(longestGap, last.longestGapMs);
        }
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        // The matching alone, on the worker's copies of the names.
        const std::atomic<bool> noStop{false};
        QElapsedTimer matching;
        matching.start();
        const DupeOutcome outcome = exact ? ExactDupes(left, right, noStop) : PartialDupes(left, right, noStop);
        std::fprintf(stderr, "%s matching alone %.3f s, %d removed\n", exact ? "exact" : "partial",
                     matching.nsecsElapsed() / 1e9, outcome.removed);
        std::printf("| %s | %.3f | %.3f | %lld | %d/%d | %.1f |\n", exact ? "exact" : "partial",
                    median, times.back(), static_cast<long long>(longestGap), last.leftAfter,
                    last.rightAfter, comm > 0 ? median / comm : 0.0);
        met = met && median < 1.0;
    }
    std::printf("target under 1 s each: %s\n", met ? "met" : "NOT met");
    return met ? 0 : 1;
}
