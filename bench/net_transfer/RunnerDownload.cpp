#include "RunnerDownload.h"

#include "BenchSupport.h"
#include "TransferBench.h"
#include "app/App.h"
#include "net/FtpSession.h"
#include "transfer/QueueRunner.h"

#include <QLocale>
#include <QSignalSpy>

#include <cstdio>

using namespace BenchSupport;

RunnerDownload::RunnerDownload() = default;
RunnerDownload::~RunnerDownload() = default;

bool RunnerDownload::connect(const FtpServerFixture& server) {
    if (!m_data.writeFile(QStringLiteral("Korvane.ini"),
                          "[_Main_]\r\nConnectTimeout=30\r\nOn Local Duplicate=1\r\n"))
        return false;
    m_app = std::make_unique<App>(DataPaths(m_data.path()), m_services, m_prompts);
    m_app->create();
    m_base = server.baseDir();
    if (!m_base.endsWith(QLatin1Char('/')))
        m_base += QLatin1Char('/');
    m_app->connections().ConnectToSite({QStringLiteral("bench"), server.host(),
                                        QString::number(server.port()), server.user(),
                                        server.password(), QStringLiteral("20"), m_base},
                                       SideId::Left);
    return m_app->left().state().LoggedIn;
}

bool RunnerDownload::download(const QString& remote, const QString& localPath, qint64 size,
                              Sample& sample) {
    double start = 0;
    double startCpu = 0;
    const auto started =
        QObject::connect(&m_app->left().session(), &FtpSession::transactionStart, [&] {
            start = monotonicSeconds();
            startCpu = processCpuSeconds();
        });
    QSignalSpy ended(&m_app->queueRunner(), &QueueRunner::runEnded);
    m_app->queue().append(QueueEntry{m_base + remote, localPath, QLocale().toString(size), 3,
                                     Direction::DownloadFromLeft});
    m_app->queueCommands().TransferButtonRule();
    m_app->queueRunner().Transfer1Click();
    const double end = monotonicSeconds();
    const double cpu = processCpuSeconds();
    QObject::disconnect(started);
    const bool completed =
        ended.count() == 1 &&
        ended.first().first().value<QueueRunner::RunEnd>() == QueueRunner::RunEnd::Completed &&
        m_app->runState().abandoned.isEmpty();
    if (!completed || start == 0) {
        std::fprintf(stderr, "runner download: the run did not complete\n");
        return false;
    }
    sample = {end - start, cpu - startCpu};
    return true;
}
