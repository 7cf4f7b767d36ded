#include "listing/ListingRetrieval.h"

#include "app/App.h"
#include "app/RemotePath.h"
#include "app/UserPrompts.h"
#include "listing/SelectionSummary.h"
#include "net/AsyncSocket.h"
#include "net/FtpReplies.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"
#include "net/WireText.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

using FtpReplies::LineText;

namespace {

const QString CurrentDirectoryError = QStringLiteral("Error: Unable to determine Current Directory");

// Replays a cached listing into the side, telling the status window.
class CacheReplay : public CacheReplayListener {
public:
    CacheReplay(App& app, Side& side, std::function<void(const QString&)> addLine)
        : m_app(app), m_side(side), m_addLine(std::move(addLine)) {
        m_progress.start();
    }
    void replayStarted() override {
        m_app.statusLog().AddStatusLine(QStringLiteral("List (cached)"), m_side.statusColour());
    }
    void replayLine(const QString& line) override {
        m_addLine(line);
        if (m_progress.elapsed() >= 100) {
            m_side.setStatusBarText(QStringLiteral("Formating List"));
            m_progress.restart();
        }
    }
    void replayFinished() override {
        m_app.statusLog().AddStatusLine(QStringLiteral("List Complete."), m_side.statusColour());
    }

private:
    App& m_app;
    Side& m_side;
    std::function<void(const QString&)> m_addLine;
    QElapsedTimer m_progress;
};

bool StartsWithAny(const QByteArray& line, std::initializer_list<const char*> prefixes) {
    for (const char* prefix : prefixes)
        if (line.startsWith(prefix))
            return true;
    return false;
}

} // namespace

ListingRetrieval::ListingRetrieval(App& app) : QObject(nullptr), m_app(app) {}

void ListingRetrieval::attach() {
    for (SideId id : {SideId::Left, SideId::Right}) {
        Side& side = m_app.side(id);
        connect(&side.session(), &FtpSession::listItem, this,
                [this, id](const QString& line) { OnListItem(id, line); });
        AsyncSocket& socket = side.listingSocket();
        connect(&socket, &AsyncSocket::dataAvailable, this,
                [this, &side] { listingDataAvailable(side); });
        connect(&socket, &AsyncSocket::error, this, [this, &side](int number, const QString&) {
            AsyncSocket& s = side.listingSocket();
            if (s.state() != AsyncSocket::State::Connected)
                return;
            m_app.statusLog().AddStatusLine(QStringLiteral("! List: Receive error %1").arg(number),
                                            clRed);
            s.ShutDown(2);
        });
    }
}

QString ListingRetrieval::ListArgument(const Settings& settings) {
    switch (settings.listMethod) {
    case 1:
        return QStringLiteral(" -al");
    case 2:
        return QStringLiteral(" -") + settings.listCustomText;
    default:
        return QString();
    }
}

QStringList ListingRetrieval::SplitListing(const QByteArray& rawText) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = rawText.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = rawText.at(i);
        if (c != '\n' && c != '\r')
            continue;
        lines.append(WireText::Decode(rawText.mid(start, i - start)));
        if (c == '\r' && i + 1 < n && rawText.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(WireText::Decode(rawText.mid(start)));
    return lines;
}

ListParseContext ListingRetrieval::parseContext(const Side& side) const {
    ListParseContext c;
    c.systemType = side.state().SystemType;
    c.options = m_app.skipOptions();
    c.skipList = PatternSet(m_app.skipList());
    c.favourites = PatternSet(m_app.favourites());
    c.now = QDateTime::currentDateTime();
    c.locale = QLocale();
    return c;
}

bool ListingRetrieval::progressDue(PerSide& p) {
    if (p.progress.isValid() && p.progress.elapsed() < 100)
        return false;
    p.progress.start();
    return true;
}

void ListingRetrieval::RefreshDirectory(SideId id, bool useCache) {
    Side& side = m_app.side(id);
    SideState& state = side.state();
    FtpSession& session = side.session();
    PerSide& p = per(id);
    const QString argument = ListArgument(m_app.settings());
    // A transfer or delete that was running keeps the side busy afterwards.
    const bool keepBusy = state.Busy && side.button(SideButton::Stop).enabled;
    state.Busy = true;
    side.setButtonEnabled(SideButton::Refresh, false);
    side.setSummaryText(QString());
    p.rawText.clear();
    p.rawLines = 0;
    p.capped = false;
    p.progress.invalidate();
    side.rawListing().clear();
    // An unfinished refresh of this side is cleaned up first.
    side.endListing();
    p.context = parseContext(side);
    try {
        ReadCurrentDirectory(id);
        side.beginListing();
        side.setStatusBarText(QStringLiteral("Refreshing directory."));
        bool replayed = false;
        if (m_app.cacheDirectories() && useCache) {
            CacheReplay replay(m_app, side, [this, &side](const QString& line) {
                addLine(side, line);
            });
            replayed = side.cache().CacheLookup(side.currentPath(), true, replay);
        }
        QElapsedTimer elapsed;
        elapsed.start();
        if (!replayed)
            fetchListing(side, argument);
        m_app.statusLog().AddStatusLine(QStringLiteral(" %1ms").arg(elapsed.elapsed()), clFuchsia);
        // The replies that came during the listing, such as its 226; only
        // whole lines, so this never waits.
        while (session.isConnected() && session.receiveBuffer().hasLine())
            m_app.statusLog().AddStatusLine(LineText(session.ReadLn()), side.statusColour());
    } catch (...) {
        finishRefresh(side, keepBusy);
        throw;
    }
    finishRefresh(side, keepBusy);
}

void ListingRetrieval::finishRefresh(Side& side, bool keepBusy) {
    PerSide& p = per(side.id());
    const bool connected = side.session().isConnected();
    // A listing cut short must never be replayed as the directory.
    if (p.capped || !connected)
        side.cache().DiscardRecording();
    else
        side.cache().CloseRecording();
    side.endListing();
    UpdateSelectionSummary(side);
    side.listing().SortList(m_app.listSortOrder(), p.context.locale);
    side.tree().SortAlphabetically();
    side.listingShown(connected);
    if (!keepBusy)
        side.state().Busy = false;
    side.setButtonEnabled(SideButton::Refresh, true);
    side.setStatusBarText(QStringLiteral("Idle."));
}

void ListingRetrieval::ReadCurrentDirectory(SideId id) {
    Side& side = m_app.side(id);
    FtpSession& session = side.session();
    side.setCurrentPath(QString());
    if (!session.isConnected())
        return;
    session.CurrentDir();
    QByteArray line = session.lastReply();
    // A refusal is final: waiting for another line would only run into the time-out.
    if (FtpReplies::IsErrorReply(line)) {
        m_app.statusLog().AddStatusLine(CurrentDirectoryError, clRed);
        return;
    }
    // Some servers say something else first; a few more lines are read.
    for (int extra = 0; !line.startsWith("257 \""); ++extra) {
        if (extra == 10 || !session.isConnected())
            return;
        line = session.ReadLn();
    }
    const QString path = EnsureTrailingSeparator(FtpReplies::QuotedPath(LineText(line)));
    side.setCurrentPath(path);
    if (!session.isConnected())
        return;
    if (path.isEmpty()) {
        m_app.statusLog().AddStatusLine(CurrentDirectoryError, clRed);
        return;
    }
    side.AddPathHistory(path);
    const ListParseContext& c = per(id).context;
    side.tree().AddPathNodes(path, DirectoryTreeModel::TreeSeparator(path),
                             [&c](const QString& name) {
                                 return MarkOf(name, EntryKind::Directory, u"1", c);
                             });
}

void ListingRetrieval::fetchListing(Side& side, const QString& argument) {
    const int mode = side.state().ListMode;
    const bool passive = mode == 2 || (mode == 3 && m_app.settings().altList);
    if (passive)
        PassiveList(side.id(), argument);
    else if (mode == 1 || mode == 3)
        side.session().List(argument);
}

bool ListingRetrieval::awaitReply(Side& side, std::initializer_list<const char*> prefixes) {
    FtpSession& session = side.session();
    QByteArray line = session.lastReply();
    while (!StartsWithAny(line, prefixes)) {
        try {
            line = session.ReadReply();
        } catch (const NetError&) {
            return session.isConnected();
        }
        if (!session.isConnected())
            return false;
    }
    return true;
}

void ListingRetrieval::PassiveList(SideId id, const QString& argument) {
    Side& side = m_app.side(id);
    FtpSession& session = side.session();
    PerSide& p = per(id);
    if (!session.isConnected())
        return;
    for (const auto& [command, accepted] :
         {std::pair{"TYPE A", "200"}, std::pair{"PASV", "227"}}) {
        try {
            session.DoCommand(QString::fromLatin1(command));
        } catch (const NetError&) {
            // The last reply decides.
        }
        if (!awaitReply(side, {accepted, "4", "5"}))
            return;
    }
    // The reply's host numbers are not used: the data goes to the address
    // the control connection reached, never to one a server names.
    const quint16 port = FtpReplies::PassivePort(session.lastReply()).value_or(0);
    if (port == 0) {
        m_app.prompts().information(QStringLiteral("List Error: Port Not Defined"));
        side.setButtonEnabled(SideButton::Refresh, true);
        return;
    }
    AsyncSocket& socket = side.listingSocket();
    socket.Close();
    socket.setPort(QString::number(port));
    socket.setAddr(side.state().RemoteAddress);
    p.rawText.clear();
    p.rawLines = 0;
    socket.Connect();
    try {
        session.DoCommand(QStringLiteral("LIST") + argument);
    } catch (const NetError&) {
        m_app.statusLog().AddStatusLine(QStringLiteral("List Error"), clRed);
    }
    const bool received = waitForListingData(side);
    // The LIST's closing reply is read now; left in the buffer it could pass
    // for the answer to the next command. A listing we cut short is aborted.
    if (session.isConnected() && FtpReplies::InRange(session.replyNumber(), 100, 199)) {
        try {
            if (p.capped)
                session.AbandonTransfer();
            else if (received)
                session.ReadReply();
        } catch (const NetError&) {
            // Shown in the status window; what arrived is still shown.
        }
    }
    if (!received)
        return;
    socket.Close();
    const QByteArray raw = std::exchange(p.rawText, QByteArray());
    FormatList(id, raw);
    if (!session.isConnected())
        side.listing().clear();
}

bool ListingRetrieval::waitForListingData(Side& side) {
    AsyncSocket& socket = side.listingSocket();
    FtpSession& session = side.session();
    const SideState& state = side.state();
    // Silence for the session's TimeOut ends the wait, like any other wait.
    const int timeOut = session.timeOut();
    QEventLoop loop;
    QTimer idle;
    idle.setSingleShot(true);
    bool timedOut = false;
    auto done = [&] {
        return socket.state() == AsyncSocket::State::Closed || !session.isConnected() ||
               !state.ListingActive || timedOut;
    };
    auto check = [&] {
        if (done())
            loop.quit();
    };
    connect(&socket, &AsyncSocket::sessionClosed, &loop, check);
    connect(&socket, &AsyncSocket::dataAvailable, &loop, [&] {
        if (timeOut > 0)
            idle.start(timeOut);
        check();
    });
    connect(&session, &PumpingSocket::disconnected, &loop, check);
    connect(&idle, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    // A safety net for flags that change without an event of ours.
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, check);
    poll.start(100);
    if (timeOut > 0)
        idle.start(timeOut);
    if (!done())
        loop.exec();
    if (timedOut) {
        m_app.statusLog().AddStatusLine(
            QStringLiteral("List Error: no listing data from the server within %1 s")
                .arg(timeOut / 1000),
            clRed);
        socket.Close();
        per(side.id()).capped = true;
        return false;
    }
    if (!session.isConnected() || !state.ListingActive) {
        socket.Close();
        return false;
    }
    return true;
}

void ListingRetrieval::listingDataAvailable(Side& side) {
    PerSide& p = per(side.id());
    AsyncSocket& socket = side.listingSocket();
    const QByteArray data = socket.ReceiveAll();
    if (p.capped || data.isEmpty())
        return;
    p.rawLines += data.count('\n');
    p.rawText.append(data);
    if (p.rawLines > m_maxLines || p.rawText.size() > m_maxBytes) {
        stopOverlongListing(side);
        // Whole lines up to the cap are kept and shown.
        if (p.rawLines > m_maxLines) {
            qsizetype end = -1;
            for (qsizetype i = 0; i < m_maxLines; ++i)
                end = p.rawText.indexOf('\n', end + 1);
            p.rawText.truncate(end + 1);
        }
        p.rawText.truncate(std::min(p.rawText.size(), m_maxBytes));
        socket.Close();
        return;
    }
    if (progressDue(p))
        side.setStatusBarText(QStringLiteral("Refreshing directory, %1 bytes")
                                  .arg(FormatSizeText(p.rawText.size() + 1, p.context.locale)));
}

void ListingRetrieval::stopOverlongListing(Side& side) {
    PerSide& p = per(side.id());
    if (p.capped)
        return;
    p.capped = true;
    m_app.statusLog().AddStatusLine(
        QStringLiteral("List Error: the listing passed %1 lines or %2 MiB; the rest is not shown")
            .arg(FormatSizeText(m_maxLines, p.context.locale))
            .arg(m_maxBytes / (1024 * 1024)),
        clRed);
}

void ListingRetrieval::FormatList(SideId id, const QByteArray& rawText) {
    Side& side = m_app.side(id);
    PerSide& p = per(id);
    const QStringList lines = SplitListing(rawText);
    side.rawListing() = lines;
    const QString progressText =
        side.isLeft() ? QStringLiteral("Formating List %1%") : QStringLiteral("Formating List  %1%");
    const qsizetype n = lines.size();
    for (qsizetype i = 0; i < n; ++i) {
        addLine(side, lines.at(i));
        // Every 40 lines the window may repaint and take an Abort.
        if (i % 40 == 1 && progressDue(p)) {
            QCoreApplication::processEvents();
            if (!side.session().isConnected() || !side.state().ListingActive)
                return;
            side.setStatusBarText(progressText.arg(i * 100 / std::max<qsizetype>(n - 1, 1)));
        }
    }
    side.setStatusBarText(progressText.arg(100));
}

void ListingRetrieval::OnListItem(SideId id, const QString& line) {
    Side& side = m_app.side(id);
    PerSide& p = per(id);
    if (p.capped)
        return;
    if (side.rawListing().size() >= m_maxLines) {
        stopOverlongListing(side);
        side.session().Abort();
        return;
    }
    addLine(side, line);
    side.rawListing().append(line);
    if (progressDue(p)) {
        qsizetype bytes = 0;
        for (const QString& l : std::as_const(side.rawListing()))
            bytes += l.size() + 1;
        side.setStatusBarText(QStringLiteral("Refreshing directory, %1 bytes")
                                  .arg(FormatSizeText(bytes, p.context.locale)));
    }
}

void ListingRetrieval::addLine(Side& side, const QString& line) {
    DirectoryCache& cache = side.cache();
    if (cache.isRecording() && !cache.Record(line))
        m_app.statusLog().AddStatusLine(QStringLiteral("Cache Error"), clRed);
    if (line.size() > MaxEntryLineLength)
        return;
    std::optional<DirEntry> entry = ParseListLine(line, per(side.id()).context);
    if (!entry)
        return;
    if (OffersToTree(*entry))
        side.tree().AddDirectoryNode(entry->name, entry->mark, side.currentPath());
    side.listing().AddListEntry(std::move(*entry));
}
