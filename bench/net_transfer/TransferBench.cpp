#include "TransferBench.h"

#include "BenchSupport.h"
#include "ProcessMemory.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace BenchSupport;
using namespace BenchNames;

bool Bench::setUp() {
    QUrl url;
    url.setScheme(QStringLiteral("ftp"));
    url.setUserName(m_server.user());
    url.setPassword(m_server.password());
    url.setHost(m_server.host());
    url.setPort(m_server.port());
    QString base = m_server.baseDir();
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    url.setPath(base);
    m_url = url.toString(QUrl::FullyEncoded);

    if (!makeFile(local(SourceName), m_size) || !makeFile(local(SmallName), m_size / 16) ||
        !makeFile(local(EmptyName), 0))
        return false;
    // The files to download are put there by curl, not by the code under test.
    for (const QString& name : {SourceName, SmallName, EmptyName}) {
        const CurlRun put = runCurl({QStringLiteral("-T"), local(name), m_url + name});
        if (!put.ok) {
            std::fprintf(stderr, "uploading %s with curl: %s\n", qPrintable(name),
                         qPrintable(put.error));
            return false;
        }
    }

    QObject::connect(&m_session, &PumpingSocket::status, [this](const QString& line) {
        if (m_greeting.isEmpty() && line.startsWith(QLatin1String("220")))
            m_greeting = line.trimmed().left(60);
    });
    // The timed stretch starts where the server has accepted RETR or STOR.
    QObject::connect(&m_session, &FtpSession::transactionStart, [this] {
        m_windowStart = monotonicSeconds();
        m_windowCpu = processCpuSeconds();
    });
    m_session.setHost(m_server.host());
    m_session.setPort(m_server.port());
    m_session.setTimeOut(60000);
    m_session.UserID = m_server.user();
    m_session.Password = m_server.password();
    m_session.Connect();
    m_session.Mode(FtpSession::TransferType::Image);
    if (base != QLatin1String("/"))
        m_session.ChangeDir(base);
    return remoteSize(SourceName) == m_size;
}

void Bench::tearDown() {
    for (const QString& name : {SourceName, SmallName, EmptyName, OurUpload, CurlUpload})
        removeRemote(name);
    m_session.Disconnect();
}

qint64 Bench::remoteSize(const QString& name) {
    m_session.DoCommand(QStringLiteral("SIZE ") + name);
    const QString reply = m_session.LastReplyText();
    return reply.startsWith(QLatin1String("213 ")) ? reply.mid(4).trimmed().toLongLong() : -1;
}

void Bench::removeRemote(const QString& name) {
    try {
        m_session.Delete(name);
    } catch (const std::exception&) {
        // Not there: nothing to remove.
    }
}

QStringList Bench::curlArguments(const Case& c, const QString& remote, const QString& localPath,
                                 const QString& upload) const {
    // PASV and PORT, as FtpSession sends; active mode listens on the control
    // connection's local address, as FtpSession does.
    QStringList args{QStringLiteral("--disable-epsv"), QStringLiteral("--disable-eprt")};
    if (!c.passive)
        args << QStringLiteral("-P") << QStringLiteral("-");
    if (c.download)
        args << m_url + remote << QStringLiteral("-o") << localPath;
    else
        args << QStringLiteral("-T") << localPath << m_url + upload;
    return args;
}

bool Bench::ours(const Case& c, const QString& remote, const QString& localPath, Sample& sample) {
    if (c.runner) {
        if (!m_runner) {
            m_runner = std::make_unique<RunnerDownload>();
            if (!m_runner->connect(m_server)) {
                std::fprintf(stderr, "%s: the program could not log in\n", c.name);
                return false;
            }
        }
        return m_runner->download(remote, localPath, m_size, sample);
    }
    m_windowStart = 0;
    const QString path = c.toNull ? QStringLiteral("/dev/null") : localPath;
    if (c.download)
        m_session.Download(remote, path, false, c.passive, m_session.remoteAddress());
    else
        m_session.Upload(localPath, OurUpload, c.passive, m_session.remoteAddress());
    const double end = monotonicSeconds();
    const double cpu = processCpuSeconds();
    if (m_windowStart == 0) {
        std::fprintf(stderr, "%s: no transfer start seen\n", c.name);
        return false;
    }
    sample = {end - m_windowStart, cpu - m_windowCpu};
    return true;
}

bool Bench::theirs(const Case& c, const QString& remote, const QString& localPath, Sample& sample) {
    const QString path = c.toNull ? QStringLiteral("/dev/null") : localPath;
    const CurlRun run = runCurl(curlArguments(c, remote, path, CurlUpload));
    if (!run.ok) {
        std::fprintf(stderr, "%s: %s\n", c.name, qPrintable(run.error));
        return false;
    }
    sample = {run.total - run.preTransfer, run.cpuSeconds};
    return true;
}

bool Bench::runCase(const Case& c, int runs) {
    // curl's start and login cost CPU that FtpSession's window leaves out:
    // measured on an empty file and taken off.
    std::vector<double> fixedCpu;
    for (int i = 0; i < 3; ++i) {
        const CurlRun empty = runCurl(curlArguments(
            c, EmptyName, c.download ? QStringLiteral("/dev/null") : local(EmptyName), EmptyName));
        if (!empty.ok)
            return false;
        fixedCpu.push_back(empty.cpuSeconds);
    }
    const double curlFixed = median(fixedCpu);

    std::vector<double> ourRate, theirRate, ourCpu, theirCpu;
    const double mb = double(m_size) / 1e6;
    const double gib = double(m_size) / GiB;
    const long rssBefore = ProcessStatusKiB("VmRSS");
    long peak = 0;
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool korvane = (turn == 0) == (run % 2 == 0);
            QFile::remove(target(true));
            QFile::remove(target(false));
            settleDisk();
            const QString localPath = c.download ? target(korvane) : local(SourceName);
            Sample sample;
            // The peak of the transfer alone, not of the checks after it.
            resetPeakMemory();
            if (korvane ? !ours(c, SourceName, localPath, sample)
                        : !theirs(c, SourceName, localPath, sample))
                return false;
            if (korvane)
                peak = std::max(peak, ProcessStatusKiB("VmHWM"));
            (korvane ? ourRate : theirRate).push_back(mb / sample.seconds);
            (korvane ? ourCpu : theirCpu)
                .push_back((korvane ? sample.cpu : sample.cpu - curlFixed) / gib);
            if (qEnvironmentVariableIsSet("KORVANE_BENCH_VERBOSE"))
                std::fprintf(stderr, "  %s run %d %-7s %7.0f MB/s %6.3f CPU s/GiB\n", c.name,
                             run + 1, korvane ? "Korvane" : "curl", mb / sample.seconds,
                             (korvane ? ourCpu : theirCpu).back());

            // What arrived is checked outside the timed stretch.
            bool whole = true;
            if (c.download && !c.toNull)
                whole = QFileInfo(localPath).size() == m_size &&
                        (!korvane || sameContent(localPath, local(SourceName)));
            if (!c.download) {
                const QString uploaded = korvane ? OurUpload : CurlUpload;
                whole = remoteSize(uploaded) == m_size;
                if (whole && korvane && run == 0) {
                    const CurlRun back =
                        runCurl({m_url + uploaded, QStringLiteral("-o"), target(false)});
                    whole = back.ok && sameContent(target(false), local(SourceName));
                }
                removeRemote(uploaded);
            }
            if (!whole) {
                std::fprintf(stderr, "%s: %s's copy is not the whole file (run %d)\n", c.name,
                             korvane ? "Korvane" : "curl", run + 1);
                return false;
            }
        }
    }
    QFile::remove(target(true));
    QFile::remove(target(false));
    const double ours = median(ourRate), theirs = median(theirRate);
    const double ourCpuMedian = median(ourCpu), theirCpuMedian = median(theirCpu);
    std::printf("%-24s %7.0f %4.0f%% %7.0f %4.0f%% %6.2f   %6.3f %6.3f %6.2f   %6.1f %6.1f\n",
                c.name, ours, 100 * spread(ourRate), theirs, 100 * spread(theirRate), ours / theirs,
                ourCpuMedian, theirCpuMedian,
                theirCpuMedian > 0 ? ourCpuMedian / theirCpuMedian : 0.0, rssBefore / 1024.0,
                peak / 1024.0);
    std::fflush(stdout);
    return true;
}

bool Bench::peakFor(const QString& remote, const QString& localSource, qint64 size, long& downKiB,
                    long& upKiB) {
    QFile::remove(target(true));
    resetPeakMemory();
    m_session.Download(remote, target(true), false, true, m_session.remoteAddress());
    downKiB = ProcessStatusKiB("VmHWM");
    const bool whole = QFileInfo(target(true)).size() == size;
    QFile::remove(target(true));
    resetPeakMemory();
    m_session.Upload(localSource, OurUpload, true, m_session.remoteAddress());
    upKiB = ProcessStatusKiB("VmHWM");
    const bool upWhole = remoteSize(OurUpload) == size;
    removeRemote(OurUpload);
    return whole && upWhole;
}

bool Bench::slowReaderPeak(const QString& remote, const QString& localCopy, long& kib,
                           double& rate) {
    const QString fifo = local(QStringLiteral("slow.fifo"));
    QFile::remove(fifo);
    if (::mkfifo(QFile::encodeName(fifo).constData(), 0600) != 0)
        return false;
    QByteArray received;
    std::thread reader([&] {
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDONLY);
        if (fd < 0)
            return;
        QCryptographicHash hash(QCryptographicHash::Sha256);
        char chunk[64 * 1024];
        ssize_t n;
        while ((n = ::read(fd, chunk, sizeof chunk)) > 0)
            hash.addData(QByteArrayView(chunk, n));
        ::close(fd);
        received = hash.result();
    });
    resetPeakMemory();
    const double start = monotonicSeconds();
    bool ok = true;
    try {
        m_session.Download(remote, fifo, false, true, m_session.remoteAddress());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "slow reader: %s\n", e.what());
        ok = false;
    }
    rate = double(QFileInfo(localCopy).size()) / 1e6 / (monotonicSeconds() - start);
    kib = ProcessStatusKiB("VmHWM");
    // A reader still waiting for a writer (the download failed early) sees
    // one come and go.
    const int unblock = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
    if (unblock >= 0)
        ::close(unblock);
    reader.join();
    QFile::remove(fifo);
    QFile copy(localCopy);
    copy.open(QIODevice::ReadOnly);
    QCryptographicHash expected(QCryptographicHash::Sha256);
    expected.addData(&copy);
    return ok && received == expected.result();
}
