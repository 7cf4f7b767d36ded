#include "dupes/DupeFilter.h"

#include "app/App.h"
#include "app/RemotePath.h"
#include "app/UserPrompts.h"
#include "dupes/DupeThread.h"
#include "dupes/TwoDayDirectory.h"
#include "listing/SelectionSummary.h"
#include "net/FtpReplies.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"

#include <QDate>
#include <QTimer>

namespace {

QStringList NamesOf(const ListingModel& listing) {
    QStringList names;
    names.reserve(listing.count());
    for (const DirEntry& entry : listing.entries())
        names << entry.name;
    return names;
}

// Rows of the original list as they stand once `gone` rows were removed.
std::vector<int> Renumbered(const std::vector<int>& rows, std::vector<int> gone) {
    std::sort(gone.begin(), gone.end());
    std::vector<int> result;
    result.reserve(rows.size());
    for (int row : rows)
        result.push_back(row - int(std::lower_bound(gone.begin(), gone.end(), row) - gone.begin()));
    return result;
}

} // namespace

DupeFilter::DupeFilter(App& app, QObject* parent) : QObject(parent), m_app(app) {}

DupeFilter::~DupeFilter() {
    if (m_thread) {
        m_thread->requestStop();
        m_thread->wait();
    }
}

void DupeFilter::log(const QString& text) {
    m_app.statusLog().AddStatusLine(text, clFuchsia);
}

void DupeFilter::setButtons(bool enabled) {
    for (Side* side : {&m_app.left(), &m_app.right()}) {
        side->setButtonEnabled(SideButton::FilterDupes, enabled);
        side->setButtonImage(SideButton::FilterDupes, enabled ? FilterImageReady : FilterImageIdle);
        side->setButtonEnabled(SideButton::TwoDayFilterDupes, enabled);
    }
}

void DupeFilter::RemoveDupes1Click() {
    if (m_thread)
        return;
    m_clock.start();
    Side* sides[] = {&m_app.left(), &m_app.right()};
    for (int i = 0; i < 2; ++i)
        m_snapshot[i] = NamesOf(sides[i]->listing());
    setButtons(false);
    for (Side* side : sides)
        side->setStatusBarText(QStringLiteral("Removing Dupes."));
    Q_EMIT runStarted(std::max(0, int(m_snapshot[0].size()) - 1) +
                      std::max(0, int(m_snapshot[1].size()) - 1));
    m_thread = new DupeThread(m_snapshot[0], m_snapshot[1], m_app.settings().dupeMatch, this);
    connect(m_thread, &DupeThread::progressed, this, &DupeFilter::progressed);
    connect(m_thread, &QThread::finished, this, &DupeFilter::threadFinished);
    m_thread->start(QThread::HighPriority);
}

void DupeFilter::applyRemovals() {
    const DupeOutcome& outcome = m_thread->outcome();
    Side* sides[] = {&m_app.left(), &m_app.right()};
    for (int i = 0; i < 2; ++i) {
        ListingModel& listing = sides[i]->listing();
        // A refresh while the thread worked: its rows mean other entries now.
        if (NamesOf(listing) != m_snapshot[i]) {
            m_app.statusLog().AddStatusLine(
                (i == 0 ? QStringLiteral("Left") : QStringLiteral("Right")) +
                    QStringLiteral(" list changed while duplicates were filtered; it stays as it is"),
                clRed);
            continue;
        }
        const std::vector<int>& first = i == 0 ? outcome.passes[0].left : outcome.passes[0].right;
        const std::vector<int>& second = i == 0 ? outcome.passes[1].left : outcome.passes[1].right;
        listing.RemoveEntries(first);
        listing.RemoveEntries(Renumbered(second, first));
    }
}

void DupeFilter::threadFinished() {
    if (!m_thread)
        return;
    applyRemovals();
    const int removed = m_thread->outcome().removed;
    m_thread->deleteLater();
    m_thread = nullptr;
    log(QStringLiteral(" %1ms").arg(m_clock.elapsed()));
    Q_EMIT runFinished();
    log(QStringLiteral(" %1 dupes filtered.").arg(removed));
    setButtons(true);
    for (Side* side : {&m_app.left(), &m_app.right()}) {
        side->setStatusBarText(QStringLiteral("Idle."));
        side->listingShown(true);
        UpdateSelectionSummary(*side);
    }
    m_app.RunGuarded([this] { completion(); });
    Q_EMIT completed();
}

bool DupeFilter::enter(SideId id, const QString& dir) {
    FtpSession& session = m_app.side(id).session();
    try {
        session.ChangeDir(dir);
        if (!FtpReplies::IsErrorReply(session.lastReply()))
            return true;
    } catch (const NetError&) {
        // Reported below like a refusal.
    }
    // Filtering the directory the side is still in would remove the wrong entries.
    m_app.statusLog().AddStatusLine(QStringLiteral("Two Day Dupe: cannot enter ") + dir, clRed);
    return false;
}

void DupeFilter::TwoDayFilter(SideId id) {
    if (m_thread)
        return;
    Side& side = m_app.side(id);
    const auto answer = m_app.prompts().inputBox(
        QStringLiteral("Two Day Dupe"), QStringLiteral("Todays Date Directory"), side.currentPath());
    if (!answer || answer->isEmpty())
        return;
    const QString today = EnsureTrailingSeparator(*answer);
    const QString yesterday = YesterdayDirectory(today, QDate::currentDate().year());
    if (yesterday.isEmpty()) {
        m_app.statusLog().AddStatusLine(
            QStringLiteral("Two Day Dupe: ") + today + QStringLiteral(" does not end in a date (MMDD)"),
            clRed);
        return;
    }
    m_today = today;
    m_twoDaySide = id;
    setButtons(false);
    if (!enter(id, yesterday)) {
        setButtons(true);
        return;
    }
    m_twoDay = TwoDay::Yesterday;
    RemoveDupes1Click();
}

void DupeFilter::setRace(bool on) {
    m_race = on;
    if (on)
        RemoveDupes1Click();
}

void DupeFilter::completion() {
    if (m_twoDay == TwoDay::Today) {
        m_twoDay = TwoDay::Idle;
        log(QStringLiteral(" 2 Day Dupe Complete"));
    } else if (m_twoDay == TwoDay::Yesterday) {
        setButtons(false);
        if (!enter(m_twoDaySide, m_today)) {
            m_twoDay = TwoDay::Idle;
            setButtons(true);
            return;
        }
        m_twoDay = TwoDay::Today;
        QTimer::singleShot(0, this, &DupeFilter::RemoveDupes1Click);
    } else if (m_race) {
        runRace();
    }
}

void DupeFilter::runRace() {
    Side& left = m_app.left();
    Side& right = m_app.right();
    // The smaller list first; the right one when they are equal.
    const bool leftFirst = left.listing().count() < right.listing().count();
    QueueAdding& adding = m_app.queueAdding();
    for (SideId id : leftFirst ? std::array{SideId::Left, SideId::Right}
                               : std::array{SideId::Right, SideId::Left})
        adding.AddToQueue(id, true, QueueAdding::Mode::SiteToSite);
    // Nothing to copy: another run now would only spin; the next refresh
    // that filters starts the cycle again.
    if (m_app.queue().isEmpty())
        return;
    m_app.queueRunner().Transfer1Click();
    if (m_race)
        QTimer::singleShot(0, this, &DupeFilter::RemoveDupes1Click);
}
