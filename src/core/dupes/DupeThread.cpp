#include "dupes/DupeThread.h"

DupeThread::DupeThread(QStringList left, QStringList right, bool exact, QObject* parent)
    : QThread(parent), m_left(std::move(left)), m_right(std::move(right)), m_exact(exact) {}

void DupeThread::run() {
    // The gauge moves by whole percents: one signal per step, not per entry.
    int shown = -1;
    const DupeProgress progress = [this, &shown](int processed, int maximum) {
        const int percent = maximum > 0 ? int(qint64(processed) * 100 / maximum) : 100;
        if (percent == shown)
            return;
        shown = percent;
        Q_EMIT progressed(processed, maximum);
    };
    m_outcome = m_exact ? ExactDupes(m_left, m_right, m_stop, progress)
                        : PartialDupes(m_left, m_right, m_stop, progress);
}
