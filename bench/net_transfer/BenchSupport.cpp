#include "BenchSupport.h"

#include <QByteArray>
#include <QFile>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>


namespace BenchSupport {

CurlRun runCurl(const QStringList& arguments) {
    CurlRun run;
    QList<QByteArray> words{"curl", "-s", "-S", "-w",
                            "%{time_pretransfer} %{time_total} %{size_download} "
                            "%{size_upload} %{response_code}"};
    for (const QString& argument : arguments)
        words << argument.toLocal8Bit();
    const BenchTools::ToolRun tool = BenchTools::runTool(words, true);
    run.cpuSeconds = tool.cpuSeconds;
    run.maxRssKiB = tool.maxRssKiB;
    const QList<QByteArray> fields = tool.output.simplified().split(' ');
    if (!tool.ok || fields.size() != 5) {
        run.error = tool.ok ? QStringLiteral("curl printed no timing fields") : tool.error;
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

double spread(const std::vector<double>& values) {
    const double middle = median(values);
    if (values.empty() || middle == 0)
        return 0;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return (*high - *low) / middle;
}

} // namespace BenchSupport
