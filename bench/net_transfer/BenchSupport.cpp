#include "BenchSupport.h"

#include <QByteArray>
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

namespace BenchSupport {

namespace {

double cpuOf(const rusage& usage) {
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

CurlRun runCurl(const QStringList& arguments) {
    CurlRun run;
    QTemporaryFile out;
    if (!out.open()) {
        run.error = QStringLiteral("no temporary file for curl's output");
        return run;
    }
    QList<QByteArray> words{"curl", "-s", "-S", "-w",
                            "%{time_pretransfer} %{time_total} %{size_download} "
                            "%{size_upload} %{response_code}"};
    for (const QString& argument : arguments)
        words << argument.toLocal8Bit();
    std::vector<char*> argv;
    for (QByteArray& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out.handle(), STDOUT_FILENO);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "curl", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        run.error =
            QStringLiteral("cannot start curl: ") + QString::fromLocal8Bit(strerror(spawned));
        return run;
    }
    int status = 0;
    rusage usage{};
    pid_t waited;
    do {
        waited = wait4(pid, &status, 0, &usage);
    } while (waited < 0 && errno == EINTR);
    run.cpuSeconds = cpuOf(usage);
    run.maxRssKiB = usage.ru_maxrss;

    QFile result(out.fileName());
    result.open(QIODevice::ReadOnly);
    const QList<QByteArray> fields = result.readAll().simplified().split(' ');
    if (waited != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0 || fields.size() != 5) {
        run.error = QStringLiteral("curl failed (exit status %1)").arg(WEXITSTATUS(status));
        return run;
    }
    run.preTransfer = fields[0].toDouble();
    run.total = fields[1].toDouble();
    run.bytes = std::max(fields[2].toLongLong(), fields[3].toLongLong());
    if (fields[4] != "226" && fields[4] != "250") {
        run.error = QStringLiteral("curl ended with reply %1").arg(QString::fromLatin1(fields[4]));
        return run;
    }
    run.ok = true;
    return run;
}

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

bool resetPeakMemory() {
    // "5" resets VmHWM to the current resident size (Linux 4.0 and later).
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

bool makeFile(const QString& path, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Varied bytes in every block, so a block landing in the wrong place shows.
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (qint64 written = 0; written < size; written += block.size()) {
        for (int i = 0; i < block.size(); i += 4) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            std::memcpy(block.data() + i, &x, 4);
        }
        if (file.write(block.constData(), std::min<qint64>(block.size(), size - written)) < 0)
            return false;
    }
    return true;
}

bool sameContent(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    QByteArray ba(1024 * 1024, Qt::Uninitialized);
    QByteArray bb(1024 * 1024, Qt::Uninitialized);
    for (;;) {
        const qint64 na = fa.read(ba.data(), ba.size());
        const qint64 nb = fb.read(bb.data(), bb.size());
        if (na != nb || na < 0)
            return false;
        if (na == 0)
            return true;
        if (std::memcmp(ba.constData(), bb.constData(), size_t(na)) != 0)
            return false;
    }
}

void settleDisk() {
    ::sync();
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double spread(const std::vector<double>& values) {
    const double middle = median(values);
    if (values.empty() || middle == 0)
        return 0;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return (*high - *low) / middle;
}

} // namespace BenchSupport
