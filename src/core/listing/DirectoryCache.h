#pragma once

#include <QDir>
#include <QString>

#include <memory>
#include <vector>

class QFile;

// One cached listing: the remote path (with its trailing separator, compared
// exactly) and the temporary file holding its raw lines.
struct CacheRecord {
    QString Path;
    QString FileName;
};

// Told about a replay so the caller can log "List (cached)" / "List Complete."
// and show progress.
class CacheReplayListener {
public:
    virtual ~CacheReplayListener() = default;
    virtual void replayStarted() = 0;
    virtual void replayLine(const QString& line) = 0;
    virtual void replayFinished() = 0;
};

// A side's cache of listings seen while navigating. Each listing lives in its
// own temporary file, one line per LF-terminated text line in wire bytes, so
// any decoded listing line comes back exactly.
class DirectoryCache {
public:
    explicit DirectoryCache(QString tempDir = QDir::tempPath());
    // Closes a recording; files stay until Clear (another refresh of this run
    // may use them).
    ~DirectoryCache();

    DirectoryCache(const DirectoryCache&) = delete;
    DirectoryCache& operator=(const DirectoryCache&) = delete;

    // Newest record first, exact case-sensitive path match. On a hit (useCache
    // and the file reads back whole) replays every line and returns true.
    // Otherwise opens a new empty recording for path and returns false.
    bool CacheLookup(const QString& path, bool useCache, CacheReplayListener& listener);
    bool isRecording() const;
    // Appends one raw line to the open recording; false (and the recording is
    // dropped) on a write error.
    bool Record(const QString& line);
    // Flushes and closes; a recording that failed to write is dropped so a
    // partial listing is never replayed later.
    void CloseRecording();
    // Abandons the open recording (listing failed or was cut off): its record
    // is removed and its file deleted.
    void DiscardRecording();
    // Deletes every record's file (errors ignored), empties the list and
    // closes any recording.
    void Clear();
    const std::vector<CacheRecord>& records() const { return m_records; }

    // Start-up: removes cache files an earlier run of this program left in
    // tempDir. Returns how many.
    static int RemoveStaleFiles(const QString& tempDir = QDir::tempPath());

private:
    bool replay(const QString& fileName, CacheReplayListener& listener) const;
    std::unique_ptr<QFile> createFile() const;
    void dropRecording();

    QString m_tempDir;
    std::vector<CacheRecord> m_records; // newest last
    std::unique_ptr<QFile> m_recording;
};
