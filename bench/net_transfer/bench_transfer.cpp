// Download and upload throughput of FtpSession against curl, both talking to
// the same pyftpdlib server on 127.0.0.1 in the same run, plus our peak memory.
//
//   bench_transfer [size-in-MiB]     (default 512)
#include "FtpServerFixture.h"
#include "net/FtpSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

long peakMemoryKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

bool makeFile(const QString& path, qint64 size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1024 * 1024, Qt::Uninitialized);
    for (int i = 0; i < block.size(); ++i)
        block[i] = char((i * 131 + 7) & 0xFF);
    for (qint64 written = 0; written < size; written += block.size()) {
        if (file.write(block.constData(), qMin<qint64>(block.size(), size - written)) < 0)
            return false;
    }
    return true;
}

double seconds(const QElapsedTimer& timer) {
    return double(timer.nsecsElapsed()) / 1e9;
}

double runCurl(const QStringList& arguments) {
    QProcess curl;
    QElapsedTimer timer;
    timer.start();
    curl.start(QStringLiteral("curl"), arguments);
    if (!curl.waitForFinished(30 * 60 * 1000) || curl.exitCode() != 0) {
        std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
        return -1;
    }
    return seconds(timer);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const qint64 mib = argc > 1 ? QByteArray(argv[1]).toLongLong() : 512;
    const qint64 size = mib * 1024 * 1024;

    FtpServerFixture server;
    if (!server.start()) {
        std::fprintf(stderr, "server: %s\n", qPrintable(server.errorString()));
        return 1;
    }
    QTemporaryDir local;
    const QString source = server.rootPath() + QStringLiteral("/big.bin");
    if (!makeFile(source, size)) {
        std::fprintf(stderr, "cannot write the test file\n");
        return 1;
    }
    const QString localSource = local.filePath(QStringLiteral("up.bin"));
    QFile::copy(source, localSource);
    const long baseline = peakMemoryKiB();

    FtpSession session;
    session.setHost(server.host());
    session.setPort(server.port());
    session.setTimeOut(30000);
    session.UserID = server.user();
    session.Password = server.password();
    session.Connect();
    session.Mode(FtpSession::TransferType::Image);

    const QString url = QStringLiteral("ftp://%1:%2@%3:%4/")
                            .arg(server.user(), server.password(), server.host())
                            .arg(server.port());
    const QString target = local.filePath(QStringLiteral("down.bin"));
    std::printf("Transfer of %lld MiB over loopback, pyftpdlib server\n", mib);
    std::printf("%-22s %12s %12s %8s\n", "case", "Korvane MB/s", "curl MB/s", "ratio");

    struct Case {
        const char* name;
        bool download;
        bool passive;
    };
    const Case cases[] = {{"download passive", true, true},
                          {"download active", true, false},
                          {"upload passive", false, true},
                          {"upload active", false, false}};
    for (const Case& c : cases) {
        QFile::remove(target);
        QElapsedTimer timer;
        timer.start();
        if (c.download)
            session.Download(QStringLiteral("big.bin"), target, false, c.passive,
                             session.remoteAddress());
        else
            session.Upload(localSource, QStringLiteral("up_k.bin"), c.passive,
                           session.remoteAddress());
        const double ours = seconds(timer);
        const QString written =
            c.download ? target : server.rootPath() + QStringLiteral("/up_k.bin");
        if (QFileInfo(written).size() != size) {
            std::fprintf(stderr, "%s: wrote %lld bytes, expected %lld\n", c.name,
                         QFileInfo(written).size(), size);
            return 1;
        }

        QStringList args{QStringLiteral("-s"), QStringLiteral("-S")};
        if (!c.passive)
            args << QStringLiteral("-P") << QStringLiteral("127.0.0.1");
        if (c.download)
            args << url + QStringLiteral("big.bin") << QStringLiteral("-o") << target;
        else
            args << QStringLiteral("-T") << localSource << url + QStringLiteral("up_c.bin");
        const double theirs = runCurl(args);
        const double mb = double(size) / 1e6;
        std::printf("%-22s %12.1f %12.1f %8.2f\n", c.name, mb / ours,
                    theirs > 0 ? mb / theirs : 0.0, theirs > 0 ? theirs / ours : 0.0);
        std::fflush(stdout);
    }
    session.Disconnect();
    const long peak = peakMemoryKiB();
    std::printf("peak memory: %.1f MiB (%.1f MiB before the transfers)\n", peak / 1024.0,
                baseline / 1024.0);
    return 0;
}
