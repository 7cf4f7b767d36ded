#pragma once

#include "BenchTools.h"
#include "FtpServerFixture.h"
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class App;


// A refresh of the left side through App, timed from the call to its return.
struct RefreshSample {
    bool ok = false;
    QString error;
    double seconds = 0;
    double cpuSeconds = 0;
    int rows = 0;
    long peakKiB = 0; // VmHWM during the refresh (reset before it)
    long rssKiB = 0;  // resident afterwards
};

// Korvane's App and lftp listing the same directory of one server.
class ServerListing {
public:
    explicit ServerListing(FtpServerFixture& server);
    ~ServerListing();

    bool startApp(QString& error);
    // Connects the left side into dir with this ListMode digit; the login's
    // own listing is the warm-up. False with a message when not logged in.
    bool connect(int listMode, const QString& dir, QString& error);
    RefreshSample refresh();
    // lftp: login, "cls -l dir", exit; output kept to count its lines.
    BenchTools::ToolRun lftp(const QString& dir, bool passive, bool keepOutput) const;
    // Questions the program asked (an error box means a broken run).
    QStringList asked() const { return m_prompts.asked; }

private:
    FtpServerFixture& m_server;
    TempDataDir m_data;
    RecordingDesktopServices m_services;
    ScriptedUserPrompts m_prompts;
    std::unique_ptr<App> m_app;
};
