#include "FxpData.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cstring>

namespace FxpData {

namespace {

constexpr qint64 Chunk = 1 << 20;

quint64 mix(quint64 x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The bytes at offset (a multiple of 8) of the file with this seed.
void fill(char* out, qint64 offset, qint64 n, quint64 seed) {
    quint64 word = quint64(offset / 8);
    qint64 done = 0;
    while (done < n) {
        const quint64 value = mix(seed * 0x100000001B3ull + word++);
        const qint64 take = std::min<qint64>(8, n - done);
        std::memcpy(out + done, &value, size_t(take));
        done += take;
    }
}

} // namespace

std::vector<BenchFile> BigFile(qint64 size) {
    return {{QStringLiteral("big.bin"), size, 1}};
}

std::vector<BenchFile> SmallFile() {
    return {{QStringLiteral("small.bin"), TreeFileSize, 2}};
}

std::vector<BenchFile> Tree() {
    std::vector<BenchFile> files;
    for (int d = 0; d < TreeDirectories; ++d)
        for (int f = 0; f < FilesPerDirectory; ++f)
            files.push_back({QStringLiteral("tree/d%1/f%2.bin")
                                 .arg(d, 2, 10, QLatin1Char('0'))
                                 .arg(f, 3, 10, QLatin1Char('0')),
                             TreeFileSize, quint64(1000 + d * FilesPerDirectory + f)});
    return files;
}

qint64 TotalBytes(const std::vector<BenchFile>& files) {
    qint64 total = 0;
    for (const BenchFile& f : files)
        total += f.size;
    return total;
}

bool WriteFiles(const QString& root, const std::vector<BenchFile>& files, QString& error) {
    QByteArray buffer(Chunk, Qt::Uninitialized);
    for (const BenchFile& wanted : files) {
        const QString path = root + QLatin1Char('/') + wanted.relativePath;
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
            error = QStringLiteral("cannot make the directory of ") + path;
            return false;
        }
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            error = path + QStringLiteral(": ") + file.errorString();
            return false;
        }
        for (qint64 at = 0; at < wanted.size; at += Chunk) {
            const qint64 n = std::min(Chunk, wanted.size - at);
            fill(buffer.data(), at, n, wanted.seed);
            if (file.write(buffer.constData(), n) != n) {
                error = path + QStringLiteral(": ") + file.errorString();
                return false;
            }
        }
        if (!file.flush()) {
            error = path + QStringLiteral(": ") + file.errorString();
            return false;
        }
    }
    return true;
}

bool VerifyCopy(const QString& root, const std::vector<BenchFile>& files, QString& error) {
    QSet<QString> expectedFiles;
    QSet<QString> expectedDirs;
    for (const BenchFile& wanted : files) {
        expectedFiles.insert(wanted.relativePath);
        QString dir = wanted.relativePath;
        while (dir.contains(QLatin1Char('/'))) {
            dir.truncate(dir.lastIndexOf(QLatin1Char('/')));
            expectedDirs.insert(dir);
        }
    }
    const QDir base(root);
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    int seen = 0;
    while (it.hasNext()) {
        it.next();
        const QString relative = base.relativeFilePath(it.filePath());
        const QFileInfo info = it.fileInfo();
        const bool known = info.isDir() ? expectedDirs.contains(relative)
                                        : info.isFile() && expectedFiles.contains(relative);
        if (!known) {
            error = QStringLiteral("unexpected entry in the copy: ") + relative;
            return false;
        }
        if (info.isFile())
            ++seen;
    }
    if (seen != int(files.size())) {
        error = QStringLiteral("%1 of %2 files in the copy").arg(seen).arg(files.size());
        return false;
    }
    QByteArray expected(Chunk, Qt::Uninitialized);
    QByteArray actual(Chunk, Qt::Uninitialized);
    for (const BenchFile& wanted : files) {
        QFile file(root + QLatin1Char('/') + wanted.relativePath);
        if (!file.open(QIODevice::ReadOnly)) {
            error = wanted.relativePath + QStringLiteral(": ") + file.errorString();
            return false;
        }
        if (file.size() != wanted.size) {
            error = QStringLiteral("%1: %2 bytes, expected %3")
                        .arg(wanted.relativePath)
                        .arg(file.size())
                        .arg(wanted.size);
            return false;
        }
        for (qint64 at = 0; at < wanted.size; at += Chunk) {
            const qint64 n = std::min(Chunk, wanted.size - at);
            fill(expected.data(), at, n, wanted.seed);
            if (file.read(actual.data(), n) != n ||
                std::memcmp(actual.constData(), expected.constData(), size_t(n)) != 0) {
                error = QStringLiteral("%1: the bytes from offset %2 differ")
                            .arg(wanted.relativePath)
                            .arg(at);
                return false;
            }
        }
    }
    return true;
}

} // namespace FxpData
