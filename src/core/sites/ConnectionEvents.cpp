// The handlers of both sessions' events: login, outcomes, errors and the
// disconnect that resets the side and may schedule a reconnect.
#include "app/App.h"
#include "app/DesktopServices.h"
#include "listing/ListingRetrieval.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"
#include "services/IdentServer.h"
#include "sites/ConnectionLifecycle.h"
#include "sites/SiteStats.h"

#include <QScopeGuard>
#include <QTimer>

void ConnectionLifecycle::OnStatus(SideId id, const QString& text) {
    Side& side = m_app.side(id);
    SideState& state = side.state();
    const Settings& settings = m_app.settings();
    m_app.statusLog().AddStatusLine(text, side.statusColour());
    // Keep-alive counts from the last traffic.
    if (settings.antiIdle)
        side.idleTimer().start();

    if (text.toLower().contains(QLatin1String("530 please login with user and pass."))) {
        // Sent once the reply being read is complete, not in the middle of it.
        QTimer::singleShot(0, &side.session(), [session = &side.session()] {
            if (!session->isConnected())
                return;
            try {
                session->Writeln("QUIT");
            } catch (const NetError&) {
            }
        });
    }
    if (text.startsWith(QLatin1String("331")))
        state.LoggedIn = false;
    if (text.startsWith(QLatin1String("230")) && !state.LoggedIn) {
        PlayEventSound(m_app.services(), settings.connectWav, SoundKind(settings.connectSound));
        side.setButtonEnabled(SideButton::Connect, false);
        for (SideButton b : {SideButton::Disconnect, SideButton::Refresh, SideButton::FilterDupes,
                             SideButton::TwoDayFilterDupes})
            side.setButtonEnabled(b, true);
        side.setButtonImage(SideButton::FilterDupes, FilterImageReady);
        state.LoggedIn = true;
        state.Busy = false;
        if (settings.identdOnly)
            m_app.identServer().Stop();
    }
}

void ConnectionLifecycle::OnConnect(SideId id) {
    Side& side = m_app.side(id);
    SideState& state = side.state();
    FtpSession& session = side.session();
    state.QuitPending = false;
    m_app.left().state().Busy = false;
    m_app.right().state().Busy = false;
    if (!m_app.queueIsEmpty()) {
        m_app.left().setButtonEnabled(SideButton::Transfer, true);
        m_app.right().setButtonEnabled(SideButton::Transfer, true);
    }
    side.setStatusBarText(side.isLeft() ? QStringLiteral("Logged in.")
                                        : QStringLiteral("Logged in"));
    session.Vendor = FtpReplies::VendorUnknown;
    m_app.setOnCompleteIdle(true);
    m_app.siteStats().UpdateSiteStats(side.headerText(), SiteStats::Kind::Login, 0);

    if (session.lastStatus().startsWith(QLatin1String("530")))
        return;
    // Lines the welcome left behind are the server's words too.
    QByteArray last = session.lastReply();
    while (session.receiveBuffer().hasLine()) {
        last = session.receiveBuffer().takeLine();
        m_app.statusLog().AddStatusLine(FtpReplies::LineText(last), side.statusColour());
        if (last.size() > 3 && last.at(3) == ' ')
            break;
    }
    if (FtpReplies::IsErrorReply(last))
        return;
    // This runs inside the login: a failure here must not undo the login.
    try {
        session.DoCommand(QStringLiteral("SYST"));
        state.SystemType = session.LastReplyText();
        if (!state.InitialPath.isEmpty()) {
            // The reply alone cannot tell: an accepted CWD refreshes the
            // listing before it returns, and that may fail.
            bool entered = false;
            const QMetaObject::Connection watch = QObject::connect(
                &session, &FtpSession::success,
                [&entered](CommandKind kind) { entered |= kind == CommandKind::ChangeDir; });
            const auto unwatch = qScopeGuard([&watch] { QObject::disconnect(watch); });
            session.ChangeDir(state.InitialPath);
            // A refused directory (gone while the line was down): the side
            // must not go on believing it is there, or files land elsewhere.
            if (!entered && session.isConnected())
                m_app.listing().RefreshDirectory(id, true);
        } else {
            m_app.listing().RefreshDirectory(id, true);
        }
    } catch (const NetError&) {
        // Aborted, or the line went: the status window shows what happened.
    }
}

void ConnectionLifecycle::OnSuccess(SideId id, CommandKind kind) {
    Side& side = m_app.side(id);
    try {
        if (kind == CommandKind::ChangeDir) {
            side.setStatusBarText(QStringLiteral("Directory changed."));
            if (!side.state().SkipRefreshOnCwd)
                m_app.listing().RefreshDirectory(id, true);
            side.state().SkipRefreshOnCwd = false;
        }
        side.setStatusBarText(QStringLiteral("Idle."));
    } catch (const NetError&) {
        // The failure is in the status window already; the command succeeded.
    } catch (const std::exception&) {
    }
}

bool ConnectionLifecycle::OnFailure(SideId id, CommandKind kind) {
    Side& side = m_app.side(id);
    const QString text = FailureText(kind);
    if (!text.isEmpty())
        side.setStatusBarText(text);
    if (kind == CommandKind::ChangeDir) {
        side.state().SkipRefreshOnCwd = false;
        Side& other = m_app.side(OtherSide(id));
        m_app.left().setButtonEnabled(SideButton::TwoDayFilterDupes, true);
        m_app.right().setButtonEnabled(SideButton::TwoDayFilterDupes, true);
        side.setButtonEnabled(SideButton::FilterDupes, true);
        if (other.session().isConnected()) {
            other.setButtonEnabled(SideButton::FilterDupes, true);
            other.setButtonImage(SideButton::FilterDupes, FilterImageReady);
        }
    }
    if (kind == CommandKind::List && side.endListing()) {
        side.setButtonEnabled(SideButton::Refresh, true);
        side.listingShown(true);
    }
    return true;
}

void ConnectionLifecycle::OnError(SideId id, int number, const QString& text) {
    const Settings& settings = m_app.settings();
    PlayEventSound(m_app.services(), settings.errorWav, SoundKind(settings.errorSound));
    m_app.side(id).setStatusBarText(QStringLiteral("Error %1 %2").arg(number).arg(text));
}

bool ConnectionLifecycle::OnInvalidHost(SideId id) {
    m_app.side(id).setStatusBarText(QStringLiteral("Invalid Host"));
    return false;
}

void ConnectionLifecycle::OnConnectionFailed(SideId id) {
    Side& side = m_app.side(id);
    if (m_app.settings().identdOnly)
        m_app.identServer().Stop();
    if (!side.session().isConnected()) {
        side.setHeaderText(QString());
        side.setStatusBarText(QStringLiteral("Connect Failed"));
    }
}

bool ConnectionLifecycle::OnConnectionRequired(SideId id) {
    Side& side = m_app.side(id);
    side.clearRemoteView();
    m_app.statusLog().AddStatusLine(QStringLiteral("Error: Not Connected"), clRed);
    side.setStatusBarText(QString());
    OnDisconnect(id);
    return false;
}

void ConnectionLifecycle::OnDisconnect(SideId id) {
    Side& side = m_app.side(id);
    SideState& state = side.state();
    const Settings& settings = m_app.settings();
    side.endListing();
    const QString name = side.headerText();
    if (!name.isEmpty()) {
        if (!state.UserDisconnect) {
            side.setStatusBarText(QStringLiteral("Disconnected"));
            m_app.statusLog().AddStatusLine(QStringLiteral("Disconnected from: ") + name,
                                            side.statusColour());
            PlayEventSound(m_app.services(), settings.disconnectWav,
                           SoundKind(settings.disconnectSound));
            if (state.LoggedIn && settings.restoreResume && !m_app.queueIsEmpty() &&
                !m_app.closing()) {
                side.setHeaderText(QString());
                startDelayedConnect(name, id, DelayedKind::Reconnect);
            }
        } else {
            side.setStatusBarText(QStringLiteral("Logged Off"));
            m_app.statusLog().AddStatusLine(QStringLiteral("Logged off: ") + name,
                                            side.statusColour());
        }
    }
    resetSide(side);
}

void ConnectionLifecycle::resetSide(Side& side) {
    m_app.setTitle(QString::fromLatin1(App::Title));
    m_app.transferTimer().stop();
    for (Side* s : {&m_app.left(), &m_app.right()}) {
        s->setButtonImage(SideButton::Stop, StopImageIdle);
        s->setButtonEnabled(SideButton::Stop, false);
        s->setButtonEnabled(SideButton::Transfer, false);
    }
    side.clearRemoteView();
    side.setButtonEnabled(SideButton::Connect, true);
    for (SideButton b : {SideButton::Disconnect, SideButton::Refresh, SideButton::FilterDupes,
                         SideButton::TwoDayFilterDupes})
        side.setButtonEnabled(b, false);
    side.setButtonImage(SideButton::FilterDupes, FilterImageIdle);
    side.setHeaderText(QString());
    if (!side.localView())
        side.setSummaryText(QString());
    side.state().UserDisconnect = false;
    side.state().LoggedIn = false;
    side.cache().Clear();
}

