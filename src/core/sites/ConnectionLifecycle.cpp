#include "sites/ConnectionLifecycle.h"

#include "app/App.h"
#include "app/DesktopServices.h"
#include "app/IniFile.h"
#include "listing/ListingRetrieval.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"
#include "services/IdentServer.h"
#include "sites/SiteStats.h"
#include "sites/SiteStorage.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <optional>
#include <utility>

namespace {

constexpr char RetryWaitText[] = "Connection attempt failed. Waiting for retry...";
// How often a retry wait looks at the flags that end it early.
constexpr int RetryCheckMs = 10;
// How often a deferred step looks whether the session's waits have unwound,
// and for how long (IdleTries × IdleCheckMs).
constexpr int IdleCheckMs = 10;
constexpr int IdleTries = 1000;

int Index(SideId side) {
    return side == SideId::Left ? 0 : 1;
}

// The options' digit at position i, or 0.
int OptionDigit(const QString& options, int i) {
    return i < options.size() && options.at(i).isDigit() ? options.at(i).digitValue() : 0;
}

} // namespace

ConnectionLifecycle::ConnectionLifecycle(App& app, QObject* parent) : QObject(parent), m_app(app) {
    m_timerConnect.setObjectName(QStringLiteral("TimerConnect"));
    m_timerConnect.setSingleShot(true);
    m_timerConnect.setInterval(ReconnectDelayMs);
    connect(&m_timerConnect, &QTimer::timeout, this,
            [this] { m_app.RunGuarded([this] { TimerConnectFired(); }); });

    for (SideId id : {SideId::Left, SideId::Right}) {
        Side& side = m_app.side(id);
        FtpSession& session = side.session();
        connect(&session, &PumpingSocket::status, this,
                [this, id](const QString& text) { OnStatus(id, text); });
        connect(&session, &PumpingSocket::connected, this, [this, id] { OnConnect(id); });
        connect(&session, &FtpSession::success, this,
                [this, id](CommandKind kind) { OnSuccess(id, kind); });
        connect(&session, &PumpingSocket::error, this,
                [this, id](int number, const QString& text) { OnError(id, number, text); });
        connect(&session, &PumpingSocket::connectionFailed, this,
                [this, id] { OnConnectionFailed(id); });
        connect(&session, &PumpingSocket::disconnected, this, [this, id] { OnDisconnect(id); });
        session.setFailureHandler([this, id](CommandKind kind) { return OnFailure(id, kind); });
        session.setInvalidHostHandler([this, id] { return OnInvalidHost(id); });
        session.setConnectionRequiredHandler([this, id] { return OnConnectionRequired(id); });
        connect(&side.idleTimer(), &QTimer::timeout, this, [this, id] { IdleTick(id); });
    }
}

// ---- connecting -----------------------------------------------------------------

void ConnectionLifecycle::ConnectToSite(const ConnectRequest& request, SideId id) {
    Side& side = m_app.side(id);
    SideState& state = side.state();
    const quint64 generation = ++m_connectGeneration[Index(id)];
    if (side.session().isInOperation()) {
        // An older connect or command still waits on this session further
        // down the stack: end it, and connect once it has unwound.
        if (side.session().isConnected())
            state.UserDisconnect = true;
        side.session().Abort();
        side.session().CloseSocket();
        whenIdle(id, [this, request, id] { ConnectToSite(request, id); }, IdleTries);
        return;
    }
    m_lastRequest[Index(id)] = request;
    state.Connecting = true;
    const int retries = std::max(0, m_app.settings().retryCount);
    for (int attempt = 0;; ++attempt) {
        const bool retryable = connectAttempt(request, id, attempt);
        QCoreApplication::processEvents();
        if (generation != m_connectGeneration[Index(id)] || m_app.closing())
            break; // Abort, a newer connect or the exit took the side over
        if (!retryable || attempt >= retries || state.LoggedIn)
            break;
        side.setStatusBarText(QString::fromLatin1(RetryWaitText));
        state.Connecting = false;
        m_app.statusLog().AddStatusLine(QString::fromLatin1(RetryWaitText), clBlack);
        if (!waitForRetry(id, generation))
            break;
    }
    state.Connecting = false;
    // A side that did not log in is not working on anything.
    if (!state.LoggedIn)
        state.Busy = false;
}

void ConnectionLifecycle::whenIdle(SideId id, const std::function<void()>& step, int triesLeft) {
    QTimer::singleShot(IdleCheckMs, this, [this, id, step, triesLeft] {
        if (!m_app.side(id).session().isInOperation()) {
            m_app.RunGuarded(step);
        } else if (triesLeft > 0) {
            whenIdle(id, step, triesLeft - 1);
        } else {
            m_app.statusLog().AddStatusLine(
                QStringLiteral("The side is still busy with an operation that does not end; "
                               "try again after Abort"),
                clRed);
        }
    });
}

bool ConnectionLifecycle::connectAttempt(const ConnectRequest& request, SideId id, int attempt) {
    Side& side = m_app.side(id);
    SideState& state = side.state();
    FtpSession& session = side.session();
    const Settings& settings = m_app.settings();

    // A new site replaces the old connection: the user asked for that.
    if (session.isConnected())
        state.UserDisconnect = true;
    session.CloseSocket();
    side.setStatusBarText(QStringLiteral("Resolving Host"));
    session.setProxy(QString());
    session.setHost(request.host);
    try {
        // A hand-edited huge value must not overflow the milliseconds.
        session.setTimeOut(std::clamp(settings.connectTimeout, 0, 24 * 3600) * 1000);
        state.RemoteAddress = session.ResolveHost(false).toString();
    } catch (const NetError& e) {
        // Retrying a name that does not resolve cannot help; the user's own
        // Abort needs no red line.
        if (!session.isCancelled())
            reportConnectFailure(request, e.message());
        return false;
    }
    bool portOk = false;
    const uint port = request.port.trimmed().toUInt(&portOk);
    if (!portOk || port == 0 || port > 65535) {
        reportConnectFailure(request, QStringLiteral("Invalid port \"%1\"").arg(request.port));
        return false;
    }

    state.ListMode = OptionDigit(request.options, 0);
    state.FxpMethod = OptionDigit(request.options, 1);
    state.Busy = true;
    state.InitialPath = request.path;

    const QString localPath =
        IniFile(m_app.settingsStore().iniPath())
            .readString(SiteSectionName(request.displayName), "LocalPath");
    if (!localPath.isEmpty())
        m_app.side(OtherSide(id)).setLocalPath(localPath);

    QString line = QStringLiteral("Connecting to ") + request.displayName +
                   QStringLiteral(", port ") + request.port;
    if (attempt > 0)
        line += QStringLiteral(" (%1)").arg(attempt);
    m_app.statusLog().AddStatusLine(line, side.statusColour());
    side.setStatusBarText(line);

    if (settings.proxy) {
        session.setProxy(settings.proxyHost);
        const uint proxyPort = settings.proxyPort.trimmed().toUInt();
        session.setProxyPort(proxyPort <= 65535 ? quint16(proxyPort) : 0);
    }
    session.setPort(quint16(port));
    session.UserID = request.user;
    session.Password = request.password;
    if (settings.identdServer && settings.identdOnly)
        m_app.identServer().Start();

    side.setHeaderText(request.displayName);
    try {
        session.Connect();
        session.setProxy(QString());
    } catch (const NetError& e) {
        const QString& message = e.message();
        // A server's refusal is already in the status window as its reply.
        if (message != QLatin1String(ReadAbortedText) && !message.startsWith(QLatin1String("530")) &&
            !message.startsWith(QLatin1String("421")))
            reportConnectFailure(request, message);
    }
    return true;
}

void ConnectionLifecycle::reportConnectFailure(const ConnectRequest& request,
                                               const QString& message) {
    m_app.statusLog().AddStatusLine(QStringLiteral("Unable to Connect to ") + request.displayName +
                                        QStringLiteral(", Error: ") + message,
                                    clRed);
}

bool ConnectionLifecycle::waitForRetry(SideId id, quint64 generation) {
    Side& side = m_app.side(id);
    const qint64 delayMs = qint64(std::max(0, m_app.settings().retryDelay)) * 1000;
    QDeadlineTimer deadline(delayMs);
    auto endedEarly = [&] {
        return side.session().isConnected() || side.state().Connecting ||
               generation != m_connectGeneration[Index(id)] || m_app.closing();
    };
    QEventLoop loop;
    QTimer check;
    check.setInterval(RetryCheckMs);
    connect(&check, &QTimer::timeout, &loop, [&] {
        if (endedEarly() || deadline.hasExpired())
            loop.quit();
    });
    check.start();
    if (!endedEarly() && !deadline.hasExpired())
        loop.exec();
    if (endedEarly()) {
        if (generation == m_connectGeneration[Index(id)])
            side.setStatusBarText(QString());
        return false;
    }
    return !side.state().Connecting;
}

void ConnectionLifecycle::ConnectSavedSite(const QString& siteName, SideId id) {
    const SiteRecord site = SiteStorage(m_app.settingsStore().iniPath()).LoadSite(siteName);
    if (!site.problem.isEmpty())
        m_app.statusLog().AddStatusLine(site.problem, clRed);
    ConnectToSite(site.connectRequest(), id);
}

bool ConnectionLifecycle::ConnectFromSiteManager(const QString& siteName) {
    const bool leftConnected = m_app.left().session().isConnected();
    if (leftConnected && m_app.right().session().isConnected())
        return false;
    startDelayedConnect(siteName, leftConnected ? SideId::Right : SideId::Left,
                        DelayedKind::SiteManager);
    return true;
}

void ConnectionLifecycle::startDelayedConnect(const QString& siteName, SideId id,
                                              DelayedKind kind) {
    m_delayed[Index(id)] = {siteName, kind};
    m_timerConnect.start();
}

QString ConnectionLifecycle::reconnectSite(SideId id) const {
    return m_delayed[Index(id)].site;
}

void ConnectionLifecycle::TimerConnectFired() {
    m_timerConnect.stop();
    std::optional<SideId> restart;
    for (SideId id : {SideId::Left, SideId::Right}) {
        // The connect pumps events: a new delayed connect may be set meanwhile.
        const DelayedConnect delayed = std::exchange(m_delayed[Index(id)], {});
        if (!delayed.site.isEmpty() && runDelayedConnect(id, delayed.site, delayed.kind))
            restart = id;
    }
    // Once both sides that were lost are back.
    if (restart)
        Q_EMIT queueRestartRequested(*restart);
}

bool ConnectionLifecycle::runDelayedConnect(SideId id, const QString& siteName,
                                            DelayedKind kind) {
    Side& side = m_app.side(id);
    SiteRecord site = SiteStorage(m_app.settingsStore().iniPath()).LoadSite(siteName);
    if (!site.problem.isEmpty())
        m_app.statusLog().AddStatusLine(site.problem, clRed);
    ConnectRequest request = site.connectRequest();
    if (kind == DelayedKind::Reconnect) {
        // A quick-connect or command-line site is not saved: reconnect with
        // what it was connected with.
        const ConnectRequest& last = m_lastRequest[Index(id)];
        if (site.host.isEmpty() && last.displayName == siteName)
            request = last;
        // Back into the directory the side was showing, and the cut entry
        // runs again.
        request.path = side.state().CurrentPath;
        m_app.runState().RetryCurrent = true;
    }
    ConnectToSite(request, id);
    const bool queued = !m_app.queueIsEmpty();
    for (Side* s : {&m_app.left(), &m_app.right()}) {
        s->setButtonEnabled(SideButton::Transfer, queued);
        s->state().Busy = false;
    }
    return kind == DelayedKind::Reconnect && m_app.runState().runActive(id);
}

// ---- buttons ----------------------------------------------------------------------

void ConnectionLifecycle::DisconnectClick(SideId id) {
    Side& side = m_app.side(id);
    SideState& state = side.state();
    FtpSession& session = side.session();
    state.UserDisconnect = true;
    if (state.QuitPending) {
        // Second press: no more waiting for the server's goodbye.
        state.QuitPending = false;
        session.Abort();
        session.CloseSocket();
        return;
    }
    if (session.isInOperation()) {
        // QUIT now would read the waiting operation's reply: end that first.
        session.Abort();
        whenIdle(
            id,
            [this, id] {
                if (m_app.side(id).session().isConnected())
                    DisconnectClick(id);
            },
            IdleTries);
        return;
    }
    state.QuitPending = true;
    try {
        session.DoCommand(QStringLiteral("QUIT"));
    } catch (const NetError&) {
        // The connection ends either way.
    }
    // A server that said goodbye but keeps the line open is closed by us.
    if (session.isConnected() && session.replyNumber() == 221)
        session.CloseSocket();
}

void ConnectionLifecycle::AbortClick(SideId id) {
    Side& side = m_app.side(id);
    SideState& state = side.state();
    FtpSession& session = side.session();
    ++m_connectGeneration[Index(id)];
    state.Connecting = true;
    const QString panel = side.statusBarText();
    if (panel.contains(QLatin1String("Connecting to ")) ||
        panel.contains(QLatin1String("Resolving Host"))) {
        // The connect's wait ends at once, not at its time-out.
        session.Abort();
        session.CloseSocket();
        QCoreApplication::processEvents();
        side.setStatusBarText(QString());
    } else if (panel == QLatin1String(RetryWaitText)) {
        side.setStatusBarText(QString());
    }
    if (session.isConnected())
        side.setButtonEnabled(SideButton::Refresh, true);
    if (!m_app.queueIsEmpty() && !side.button(SideButton::Stop).enabled)
        side.setButtonEnabled(SideButton::Transfer, true);
    side.endListing();
    if (m_app.transferTimer().isActive()) {
        if (session.isConnected())
            session.Abort();
        m_app.runState().LocalBytes[size_t(TransferRunState::index(id))] = 0;
        m_app.transferTimer().stop();
        side.setStatusBarText(QString());
    }
    if (!session.isConnected())
        return;
    if (session.isInOperation()) {
        // The waiting operation ends with its own ABOR; a second command now
        // would read that operation's reply.
        session.Abort();
        return;
    }
    try {
        session.DoCommand(QStringLiteral("ABOR"));
    } catch (const NetError&) {
        // The reply, if any, is in the status window.
    }
}

void ConnectionLifecycle::IdleTick(SideId id) {
    Side& side = m_app.side(id);
    // Never in the middle of another command's reply.
    if (!m_app.settings().antiIdle || !side.session().isConnected() || side.state().Busy ||
        side.session().isInOperation())
        return;
    try {
        if (m_app.autoRefreshChecked()) {
            m_app.listing().RefreshDirectory(id, false);
            m_refreshedSinceFilter[Index(id)] = true;
            if (m_dupeAfterRefresh && m_refreshedSinceFilter[0] && m_refreshedSinceFilter[1]) {
                m_refreshedSinceFilter = {};
                Q_EMIT dupeFilterRequested();
            }
        } else {
            side.session().DoCommand(QStringLiteral("NOOP"));
        }
    } catch (const NetError&) {
        // The next tick tries again; a lost connection shows as a disconnect.
    } catch (const std::exception&) {
    }
}
