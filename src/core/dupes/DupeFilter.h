#pragma once

#include "app/SideState.h"
#include "dupes/DupeThread.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>

class App;

// "Filter &Duplicates": removes from both lists what the other side also
// has, on a worker thread, then chains what the user asked for: the second
// day of a two-day filter, or race mode's transfer and next run.
class DupeFilter : public QObject {
    Q_OBJECT
public:
    explicit DupeFilter(App& app, QObject* parent = nullptr);
    ~DupeFilter() override;

    // One run; nothing while one is under way.
    void RemoveDupes1Click();
    // Yesterday's dated directory of the side, then today's.
    void TwoDayFilter(SideId side);
    bool running() const { return m_thread != nullptr; }
    bool race() const { return m_race; }
    // "&Race": checking it starts a run.
    void setRace(bool on);

Q_SIGNALS:
    // The gauge: shown with its maximum, moved, hidden.
    void runStarted(int maximum);
    void progressed(int processed, int maximum);
    void runFinished();
    // After the run and whatever it chains directly.
    void completed();

private:
    enum class TwoDay { Idle, Yesterday, Today };

    void threadFinished();
    // The lists lose the rows, unless they changed while the thread worked.
    void applyRemovals();
    void setButtons(bool enabled);
    void completion();
    void runRace();
    bool enter(SideId side, const QString& dir);
    void log(const QString& text);

    App& m_app;
    QPointer<DupeThread> m_thread;
    QStringList m_snapshot[2];
    QElapsedTimer m_clock;
    TwoDay m_twoDay = TwoDay::Idle;
    QString m_today;
    SideId m_twoDaySide = SideId::Left;
    bool m_race = false;
};
