#include "ListingData.h"

#include <QDateTime>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace ListingData {

namespace {

struct Random {
    quint64 x = 0x9E3779B97F4A7C15ull;
    quint64 next() {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        return x;
    }
    int below(int n) { return int(next() % quint64(n)); }
};

// Every name carries its index, so all are distinct.
QString fileName(int i, Random& r) {
    const QString n = QString::number(i);
    switch (r.below(10)) {
    case 0:
        return QStringLiteral("IMG_2023%1_%2.jpg").arg(1000 + r.below(9000)).arg(n);
    case 1:
        return QStringLiteral("report %1 final (v%2).pdf").arg(n).arg(r.below(9) + 1);
    case 2:
        return QStringLiteral("src_module_%1.cpp").arg(n);
    case 3:
        return QStringLiteral("backup-2019-07-%1.tar.gz").arg(n);
    case 4:
        return QStringLiteral("Übersicht Köln %1.txt").arg(n);
    case 5:
        return QStringLiteral("a%1").arg(n);
    case 6:
        return QStringLiteral("Some.Long.Release.Name.%1.1080p.WEB.x264-GROUP.mkv").arg(n);
    case 7:
        return QStringLiteral("notes_%1.md").arg(n);
    case 8:
        return QStringLiteral("Track %1 - Artist Name.flac").arg(n);
    default:
        return QStringLiteral("data-%1.csv").arg(n);
    }
}

QString directoryName(int i, Random& r) {
    const QString n = QString::number(i);
    switch (r.below(4)) {
    case 0:
        return QStringLiteral("project-%1").arg(n);
    case 1:
        return QStringLiteral("Photos %1").arg(n);
    case 2:
        return QStringLiteral("build_%1").arg(n);
    default:
        return QStringLiteral("Ordner Ä %1").arg(n);
    }
}

} // namespace

std::vector<Entry> MakeEntries(int count) {
    Random r;
    std::vector<Entry> entries;
    entries.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        Entry e;
        e.directory = i % 10 == 0;
        e.name = e.directory ? directoryName(i, r) : fileName(i, r);
        // Sizes from a few bytes to a few GiB, most of them small.
        const int bits = 4 + r.below(28);
        e.size = e.directory ? 4096 : qint64(r.next() % (quint64(1) << bits));
        // Up to three years old: recent ones list with a time, older with a year.
        e.ageSeconds = qint64(r.next() % (3ull * 365 * 86400));
        entries.push_back(std::move(e));
    }
    return entries;
}

bool CreateDirectory(const QString& dir, const std::vector<Entry>& entries, QString& error) {
    const QByteArray base = dir.toUtf8();
    if (::mkdir(base.constData(), 0755) != 0) {
        error = QStringLiteral("mkdir %1: %2").arg(dir, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    const time_t now = ::time(nullptr);
    for (const Entry& e : entries) {
        const QByteArray path = base + '/' + e.name.toUtf8();
        if (e.directory) {
            if (::mkdir(path.constData(), 0755) != 0) {
                error = QStringLiteral("mkdir: ") + QString::fromLocal8Bit(strerror(errno));
                return false;
            }
        } else {
            // Sparse: the sizes cost no disk.
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (fd < 0 || ::ftruncate(fd, e.size) != 0) {
                error =
                    QStringLiteral("creating a file: ") + QString::fromLocal8Bit(strerror(errno));
                if (fd >= 0)
                    ::close(fd);
                return false;
            }
            ::close(fd);
        }
        const timespec times[2] = {{now, 0}, {now - time_t(e.ageSeconds), 0}};
        if (::utimensat(AT_FDCWD, path.constData(), times, 0) != 0) {
            error = QStringLiteral("utimensat: ") + QString::fromLocal8Bit(strerror(errno));
            return false;
        }
    }
    return true;
}

void RemoveDirectory(const QString& dir) {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(dir.toStdString()), ignored);
}

QStringList UnixListing(const std::vector<Entry>& entries) {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDateTime now = QDateTime::currentDateTime();
    QStringList lines;
    lines.reserve(qsizetype(entries.size()));
    for (const Entry& e : entries) {
        const QDateTime when = now.addSecs(-e.ageSeconds);
        const QDate d = when.date();
        // As ls prints it: a time for the last six months, else the year.
        const QString stamp = e.ageSeconds < 180 * 86400 ? when.toString(QStringLiteral("HH:mm"))
                                                         : QStringLiteral(" %1").arg(d.year());
        lines << QStringLiteral("%1 %2 korvane  users %3 %4 %5 %6 %7")
                     .arg(QLatin1String(e.directory ? "drwxr-xr-x" : "-rw-r--r--"))
                     .arg(e.directory ? 2 : 1, 4)
                     .arg(e.size, 12)
                     .arg(QLatin1String(months[d.month() - 1]))
                     .arg(d.day(), 2)
                     .arg(stamp, 5)
                     .arg(e.name);
    }
    return lines;
}

} // namespace ListingData
