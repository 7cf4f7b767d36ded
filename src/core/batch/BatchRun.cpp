#include "batch/BatchRun.h"

#include "app/App.h"
#include "net/NetErrors.h"

#include <QFileInfo>

BatchRun::BatchRun(App& app, BatchOptions options, Printer printOut, Printer printError,
                   QObject* parent)
    : QObject(parent), m_app(app), m_options(std::move(options)), m_printOut(std::move(printOut)),
      m_printError(std::move(printError)) {
    if (m_options.logStdout) {
        StatusLineStore& lines = m_app.statusLog().lines();
        connect(&lines, &StatusLineStore::lineAppended, this,
                [this, &lines](int index) { m_printOut(lines.line(index).text); });
    }
    connect(&m_app.queueRunner(), &QueueRunner::runEnded, this, &BatchRun::onRunEnded);
    // Connected after the App's own restart, so this runs once it returned.
    connect(&m_app.connections(), &ConnectionLifecycle::queueRestartRequested, this,
            &BatchRun::onRestartAttempted);
}

void BatchRun::fail(const QString& message) {
    m_printError(QStringLiteral("korvane: ") + message);
    finish(1);
}

void BatchRun::finish(int exitCode) {
    if (m_done)
        return;
    m_done = true;
    m_exitCode = exitCode;
    if (m_options.exitWhenDone)
        Q_EMIT exitRequested(exitCode);
}

void BatchRun::start() {
    // Whatever escapes must still end the run: nobody is there to close it.
    try {
        connectAndRun();
    } catch (const NetError& e) {
        fail(e.message());
    } catch (const std::exception& e) {
        fail(QString::fromLocal8Bit(e.what()));
    }
}

void BatchRun::connectAndRun() {
    const std::array<bool, 2> named = m_app.RunCommandLineConnect(m_options.connectArguments);
    if (!named[0] && !named[1])
        return fail(QStringLiteral("no site to connect: name them as \"LEFT;RIGHT\""));
    for (SideId id : {SideId::Left, SideId::Right}) {
        if (named[id == SideId::Left ? 0 : 1] && !m_app.side(id).state().LoggedIn)
            return fail(QStringLiteral("the %1 site could not be logged in")
                            .arg(id == SideId::Left ? u"left" : u"right"));
    }
    if (!m_options.queueFile.isEmpty()) {
        if (!QFileInfo(m_options.queueFile).isFile())
            return fail(QStringLiteral("queue file not found: ") + m_options.queueFile);
        QString error;
        if (!m_app.queueCommands().LoadQueueFile(m_options.queueFile, &error))
            return fail(QStringLiteral("queue file %1: %2").arg(m_options.queueFile, error));
    }
    if (!m_options.transfer)
        return finish(0);
    if (m_app.queue().isEmpty())
        return finish(0);
    const int before = m_runsEnded;
    m_app.queueRunner().Transfer1Click();
    if (m_runsEnded == before && !m_app.queueRunner().running())
        fail(QStringLiteral("the queue could not start: a side is busy or not connected"));
}

void BatchRun::onRunEnded(QueueRunner::RunEnd how) {
    ++m_runsEnded;
    m_abandoned += m_app.runState().abandoned;
    // A lost site is being brought back; its restart continues the run. A
    // site lost while a failed file was given up ends the run on the next
    // entry as not connected, and comes back the same way.
    if ((how == QueueRunner::RunEnd::Stopped || how == QueueRunner::RunEnd::NotConnected) &&
        m_app.connections().timerConnect().isActive()) {
        m_runsAtStop = m_runsEnded;
        return;
    }
    const int left = m_app.queue().count();
    if (how == QueueRunner::RunEnd::Completed && left == 0 && m_abandoned.isEmpty())
        return finish(0);
    nameWhatIsMissing();
    QStringList problems;
    if (!m_abandoned.isEmpty())
        problems << QStringLiteral("%1 file(s) did not arrive").arg(m_abandoned.size());
    if (left > 0)
        problems << QStringLiteral("%1 entries left in the queue").arg(left);
    if (problems.isEmpty())
        problems << QStringLiteral("the run was stopped");
    fail(problems.join(QStringLiteral("; ")));
}

void BatchRun::onRestartAttempted() {
    // The reconnect came back without a run: the site stayed away.
    if (!m_done && m_runsAtStop == m_runsEnded && !m_app.queueRunner().running() &&
        !m_app.connections().timerConnect().isActive()) {
        nameWhatIsMissing();
        fail(QStringLiteral("a site was lost and could not be reconnected; %1 entries left in the queue")
                 .arg(m_app.queue().count()));
    }
}

void BatchRun::nameWhatIsMissing() {
    if (m_done)
        return;
    for (const QString& path : std::as_const(m_abandoned))
        m_printError(QStringLiteral("korvane: did not arrive: ") + path);
    const QueueModel& queue = m_app.queue();
    for (int row = 0; row < queue.count(); ++row)
        m_printError(QStringLiteral("korvane: left in the queue: ") + queue.entry(row).SourcePath);
}
