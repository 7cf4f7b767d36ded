#include "transfer/TransferTicker.h"

#include "app/App.h"
#include "net/FtpSession.h"
#include "transfer/TransferProgress.h"

TransferTicker::TransferTicker(App& app) : m_app(app) {
    QObject::connect(&m_app.transferTimer(), &QTimer::timeout, &m_app,
                     [this] { TransferTimerTimer(); });
    for (Side* side : {&m_app.left(), &m_app.right()}) {
        QObject::connect(&side->session(), &FtpSession::dataPacketReceived, &m_app,
                         [this, side] { packet(*side, false); });
        QObject::connect(&side->session(), &FtpSession::dataPacketSent, &m_app,
                         [this, side] { packet(*side, true); });
    }
}

void TransferTicker::showProgress(Side& side, bool sending) {
    const TransferRunState& run = m_app.runState();
    const size_t i = size_t(TransferRunState::index(side.id()));
    const qint64 announced = side.session().announcedSize();
    const QString line = ProgressLine(
        sending ? QStringLiteral("Sending ") : QStringLiteral("Receiving "), run.LocalBytes[i],
        announced > 0 ? announced : run.listedSize[i], run.localStart.elapsed(), QLocale());
    if (!line.isEmpty())
        side.setStatusBarText(line);
}

void TransferTicker::packet(Side& side, bool sent) {
    TransferRunState& run = m_app.runState();
    const size_t i = size_t(TransferRunState::index(side.id()));
    if (!run.LocalBusy || !run.localTransfer[i])
        return;
    FtpSession& session = side.session();
    run.LocalBytes[i] = sent ? session.dataBytesSent() : session.dataBytesReceived();
    showProgress(side, sent);
}

void TransferTicker::TransferTimerTimer() {
    TransferRunState& run = m_app.runState();
    if (run.LocalBusy) {
        for (Side* side : {&m_app.left(), &m_app.right()}) {
            const size_t i = size_t(TransferRunState::index(side->id()));
            if (run.LocalBytes[i] > 0)
                showProgress(*side, run.sending[i]);
        }
        return;
    }
    if (!m_app.left().session().isConnected() || !m_app.right().session().isConnected()) {
        m_app.transferTimer().stop();
        return;
    }
    ++run.ElapsedSeconds;
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
