#include "dupes/DupeThread.h"

DupeThread::DupeThread(QStringList left, QStringList right, bool exact, QObject* parent)
    : QThread(parent), m_left(std::move(left)), m_right(std::move(right)), m_exact(exact) {}

void DupeThread::run() {
    const DupeProgress progress = [this](int processed, int maximum) {
        Q_EMIT progressed(processed, maximum);
    };
    m_outcome = m_exact ? ExactDupes(m_left, m_right, m_stop, progress)
                        : PartialDupes(m_left, m_right, m_stop, progress);
}
