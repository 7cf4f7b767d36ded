#pragma once

#include "FtpServerFixture.h"
#include "RunnerDownload.h"
#include "net/FtpSession.h"

#include <QString>

#include <memory>

// The files on the server: the source, a sixteenth of it, an empty one, and
// the two tools' uploads.
namespace BenchNames {
inline const QString SourceName = QStringLiteral("korvane_bench_src.bin");
inline const QString SmallName = QStringLiteral("korvane_bench_small.bin");
inline const QString EmptyName = QStringLiteral("korvane_bench_empty.bin");
inline const QString OurUpload = QStringLiteral("korvane_bench_up_k.bin");
inline const QString CurlUpload = QStringLiteral("korvane_bench_up_c.bin");
inline constexpr double GiB = 1024.0 * 1024.0 * 1024.0;
} // namespace BenchNames

// One way of moving the file.
struct Case {
    const char* name;
    bool download;
    bool passive;
    bool toNull;
    bool runner = false; // through the queue runner, progress line and all
};

// One measured transfer.
struct Sample {
    double seconds = 0;
    double cpu = 0;
};

// FtpSession and curl moving the same files through one server.
class Bench {
public:
    Bench(FtpServerFixture& server, const QString& localDir, qint64 size)
        : m_server(server), m_dir(localDir), m_size(size) {}

    bool setUp();
    void tearDown();
    // Runs one case `runs` times, alternating which tool goes first.
    bool runCase(const Case& c, int runs);
    // Peak memory of one passive download and upload of `size` bytes.
    bool peakFor(const QString& remote, const QString& local, qint64 size, long& downKiB,
                 long& upKiB);
    // Peak memory and rate of a passive download into a reader slower than
    // the network (a pipe whose reader hashes what it reads).
    bool slowReaderPeak(const QString& remote, const QString& localCopy, long& kib, double& rate);
    QString greeting() const { return m_greeting; }

private:
    QString local(const QString& name) const { return m_dir + QLatin1Char('/') + name; }
    QString target(bool ours) const {
        return local(ours ? QStringLiteral("down_k.bin") : QStringLiteral("down_c.bin"));
    }
    bool ours(const Case& c, const QString& remote, const QString& localPath, Sample& sample);
    bool theirs(const Case& c, const QString& remote, const QString& localPath, Sample& sample);
    QStringList curlArguments(const Case& c, const QString& remote, const QString& localPath,
                              const QString& upload) const;
    qint64 remoteSize(const QString& name);
    void removeRemote(const QString& name);

    FtpServerFixture& m_server;
    FtpSession m_session;
    std::unique_ptr<RunnerDownload> m_runner;
    QString m_dir;
    qint64 m_size;
    QString m_url;
    QString m_greeting;
    double m_windowStart = 0;
    double m_windowCpu = 0;
};
