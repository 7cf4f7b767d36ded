#pragma once

#include "FtpServerFixture.h"
#include "TempDataDir.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

class App;
class DesktopServices;
class UserPrompts;

// The frame of the tests that work with two sites: server A on 127.0.0.2
// and B on 127.0.0.3 (so an address taken from the wrong side shows), and
// an App in a fresh data folder.
class TwoSites {
public:
    // Starts both servers; false with `error` when one could not start.
    bool startServers(QString& error);
    FtpServerFixture& a() { return *m_a; }
    FtpServerFixture& b() { return *m_b; }

    // A data file the next App starts with, beside Korvane.ini.
    void addDataFile(const QString& name, const QByteArray& content);

    // An App whose Korvane.ini holds these _Main_ keys, not connected.
    std::unique_ptr<App> startApp(DesktopServices& services, UserPrompts& prompts,
                                  const QByteArray& mainKeys = {});
    // The same, the left side logged in to A ("Alpha"), the right to B
    // ("Beta"), with these site options ("20": passive, the source listens;
    // the right side's are the left's unless given); null when a login failed.
    std::unique_ptr<App> startConnectedApp(DesktopServices& services, UserPrompts& prompts,
                                           const QByteArray& mainKeys = {},
                                           const QByteArray& leftOptions = "20",
                                           const QByteArray& rightOptions = {});

private:
    std::unique_ptr<FtpServerFixture> m_a;
    std::unique_ptr<FtpServerFixture> m_b;
    std::unique_ptr<TempDataDir> m_dir;
    QList<std::pair<QString, QByteArray>> m_dataFiles;
};
