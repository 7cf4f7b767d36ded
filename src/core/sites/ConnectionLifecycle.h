#pragma once

#include "app/SideState.h"
#include "net/CommandKind.h"
#include "sites/ConnectRequest.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>

class App;
class Side;

// Brings a side from not connected to logged in and showing its directory,
// keeps it alive, and takes it down again: the connect routine with its
// retries, the handlers of both sessions' events, the Disconnect and Abort
// buttons, the keep-alive tick and the delayed (re)connect. Written once;
// every operation takes the side.
class ConnectionLifecycle : public QObject {
    Q_OBJECT
public:
    // How long the delayed connect waits.
    static constexpr int ReconnectDelayMs = 2000;

    explicit ConnectionLifecycle(App& app, QObject* parent = nullptr);

    // Connects one side, with RetryCount retries RetryDelay seconds apart.
    // A new connect of the side or its Abort ends a retry wait.
    void ConnectToSite(const ConnectRequest& request, SideId side);
    // A saved site from the drop-down.
    void ConnectSavedSite(const QString& siteName, SideId side);
    // The site manager's double-click: the left side unless it is connected,
    // then the right one; false when both are.
    bool ConnectFromSiteManager(const QString& siteName);
    // The side's buttons.
    void DisconnectClick(SideId side);
    void AbortClick(SideId side);
    // One keep-alive tick of the side's idle timer.
    void IdleTick(SideId side);

    // The delayed connect: TimerConnect runs it after ReconnectDelayMs. Each
    // side keeps its own, so two sites lost together both come back.
    QTimer& timerConnect() { return m_timerConnect; }
    // The site the side connects to when the timer fires; empty for none.
    QString reconnectSite(SideId side) const;
    void TimerConnectFired();

    // "^-> Dupe After": the filter runs once both sides were refreshed by the tick.
    bool dupeAfterRefresh() const { return m_dupeAfterRefresh; }
    void setDupeAfterRefresh(bool on) { m_dupeAfterRefresh = on; }

Q_SIGNALS:
    // Both sides were refreshed by the keep-alive tick with "Dupe After" on.
    void dupeFilterRequested();
    // A reconnected side was part of a queue run that stopped.
    void queueRestartRequested(SideId side);

private:
    enum class DelayedKind { Reconnect, SiteManager };

    // Session events.
    void OnStatus(SideId side, const QString& text);
    void OnConnect(SideId side);
    void OnSuccess(SideId side, CommandKind kind);
    bool OnFailure(SideId side, CommandKind kind);
    void OnError(SideId side, int number, const QString& text);
    bool OnInvalidHost(SideId side);
    void OnConnectionFailed(SideId side);
    bool OnConnectionRequired(SideId side);
    void OnDisconnect(SideId side);

    // One attempt: true when it ended logged in.
    bool connectAttempt(const ConnectRequest& request, SideId side, int attempt);
    void reportConnectFailure(const ConnectRequest& request, const QString& message);
    // Waits RetryDelay; false when a new connect, an Abort or a login ended it.
    bool waitForRetry(SideId side, quint64 generation);
    void resetSide(Side& side);
    void startDelayedConnect(const QString& siteName, SideId side, DelayedKind kind);
    // Connects the side to the site; true when the queue run it was part of
    // should start again.
    bool runDelayedConnect(SideId side, const QString& siteName, DelayedKind kind);
    // Runs step once no wait of the side's session is left on the stack.
    void whenIdle(SideId side, const std::function<void()>& step, int triesLeft);

    App& m_app;
    struct DelayedConnect {
        QString site; // empty: nothing waits
        DelayedKind kind = DelayedKind::Reconnect;
    };
    QTimer m_timerConnect;
    std::array<DelayedConnect, 2> m_delayed{};
    // Raised by each connect and Abort of a side; a retry wait of an older
    // run sees the change and gives up the side.
    std::array<quint64, 2> m_connectGeneration{};
    // What each side was last connected with, for reconnecting a site that
    // is not saved.
    std::array<ConnectRequest, 2> m_lastRequest{};
    // Sides the keep-alive tick refreshed since the last filter.
    std::array<bool, 2> m_refreshedSinceFilter{};
    bool m_dupeAfterRefresh = false;
};
