#pragma once

#include "batch/BatchOptions.h"
#include "transfer/QueueRunner.h"

#include <QObject>

#include <functional>

class App;

// An unattended run: connect the sites the command line names, load the
// queue once they are logged in, run it, and tell by the exit code whether
// everything arrived. A lost site that the automatic reconnect brings back
// continues the run; one that does not come back ends it.
class BatchRun : public QObject {
    Q_OBJECT
public:
    using Printer = std::function<void(const QString&)>;

    BatchRun(App& app, BatchOptions options, Printer printOut, Printer printError,
             QObject* parent = nullptr);

    void start();
    bool done() const { return m_done; }
    int exitCode() const { return m_exitCode; }

Q_SIGNALS:
    // The run is over and --exit-when-done asks the program to end.
    void exitRequested(int exitCode);

private:
    void connectAndRun();
    void fail(const QString& message);
    void finish(int exitCode);
    void onRunEnded(QueueRunner::RunEnd how);
    void onRestartAttempted();
    // One line per path that did not arrive and per entry still queued, so
    // a script can tell which files to look at.
    void nameWhatIsMissing();

    App& m_app;
    BatchOptions m_options;
    Printer m_printOut;
    Printer m_printError;
    int m_runsEnded = 0;
    int m_runsAtStop = -1;
    QStringList m_abandoned;
    bool m_done = false;
    int m_exitCode = 0;
};
