#pragma once

#include "dupes/DupeMatching.h"

#include <QStringList>
#include <QThread>

#include <atomic>

// One filter run away from the window: it works on copies of both lists'
// names and only reports which rows go; the lists change on the window's
// thread afterwards.
class DupeThread : public QThread {
    Q_OBJECT
public:
    DupeThread(QStringList left, QStringList right, bool exact, QObject* parent = nullptr);

    // Read once the thread has finished.
    const DupeOutcome& outcome() const { return m_outcome; }
    // Seen before each entry; what was found until then is kept.
    void requestStop() { m_stop = true; }

Q_SIGNALS:
    // From the worker: receivers on the window's thread get it queued.
    void progressed(int processed, int maximum);

protected:
    void run() override;

private:
    const QStringList m_left;
    const QStringList m_right;
    const bool m_exact;
    std::atomic<bool> m_stop{false};
    DupeOutcome m_outcome;
};
