#include "ServerListing.h"

#include "BenchTools.h"

#include "ProcessMemory.h"
#include "app/App.h"

#include <QFile>

#include <exception>



ServerListing::ServerListing(FtpServerFixture& server) : m_server(server) {}

ServerListing::~ServerListing() = default;

bool ServerListing::startApp(QString& error) {
    // A long TimeOut: a slow server must not look like a fault.
    if (!m_data.writeFile(QStringLiteral("Korvane.ini"), "[_Main_]\r\nConnectTimeout=120\r\n")) {
        error = QStringLiteral("cannot write the settings file");
        return false;
    }
    m_app = std::make_unique<App>(DataPaths(m_data.path()), m_services, m_prompts);
    m_app->create();
    return true;
}

bool ServerListing::connect(int listMode, const QString& dir, QString& error) {
    ConnectRequest request;
    request.displayName = QStringLiteral("bench");
    request.host = m_server.host();
    request.port = QString::number(m_server.port());
    request.user = m_server.user();
    request.password = m_server.password();
    request.options = QString::number(listMode) + QLatin1Char('1');
    request.path = dir;
    try {
        m_app->connections().ConnectToSite(request, SideId::Left);
    } catch (const std::exception& e) {
        error = QString::fromLocal8Bit(e.what());
        return false;
    }
    const Side& side = m_app->left();
    if (!side.state().LoggedIn || side.state().ListMode != listMode) {
        error = QStringLiteral("the left side did not log in with ListMode %1").arg(listMode);
        return false;
    }
    return true;
}

RefreshSample ServerListing::refresh() {
    RefreshSample sample;
    BenchTools::resetPeakMemory();
    const double cpu = BenchTools::processCpuSeconds();
    const double start = BenchTools::monotonicSeconds();
    try {
        m_app->listing().RefreshDirectory(SideId::Left, false);
    } catch (const std::exception& e) {
        sample.error = QString::fromLocal8Bit(e.what());
        return sample;
    }
    sample.seconds = BenchTools::monotonicSeconds() - start;
    sample.cpuSeconds = BenchTools::processCpuSeconds() - cpu;
    sample.rows = m_app->left().listing().count();
    sample.peakKiB = ProcessStatusKiB("VmHWM");
    sample.rssKiB = ProcessStatusKiB("VmRSS");
    sample.ok = true;
    return sample;
}

BenchTools::ToolRun ServerListing::lftp(const QString& dir, bool passive, bool keepOutput) const {
    // LIST as Korvane sends it (no MLSD), no TLS attempt, PASV or PORT; no
    // MDTM per entry, which cls sends by default for dates without seconds.
    const QString script =
        QStringLiteral("set ftp:passive-mode %1; set ftp:ssl-allow no; set ftp:use-mlsd off; "
                       "set cmd:cls-exact-time no; set net:max-retries 1; open -u \"%2,%3\" "
                       "ftp://%4:%5; cls -l \"%6\"")
            .arg(QLatin1String(passive ? "on" : "off"), m_server.user(), m_server.password(),
                 m_server.host())
            .arg(m_server.port())
            .arg(dir);
    return BenchTools::runTool({"lftp", "-c", script.toUtf8()}, keepOutput);
}
