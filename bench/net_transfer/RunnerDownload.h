#pragma once

#include "FtpServerFixture.h"
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"

#include <QString>

#include <memory>

class App;
struct Sample;

// A download the way the program makes one: a queue entry, run by the queue
// runner, with its progress line and totals, through a passive data
// connection of the left side.
class RunnerDownload {
public:
    RunnerDownload();
    ~RunnerDownload();

    bool connect(const FtpServerFixture& server);
    // Timed from the server's acceptance of RETR to the end of the run.
    bool download(const QString& remote, const QString& localPath, qint64 size, Sample& sample);

private:
    TempDataDir m_data;
    RecordingDesktopServices m_services;
    ScriptedUserPrompts m_prompts;
    std::unique_ptr<App> m_app;
    QString m_base;
};
