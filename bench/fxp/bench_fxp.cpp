// Server-to-server copies by Korvane's unattended batch mode and by lftp's
// FXP, between the same two servers in the same run:
//   big    one big file (1 GiB unless the disks hold less)
//   tree   1,000 files of 4 KiB in 20 directories
//   small  one 4 KiB file: start, two logins and one file, the fixed cost
// and, for the tree, the commands each tool sends per file (commands).
//
//   bench_fxp [runs] [MiB] [cases]   (defaults 3, 1024, "small big tree commands")
//
// Servers: KORVANE_TEST_FTP_A (source) and KORVANE_TEST_FTP_B (target), else
// pyftpdlib on 127.0.0.2 and 127.0.0.3. KORVANE_BENCH_FXP_ROOT_A / _B name the
// local directories those URLs' directories are, when the servers run here:
// the files are then made and checked on disk instead of over FTP.
// KORVANE_BENCH_FXP_LISTEN=source or target picks the server that gets PASV.
#include "FxpData.h"
#include "FxpServers.h"
#include "ToolProcess.h"

#include "BenchTools.h"
#include "TempDataDir.h"
#include "sites/SiteStorage.h"
#include "transfer/QueueFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

using BenchTools::median;

namespace {

const QString SourceName = QStringLiteral("korvane_fxp_bench");
const QString TargetName = QStringLiteral("korvane_fxp_bench_out");
constexpr qint64 MiB = 1024 * 1024;

QByteArray loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("?");
}

QByteArray firstLine(const QByteArray& text) {
    return text.left(text.indexOf('\n')).trimmed();
}

struct Case {
    QString key;
    QString title;
    std::vector<FxpData::BenchFile> files;
    bool tree = false;
    double timeoutSeconds = 600;
};

struct Figures {
    std::vector<double> seconds, cpu;
    int failures = 0;
    double med() const { return median(seconds); }
    double spread() const {
        if (seconds.size() < 2 || med() <= 0)
            return 0;
        const auto [lo, hi] = std::minmax_element(seconds.begin(), seconds.end());
        return (*hi - *lo) / med();
    }
};

enum class Tool { Korvane, Lftp };
const char* toolName(Tool t) {
    return t == Tool::Korvane ? "Korvane" : "lftp";
}

class Bench {
public:
    Bench(const Endpoint& source, const Endpoint& target) : m_src(source), m_tgt(target) {
        m_srcDir = m_src.baseDir + SourceName + QLatin1Char('/');
        m_outDir = m_tgt.baseDir + TargetName;
    }

    bool init(QString& error);
    bool makeSource(const std::vector<FxpData::BenchFile>& files, QString& error);
    void removeAll();
    // One copy by one tool into an emptied target directory, checked afterwards.
    bool measure(const Case& c, Tool tool, OutputMode mode, ProcessRun& run, QString& error);
    qint64 roomFor(qint64 bigBytes, QString& note) const;
    // Which server listens (gets PASV), the same for both tools.
    // Which server listens (gets PASV) when this tool copies.
    void setSourceListens(Tool tool, bool on) { m_sourceListens[int(tool)] = on; }
    bool sourceListens(Tool tool) const { return m_sourceListens[int(tool)]; }
    const Endpoint& listening(Tool tool) const { return sourceListens(tool) ? m_src : m_tgt; }

private:
    ProcessRun korvane(const Case& c, OutputMode mode, QString& error);
    ProcessRun lftp(const Case& c, OutputMode mode);
    bool verify(const Case& c, QString& error);

    const Endpoint& m_src;
    const Endpoint& m_tgt;
    QString m_srcDir; // ends in '/'
    QString m_outDir; // no trailing '/'
    QTemporaryDir m_work;
    bool m_sourceListens[2] = {true, true};
};

bool Bench::init(QString& error) {
    if (!m_work.isValid()) {
        error = QStringLiteral("no temporary directory");
        return false;
    }
    // Whatever an interrupted run left; the names are the benchmark's own.
    return RemoveRemoteDir(m_src, m_src.baseDir + SourceName, error) &&
           RemoveRemoteDir(m_tgt, m_outDir, error);
}

qint64 Bench::roomFor(qint64 bigBytes, QString& note) const {
    // Every place that holds a whole copy of the big file at once, by file system.
    struct Place {
        QString path;
        dev_t device;
        qint64 free;
        int copies;
    };
    std::vector<Place> places;
    auto add = [&](const QString& path) {
        struct stat st {};
        struct statvfs vfs {};
        if (path.isEmpty() || ::stat(path.toLocal8Bit().constData(), &st) != 0 ||
            ::statvfs(path.toLocal8Bit().constData(), &vfs) != 0)
            return;
        for (Place& p : places)
            if (p.device == st.st_dev) {
                ++p.copies;
                return;
            }
        places.push_back({path, st.st_dev, qint64(vfs.f_bavail) * qint64(vfs.f_frsize), 1});
    };
    // The source on its server's disk, or staged here to upload it.
    add(m_src.localRoot.isEmpty() ? m_work.path() : m_src.localRoot);
    // The copy on the target's disk, and fetched here to check it when that disk is not ours.
    if (!m_tgt.localRoot.isEmpty()) {
        add(m_tgt.localRoot);
    } else {
        add(m_work.path());
        note += QStringLiteral("target disk not known here (set KORVANE_BENCH_FXP_ROOT_B): "
                               "its room is not checked; ");
    }
    const qint64 margin = 512 * MiB;
    qint64 size = bigBytes;
    for (const Place& p : places) {
        const qint64 fits = (p.free - margin) / p.copies;
        if (fits < size) {
            size = std::max<qint64>(0, fits / (64 * MiB) * (64 * MiB));
            note += QStringLiteral("%1 has %2 MiB free for %3 copies; ")
                        .arg(p.path)
                        .arg(p.free / MiB)
                        .arg(p.copies);
        }
    }
    return size;
}

bool Bench::makeSource(const std::vector<FxpData::BenchFile>& files, QString& error) {
    if (!m_src.localRoot.isEmpty()) {
        const QString dir = m_src.localRoot + QLatin1Char('/') + SourceName;
        QDir(dir).removeRecursively();
        return FxpData::WriteFiles(dir, files, error);
    }
    const QString stage = m_work.filePath(QStringLiteral("stage/") + SourceName);
    const bool ok = FxpData::WriteFiles(stage, files, error) &&
                    MirrorTree(m_src, Mirror::Upload, stage, m_src.baseDir + SourceName, error);
    QDir(m_work.filePath(QStringLiteral("stage"))).removeRecursively();
    return ok;
}

void Bench::removeAll() {
    QString ignored;
    RemoveRemoteDir(m_tgt, m_outDir, ignored);
    if (!m_src.localRoot.isEmpty())
        QDir(m_src.localRoot + QLatin1Char('/') + SourceName).removeRecursively();
    else
        RemoveRemoteDir(m_src, m_src.baseDir + SourceName, ignored);
}

ProcessRun Bench::korvane(const Case& c, OutputMode mode, QString& error) {
    ProcessRun failed;
    TempDataDir data;
    // The local panes show a quiet folder of their own, as a user's would,
    // not the busy temporary folder.
    const QString downloads = data.filePath(QStringLiteral("downloads"));
    if (!QDir().mkpath(downloads) ||
        !data.writeFile(QStringLiteral("Korvane.ini"),
                        "[_Main_]\r\nConnectTimeout=60\r\nRetryCount=0\r\nRetryDelay=1\r\n"
                        "Download Directory=" +
                            downloads.toUtf8() + "\r\n")) {
        failed.error = QStringLiteral("cannot write Korvane.ini");
        return failed;
    }
    // Saved sites as a user has them: passive listings ("2"); the source
    // site's second digit says which server listens ("0" the source).
    SiteStorage sites(data.filePath(QStringLiteral("Korvane.ini")));
    const Endpoint* servers[] = {&m_src, &m_tgt};
    const QString names[] = {QStringLiteral("FxpSource"), QStringLiteral("FxpTarget")};
    for (int i = 0; i < 2; ++i) {
        SiteRecord site;
        site.name = names[i];
        site.host = servers[i]->host;
        site.port = QString::number(servers[i]->port);
        site.user = servers[i]->user;
        site.password = servers[i]->password;
        site.remotePath = servers[i]->baseDir;
        site.options = i == 0 && !sourceListens(Tool::Korvane) ? QStringLiteral("21")
                                                                : QStringLiteral("20");
        if (!sites.SaveSite(site)) {
            failed.error = QStringLiteral("cannot save the site ") + names[i];
            return failed;
        }
    }
    QueueEntry entry;
    if (c.tree) {
        entry = {m_srcDir + QStringLiteral("tree"), m_outDir, QString(), 1,
                 Direction::FxpLeftToRight};
    } else {
        const FxpData::BenchFile& f = c.files.front();
        entry = {m_srcDir + f.relativePath, m_outDir + QLatin1Char('/') + f.relativePath,
                 QString::number(f.size), 3, Direction::FxpLeftToRight};
    }
    const QString queue = data.filePath(QStringLiteral("bench.kqf"));
    const QString written = QueueFile::Write(queue, {entry});
    if (!written.isEmpty()) {
        failed.error = QStringLiteral("queue file: ") + written;
        return failed;
    }
    QList<QByteArray> argv{KORVANE_EXE,        "-platform",  "offscreen",
                           "--data-dir",       data.path().toLocal8Bit(),
                           "--queue",          queue.toLocal8Bit(),
                           "--transfer",       "--exit-when-done"};
    if (mode == OutputMode::Stamp)
        argv << "--log-stdout";
    argv << "FxpSource;FxpTarget";
    Q_UNUSED(error);
    // A profiler or tracer in front of the program, words split at spaces.
    const QByteArray wrapper = qgetenv("KORVANE_BENCH_FXP_WRAPPER");
    if (!wrapper.isEmpty())
        argv = wrapper.split(' ') + argv;
    return runProcess(argv, mode, c.timeoutSeconds);
}

ProcessRun Bench::lftp(const Case& c, OutputMode mode) {
    QByteArray script = LftpCommonSettings(sourceListens(Tool::Lftp));
    if (c.tree) {
        // No SITE CHMOD per file: Korvane sets no modes either.
        script += "mirror --no-perms " + LftpQuoted(m_src.url(m_srcDir + QStringLiteral("tree"))) + ' ' +
                  LftpQuoted(m_tgt.url(m_outDir + QStringLiteral("/tree")));
    } else {
        const QString name = c.files.front().relativePath;
        script += "get " + LftpQuoted(m_src.url(m_srcDir + name)) + " -o " +
                  LftpQuoted(m_tgt.url(m_outDir + QLatin1Char('/') + name));
    }
    return RunLftp(script, mode, c.timeoutSeconds, mode == OutputMode::Stamp);
}

bool Bench::verify(const Case& c, QString& error) {
    if (!m_tgt.localRoot.isEmpty())
        return FxpData::VerifyCopy(m_tgt.localRoot + QLatin1Char('/') + TargetName, c.files, error);
    const QString fetched = m_work.filePath(QStringLiteral("fetched"));
    QDir(fetched).removeRecursively();
    const bool ok = MirrorTree(m_tgt, Mirror::Download, fetched, m_outDir, error) &&
                    FxpData::VerifyCopy(fetched, c.files, error);
    QDir(fetched).removeRecursively();
    return ok;
}

bool Bench::measure(const Case& c, Tool tool, OutputMode mode, ProcessRun& run, QString& error) {
    if (!ResetRemoteDir(m_tgt, m_outDir, error))
        return false;
    // Neither tool pays for the write-back of the other's copy.
    ::sync();
    run = tool == Tool::Korvane ? korvane(c, mode, error) : lftp(c, mode);
    if (!run.ok) {
        error = run.error;
        if (!run.output.isEmpty())
            error += QStringLiteral("\n") + QString::fromLocal8Bit(run.output.right(2000));
        for (size_t i = run.lines.size() > 30 ? run.lines.size() - 30 : 0; i < run.lines.size(); ++i)
            error += QStringLiteral("\n  ") + QString::fromLocal8Bit(run.lines[i].text);
        return false;
    }
    if (!verify(c, error)) {
        error = QStringLiteral("%1 reported success but the copy is wrong: %2")
                    .arg(QLatin1String(toolName(tool)), error);
        return false;
    }
    return true;
}

// --- What each tool sends per file, from its own log lines --------------------

struct Command {
    double at;
    QByteArray text; // the command, or a reply when reply is set
    bool reply;
};

// Korvane's status lines (--log-stdout) and lftp's debug lines (-d) as
// commands and replies; other lines are dropped.
std::vector<Command> commandsOf(const std::vector<StampedLine>& lines, Tool tool) {
    static const QRegularExpression korvaneCommand(QStringLiteral("^[A-Z]{3,4}( |$)"));
    static const QRegularExpression reply(QStringLiteral("^[1-5][0-9][0-9][ -]"));
    std::vector<Command> out;
    for (const StampedLine& l : lines) {
        QByteArray text = l.text;
        if (tool == Tool::Lftp) {
            if (text.startsWith("---> "))
                out.push_back({l.seconds, text.mid(5), false});
            else if (text.startsWith("<--- "))
                out.push_back({l.seconds, text.mid(5), true});
            continue;
        }
        const QString s = QString::fromLocal8Bit(text);
        if (reply.match(s).hasMatch())
            out.push_back({l.seconds, text, true});
        else if (korvaneCommand.match(s).hasMatch())
            out.push_back({l.seconds, text, false});
    }
    return out;
}

QByteArray verbOf(const QByteArray& command) {
    const qsizetype space = command.indexOf(' ');
    return space < 0 ? command : command.left(space);
}

// PASS never goes to a report.
QByteArray shown(const QByteArray& command) {
    return command.startsWith("PASS ") ? QByteArray("PASS ****") : command;
}

void printCommandProfile(Tool tool, const std::vector<StampedLine>& lines, int files,
                         const Endpoint& listening) {
    const std::vector<Command> all = commandsOf(lines, tool);
    QMap<QByteArray, int> verbs;
    std::vector<size_t> retr; // indexes of the RETR commands
    bool sawPasv = false, portToListening = false;
    QByteArray listeningPort = listening.host.toUtf8();
    listeningPort.replace('.', ',');
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].reply)
            continue;
        const QByteArray verb = verbOf(all[i].text);
        verbs[verb] += 1;
        if (verb == "RETR")
            retr.push_back(i);
        if (verb == "PASV")
            sawPasv = true;
        if (verb == "PORT" && all[i].text.mid(5).startsWith(listeningPort + ','))
            portToListening = true;
    }
    std::printf("\n%s: %zu commands for %d files (from %s)\n", toolName(tool),
                size_t(std::count_if(all.begin(), all.end(), [](const Command& c) { return !c.reply; })),
                files, tool == Tool::Korvane ? "--log-stdout" : "lftp -d");
    std::printf("  per verb (count, per file):");
    for (auto it = verbs.constBegin(); it != verbs.constEnd(); ++it)
        std::printf(" %s %d (%.2f)", it.key().constData(), it.value(), double(it.value()) / files);
    std::printf("\n  site to site: PASV %s, PORT with %s's address %s\n",
                sawPasv ? "sent" : "NOT SENT", qPrintable(listening.host),
                portToListening ? "sent" : "NOT SENT");
    if (retr.size() < 2)
        return;
    std::vector<double> gaps, within, boundary;
    for (size_t k = 1; k < retr.size(); ++k) {
        const double gap = all[retr[k]].at - all[retr[k - 1]].at;
        gaps.push_back(gap);
        // The tree's names start again at f000 in every directory.
        (all[retr[k]].text.endsWith("f000.bin") ? boundary : within).push_back(gap);
    }
    std::printf("  RETR to next RETR, median: %.2f ms (within a directory %.2f ms, into the "
                "next directory %.2f ms)\n",
                median(gaps) * 1000, median(within) * 1000, median(boundary) * 1000);
    auto sequence = [&](size_t k, const char* what) {
        if (k == 0 || k >= retr.size())
            return;
        std::printf("  %s (ms after the previous RETR):\n", what);
        const double t0 = all[retr[k - 1]].at;
        for (size_t i = retr[k - 1]; i <= retr[k]; ++i)
            std::printf("    %8.2f %s %s\n", (all[i].at - t0) * 1000, all[i].reply ? "<-" : "->",
                        shown(all[i].text).left(90).constData());
    };
    const size_t middle = std::min(retr.size() - 1, size_t(FxpData::FilesPerDirectory * 10 + 25));
    sequence(middle, "one file in the middle of a directory");
    const size_t next = std::min(retr.size() - 1, size_t(FxpData::FilesPerDirectory * 11));
    sequence(next, "the first file of the next directory");
}

// lftp falls back to a copy through itself when FXP cannot be set up; with
// fxp-force it fails instead. Its debug lines name every data connection it
// opens or accepts itself: each must be one of its listings, none a file's.
bool checkLftpUsesFxp(const ProcessRun& run, const Endpoint& listening, int files,
                      QString& summary, QString& error) {
    QByteArray address = listening.host.toUtf8();
    address.replace('.', ',');
    int pasv = 0, port = 0, retr = 0, stor = 0, listings = 0, ownData = 0;
    for (const StampedLine& l : run.lines) {
        const QByteArray& t = l.text;
        if (t.startsWith("---> PASV"))
            ++pasv;
        else if (t.startsWith("---> PORT " + address + ','))
            ++port;
        else if (t.startsWith("---> RETR "))
            ++retr;
        else if (t.startsWith("---> STOR "))
            ++stor;
        else if (t.startsWith("---> MLSD") || t.startsWith("---> LIST") || t.startsWith("---> NLST"))
            ++listings;
        else if (t.startsWith("---- Connecting data socket") ||
                 t.startsWith("---- Accepted data connection"))
            ++ownData;
    }
    summary = QStringLiteral("RETR %1, STOR %2, PASV %3, PORT with %4's address %5; data "
                             "connections of its own %6, listings %7")
                  .arg(retr)
                  .arg(stor)
                  .arg(pasv)
                  .arg(listening.host)
                  .arg(port)
                  .arg(ownData)
                  .arg(listings);
    if (retr != files || stor != files || pasv < files || port < files || ownData > listings) {
        error = QStringLiteral("lftp's debug lines do not show a copy server to server: ") + summary;
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    StopOnSignals();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 3;
    const qint64 requestedMiB = argc > 2 ? QByteArray(argv[2]).toLongLong() : 1024;
    const QString cases =
        argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("small big tree commands");
    if (runs < 1 || runs > 25 || requestedMiB < 1 || requestedMiB > 65536) {
        std::fprintf(stderr, "usage: bench_fxp [runs 1-25] [MiB 1-65536] [\"small big tree "
                             "commands\"]\n");
        return 2;
    }
    const ProcessRun lftpVersion = runProcess({"lftp", "--version"}, OutputMode::Keep, 10);
    const ProcessRun korvaneVersion =
        runProcess({KORVANE_EXE, "-platform", "offscreen", "--version"}, OutputMode::Keep, 30);
    if (!lftpVersion.ok || !korvaneVersion.ok) {
        std::fprintf(stderr, "needs lftp and %s: %s %s\n", KORVANE_EXE,
                     qPrintable(lftpVersion.error), qPrintable(korvaneVersion.error));
        return 1;
    }

    ServerPair servers;
    QString error;
    if (!servers.start(error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const Endpoint& src = servers.source();
    const Endpoint& tgt = servers.target();
    for (const Endpoint* e : {&src, &tgt})
        std::printf("%s %s: %s on %s:%u, directory %s%s%s\n", e == &src ? "source" : "target",
                    qPrintable(e->slot), qPrintable(e->software), qPrintable(e->host), e->port,
                    qPrintable(e->baseDir), e->ownServer ? " (pyftpdlib started here)" : "",
                    e->localRoot.isEmpty()
                        ? " (not on this disk: files made and checked over FTP)"
                        : qPrintable(QStringLiteral(" = ") + e->localRoot));
    QByteArray korvaneLine;
    for (const QByteArray& line : korvaneVersion.output.split('\n'))
        if (line.startsWith("Korvane"))
            korvaneLine = line.trimmed();
    std::printf("%s; %s\n", korvaneLine.constData(), firstLine(lftpVersion.output).constData());
    std::printf("load average at the start: %s\n", loadAverage().constData());

    Bench bench(src, tgt);
    if (!bench.init(error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QString note;
    const qint64 bigBytes = bench.roomFor(requestedMiB * MiB, note);
    if (bigBytes < requestedMiB * MiB)
        std::printf("The %lld MiB file does not fit (%s); using %lld MiB\n", requestedMiB,
                    qPrintable(note), bigBytes / MiB);
    else if (!note.isEmpty())
        std::printf("Note: %s\n", qPrintable(note));
    if (bigBytes <= 0) {
        std::fprintf(stderr, "no room for the big file\n");
        return 1;
    }

    std::vector<Case> all;
    all.push_back({QStringLiteral("small"), QStringLiteral("one 4 KiB file (fixed cost)"),
                   FxpData::SmallFile(), false, 60});
    all.push_back({QStringLiteral("big"),
                   QStringLiteral("one %1 MiB file").arg(bigBytes / MiB),
                   FxpData::BigFile(bigBytes), false, 60 + double(bigBytes / MiB) / 20});
    all.push_back({QStringLiteral("tree"), QStringLiteral("1,000 files of 4 KiB in 20 dirs"),
                   FxpData::Tree(), true, 180});
    std::vector<FxpData::BenchFile> sourceFiles;
    for (const Case& c : all)
        sourceFiles.insert(sourceFiles.end(), c.files.begin(), c.files.end());
    const double made = BenchTools::monotonicSeconds();
    if (!bench.makeSource(sourceFiles, error)) {
        std::fprintf(stderr, "making the source files: %s\n", qPrintable(error));
        bench.removeAll();
        return 1;
    }
    std::printf("source files made in %.1f s\n", BenchTools::monotonicSeconds() - made);

    bool ok = true;
    // Both tools must copy server to server, and the same way round where
    // they can: the source listens (Korvane's default) unless lftp cannot
    // copy so. With pyftpdlib, which connects at PORT, neither order is safe
    // for both: lftp with the source listening sends PORT to the target only
    // after RETR's 150, and hangs when the source's 226 comes before its
    // STOR (now and then, so one check copy cannot rule it out); Korvane with
    // the target listening sends RETR before STOR and the data is gone before
    // the target is told to store it. There each gets the order it works in.
    {
        const QByteArray wanted = qgetenv("KORVANE_BENCH_FXP_LISTEN");
        const bool pyftpdlib =
            src.software.contains(u"pyftpdlib") || tgt.software.contains(u"pyftpdlib");
        bench.setSourceListens(Tool::Korvane, wanted != "target");
        std::vector<bool> tries;
        if (wanted == "source")
            tries = {true};
        else if (wanted == "target" || (wanted.isEmpty() && pyftpdlib))
            tries = {false};
        else
            tries = {true, false};
        bool found = false;
        for (bool sourceListens : tries) {
            Case check = all[0];
            check.timeoutSeconds = 20;
            bench.setSourceListens(Tool::Lftp, sourceListens);
            ProcessRun run;
            QString summary;
            if (bench.measure(check, Tool::Lftp, OutputMode::Stamp, run, error) &&
                checkLftpUsesFxp(run, bench.listening(Tool::Lftp), 1, summary, error)) {
                std::printf("lftp FXP check, one file (lftp -d): %s\n", qPrintable(summary));
                found = true;
                break;
            }
            std::printf("lftp with the %s listening (ftp:fxp-passive-source %s) failed: %s\n",
                        sourceListens ? "source" : "target", sourceListens ? "yes" : "no",
                        qPrintable(error.left(3000)));
        }
        if (!found) {
            bench.removeAll();
            return 1;
        }
        for (Tool tool : {Tool::Korvane, Tool::Lftp}) {
            const bool s = bench.sourceListens(tool);
            std::printf("%s: PASV to the %s, PORT to the %s (%s)\n", toolName(tool),
                        s ? "source" : "target", s ? "target" : "source",
                        tool == Tool::Korvane
                            ? (s ? "source site's options \"20\"" : "source site's options \"21\"")
                            : (s ? "ftp:fxp-passive-source yes" : "ftp:fxp-passive-source no"));
        }
    }

    struct Result {
        const Case* c;
        Figures tools[2];
    };
    std::vector<Result> results;
    for (const Case& c : all) {
        if (!cases.contains(c.key))
            continue;
        Result r{&c, {}};
        for (int run = 0; run < runs && !Interrupted(); ++run) {
            // Who goes first alternates, so neither gets the quieter moments.
            for (Tool tool : run % 2 == 0 ? std::array{Tool::Korvane, Tool::Lftp}
                                           : std::array{Tool::Lftp, Tool::Korvane}) {
                if (Interrupted())
                    break;
                ProcessRun p;
                Figures& f = r.tools[tool == Tool::Korvane ? 0 : 1];
                // Kept, not shown: what a failing run said.
                if (!bench.measure(c, tool, OutputMode::Keep, p, error)) {
                    std::fprintf(stderr, "%s, %s, run %d: %s\n", qPrintable(c.key),
                                 toolName(tool), run + 1, qPrintable(error));
                    ++f.failures;
                    ok = false;
                    continue;
                }
                f.seconds.push_back(p.seconds);
                f.cpu.push_back(p.cpuSeconds);
                if (qEnvironmentVariableIsSet("KORVANE_BENCH_VERBOSE"))
                    std::fprintf(stderr, "%s %s run %d: %.3f s, CPU %.3f s\n", qPrintable(c.key),
                                 toolName(tool), run + 1, p.seconds, p.cpuSeconds);
            }
        }
        results.push_back(std::move(r));
    }

    if (!results.empty()) {
        std::printf("\nWall time from process start to exit, median of %d runs (spread = "
                    "(max - min) / median), CPU of the process; ratio Korvane / lftp, below 1: "
                    "Korvane faster\n",
                    runs);
        std::printf("%-34s %16s %7s %16s %7s %6s %12s\n", "case", "Korvane s", "CPU", "lftp s",
                    "CPU", "ratio", "K / l rate");
        const Figures* small = nullptr;
        for (const Result& r : results) {
            const Figures& k = r.tools[0];
            const Figures& l = r.tools[1];
            const qint64 bytes = FxpData::TotalBytes(r.c->files);
            const int files = int(r.c->files.size());
            QString rate;
            if (k.med() > 0 && l.med() > 0) {
                if (r.c->tree)
                    rate = QStringLiteral("%1 / %2 files/s")
                               .arg(files / k.med(), 0, 'f', 0)
                               .arg(files / l.med(), 0, 'f', 0);
                else if (bytes >= 64 * MiB)
                    rate = QStringLiteral("%1 / %2 MB/s")
                               .arg(bytes / 1e6 / k.med(), 0, 'f', 0)
                               .arg(bytes / 1e6 / l.med(), 0, 'f', 0);
            }
            std::printf("%-34s %8.3f (%4.0f%%) %7.3f %8.3f (%4.0f%%) %7.3f %6.3f %s\n",
                        qPrintable(r.c->title), k.med(), k.spread() * 100, median(k.cpu), l.med(),
                        l.spread() * 100, median(l.cpu), l.med() > 0 ? k.med() / l.med() : 0.0,
                        qPrintable(rate));
            if (r.c->key == u"small")
                small = r.tools;
        }
        // The fixed cost (start, logins, first listing) taken off both.
        for (const Result& r : results) {
            if (!small || r.c->key == u"small")
                continue;
            const double k = r.tools[0].med() - small[0].med();
            const double l = r.tools[1].med() - small[1].med();
            if (k > 0 && l > 0)
                std::printf("%-34s %8.3f %16.3f %16.3f (less the 4 KiB file's time)\n",
                            qPrintable(r.c->title), k, l, k / l);
        }
        for (const Result& r : results)
            for (int t = 0; t < 2; ++t)
                if (r.tools[t].failures)
                    std::printf("%s: %s failed %d time(s)\n", qPrintable(r.c->key),
                                toolName(Tool(t)), r.tools[t].failures);
    }

    if (cases.contains(u"commands")) {
        std::printf("\nCommands per file, tree copied once more by each tool with its log "
                    "(times are when the line reached this process)\n");
        const Case& tree = all[2];
        for (Tool tool : {Tool::Korvane, Tool::Lftp}) {
            if (Interrupted())
                break;
            ProcessRun run;
            const bool copied = bench.measure(tree, tool, OutputMode::Stamp, run, error);
            if (!copied) {
                std::fprintf(stderr, "commands, %s: %s\n", toolName(tool), qPrintable(error));
                ok = false;
            }
            std::printf("\n%s with its log: %.3f s%s", toolName(tool), run.seconds,
                        copied ? "" : " (FAILED)");
            printCommandProfile(tool, run.lines, int(tree.files.size()), bench.listening(tool));
            if (tool == Tool::Lftp && copied) {
                QString summary;
                if (checkLftpUsesFxp(run, bench.listening(tool), int(tree.files.size()), summary,
                                     error)) {
                    std::printf("  lftp FXP check: %s\n", qPrintable(summary));
                } else {
                    std::fprintf(stderr, "%s\n", qPrintable(error));
                    ok = false;
                }
            }
            const QByteArray keep = qgetenv("KORVANE_BENCH_FXP_LOGS");
            if (!keep.isEmpty()) {
                QDir().mkpath(QString::fromLocal8Bit(keep));
                QFile file(QString::fromLocal8Bit(keep) + QStringLiteral("/tree-%1.log")
                                                              .arg(QLatin1String(toolName(tool))));
                if (file.open(QIODevice::WriteOnly)) {
                    for (const StampedLine& l : run.lines)
                        file.write(QByteArray::number(l.seconds, 'f', 6) + ' ' +
                                   (l.text.contains("PASS ") ? QByteArray("(PASS line)") : l.text) +
                                   '\n');
                    std::printf("  log kept in %s\n", qPrintable(file.fileName()));
                }
            }
        }
    }

    bench.removeAll();
    if (Interrupted()) {
        std::printf("\nInterrupted: the figures above are incomplete\n");
        ok = false;
    }
    std::printf("\nload average at the end: %s\n", loadAverage().constData());
    if (!ok)
        std::printf("A RUN FAILED OR A COPY WAS WRONG (see the messages above)\n");
    return ok ? 0 : 1;
}
