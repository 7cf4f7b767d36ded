#include "DirectoryCache.h"

#include "net/WireText.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>
#include <limits>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <signal.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
bool isRunning(pid_t pid) {
    // EPERM: it exists but belongs to someone else.
    return ::kill(pid, 0) == 0 || errno == EPERM;
}
#endif

} // namespace

DirectoryCache::DirectoryCache(QString tempDir) : m_tempDir(std::move(tempDir)) {}

DirectoryCache::~DirectoryCache() {
    CloseRecording();
}

bool DirectoryCache::CacheLookup(const QString& path, bool useCache,
                                 CacheReplayListener& listener) {
    // A recording still open here never saw its listing end.
    DiscardRecording();

    const auto found = std::find_if(m_records.rbegin(), m_records.rend(),
                                    [&](const CacheRecord& r) { return r.Path == path; });
    const bool haveRecord = found != m_records.rend();
    if (haveRecord && useCache && replay(found->FileName, listener))
        return true;

    auto file = createFile();
    if (!file)
        return false;
    if (useCache || !haveRecord) {
        m_records.push_back({path, file->fileName()});
    } else {
        // A fresh file rather than the old name reopened: once deleted, a name
        // in the shared temporary folder can be taken by someone else.
        QFile::remove(found->FileName);
        found->FileName = file->fileName();
    }
    m_recording = std::move(file);
    return false;
}

bool DirectoryCache::isRecording() const {
    return m_recording != nullptr;
}

bool DirectoryCache::Record(const QString& line) {
    if (!m_recording)
        return false;
    QByteArray bytes = WireText::Encode(line);
    // It would come back as two lines.
    if (bytes.contains('\n')) {
        DiscardRecording();
        return false;
    }
    bytes.append('\n');
    if (m_recording->write(bytes) != bytes.size()) {
        DiscardRecording();
        return false;
    }
    return true;
}

void DirectoryCache::CloseRecording() {
    if (!m_recording)
        return;
    // Buffered lines may only fail to reach the disk now.
    m_recording->close();
    if (m_recording->error() != QFileDevice::NoError) {
        DiscardRecording();
        return;
    }
    m_recording.reset();
}

void DirectoryCache::DiscardRecording() {
    if (!m_recording)
        return;
    const QString name = m_recording->fileName();
    m_recording.reset();
    QFile::remove(name);
    std::erase_if(m_records, [&](const CacheRecord& r) { return r.FileName == name; });
}

void DirectoryCache::Clear() {
    m_recording.reset();
    for (const CacheRecord& record : m_records)
        QFile::remove(record.FileName);
    m_records.clear();
}

bool DirectoryCache::replay(const QString& fileName, CacheReplayListener& listener) const {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Read whole before replaying, so a read error is a miss rather than half a listing.
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    // Every recorded line ends in LF; anything else was cut short.
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        return false;

    listener.replayStarted();
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        listener.replayLine(WireText::Decode(bytes.mid(start, end - start)));
        start = end + 1;
    }
    listener.replayFinished();
    return true;
}

std::unique_ptr<QFile> DirectoryCache::createFile() const {
    // Our pid in the name lets a later run tell our leftovers from a live instance's files.
    const QString pattern =
        QStringLiteral("fxp%1-XXXXXX.kcache").arg(QCoreApplication::applicationPid());
    auto file = std::make_unique<QTemporaryFile>(QDir(m_tempDir).filePath(pattern));
    if (!file->open())
        return nullptr;
    file->setAutoRemove(false);
    return file;
}

int DirectoryCache::RemoveStaleFiles(const QString& tempDir) {
#ifdef Q_OS_UNIX
    static const QRegularExpression name(
        QStringLiteral("^fxp([1-9][0-9]{0,9})-[A-Za-z0-9]+\\.kcache$"));
    const QDir dir(tempDir);
    const QStringList candidates =
        dir.entryList({QStringLiteral("fxp*.kcache")}, QDir::Files | QDir::NoSymLinks);
    int removed = 0;
    for (const QString& fileName : candidates) {
        const QRegularExpressionMatch match = name.match(fileName);
        if (!match.hasMatch())
            continue;
        const qint64 pid = match.captured(1).toLongLong();
        if (pid > std::numeric_limits<pid_t>::max() || isRunning(pid_t(pid)))
            continue;
        // The folder is shared: never touch another user's file.
        const QFileInfo info(dir.filePath(fileName));
        if (info.ownerId() != ::getuid())
            continue;
        if (QFile::remove(info.filePath()))
            ++removed;
    }
    return removed;
#else
    Q_UNUSED(tempDir);
    return 0;
#endif
}
