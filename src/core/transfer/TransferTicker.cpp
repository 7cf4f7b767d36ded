#include "transfer/TransferTicker.h"

#include "app/App.h"
#include "net/FtpSession.h"
#include "transfer/TransferProgress.h"

TransferTicker::TransferTicker(App& app) : m_app(app) {
    QObject::connect(&m_app.transferTimer(), &QTimer::timeout, &m_app,
                     [this] { TransferTimerTimer(); });
}

void TransferTicker::TransferTimerTimer() {
    if (!m_app.left().session().isConnected() || !m_app.right().session().isConnected()) {
        m_app.transferTimer().stop();
        return;
    }
    ++m_app.runState().ElapsedSeconds;
    UpdateTitle(false);
}

void TransferTicker::UpdateTitle(bool reset) {
    int files = 0;
    for (const QueueEntry& e : m_app.queue().entries())
        files += e.isFile() ? 1 : 0;
    const qint64 elapsed = m_app.runState().ElapsedSeconds;
    const QString title = TransferTitle(m_app.queue().count() - files, files, elapsed, reset);
    m_app.setTitle(title);
    m_app.right().setStatusBarText(QStringLiteral("Elapsed: ") + FormatDuration(elapsed));
    m_app.setTrayTip(QStringLiteral("Korvane - ") + title);
}
