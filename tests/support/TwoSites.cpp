#include "TwoSites.h"

#include "app/App.h"

#include <utility>

bool TwoSites::startServers(QString& error) {
    m_a = std::make_unique<FtpServerFixture>(FtpServerFixture::Slot::A);
    m_b = std::make_unique<FtpServerFixture>(FtpServerFixture::Slot::B);
    m_a->setListenHost(QStringLiteral("127.0.0.2"));
    m_b->setListenHost(QStringLiteral("127.0.0.3"));
    for (FtpServerFixture* server : {m_a.get(), m_b.get()})
        if (!server->start()) {
            error = server->errorString();
            return false;
        }
    return true;
}

void TwoSites::addDataFile(const QString& name, const QByteArray& content) {
    m_dataFiles.append({name, content});
}

std::unique_ptr<App> TwoSites::startApp(DesktopServices& services, UserPrompts& prompts,
                                        const QByteArray& mainKeys) {
    m_dir = std::make_unique<TempDataDir>();
    const QByteArray timeOut = mainKeys.contains("ConnectTimeout") ? "" : "ConnectTimeout=10\r\n";
    if (!m_dir->writeFile(QStringLiteral("Korvane.ini"), "[_Main_]\r\n" + timeOut + mainKeys))
        return nullptr;
    const auto files = std::exchange(m_dataFiles, {});
    for (const auto& [name, content] : files)
        if (!m_dir->writeFile(name, content))
            return nullptr;
    auto app = std::make_unique<App>(DataPaths(m_dir->path()), services, prompts);
    app->create();
    return app;
}

std::unique_ptr<App> TwoSites::startConnectedApp(DesktopServices& services, UserPrompts& prompts,
                                                 const QByteArray& mainKeys,
                                                 const QByteArray& leftOptions,
                                                 const QByteArray& rightOptions) {
    std::unique_ptr<App> app = startApp(services, prompts, mainKeys);
    if (!app)
        return nullptr;
    for (SideId id : {SideId::Left, SideId::Right}) {
        const bool left = id == SideId::Left;
        const FtpServerFixture& s = left ? *m_a : *m_b;
        const QByteArray& options = left || rightOptions.isEmpty() ? leftOptions : rightOptions;
        app->connections().ConnectToSite(
            {left ? QStringLiteral("Alpha") : QStringLiteral("Beta"), s.host(),
             QString::number(s.port()), s.user(), s.password(), QString::fromLatin1(options),
             s.baseDir()},
            id);
        if (!app->side(id).state().LoggedIn)
            return nullptr;
    }
    return app;
}
