#include "StatusLog.h"

#include "DesktopServices.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include <array>

StatusLog::StatusLog(DesktopServices& services, QObject* parent)
    : QObject(parent), m_services(services), m_lines(this), m_errorLines(this) {}

void StatusLog::setTransferTimerStopper(TransferTimerStopper stopper) {
    m_stopTransferTimer = std::move(stopper);
}

void StatusLog::setTransferTimer(QTimer* timer) {
    QPointer<QTimer> guarded(timer);
    m_stopTransferTimer = [guarded] {
        if (!guarded || !guarded->isActive())
            return false;
        guarded->stop();
        return true;
    };
}

bool StatusLog::isDroppedWord(const QString& text) {
    // Internal status words of the socket layer; they mean nothing to the user.
    static const std::array<QLatin1String, 12> words = {
        QLatin1String("Received 0 Bytes"), QLatin1String("ReadLn"),
        QLatin1String("ReadToStream"),     QLatin1String("WriteFromStream"),
        QLatin1String("Sending Buffer"),   QLatin1String("Write"),
        QLatin1String("Transaction"),      QLatin1String("Writeln"),
        QLatin1String("Timer On"),         QLatin1String("Timer Off"),
        QLatin1String("Read( 0 )"),        QLatin1String("Request Close Socket"),
    };
    for (QLatin1String word : words) {
        if (text == word)
            return true;
    }
    return false;
}

void StatusLog::AddStatusLine(const QString& input, Colour colour) {
    QString text = input;
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('\r')))
        text.chop(1);

    if (text.size() <= 1 || isDroppedWord(text))
        return;

    if (m_options.show214)
        collectHelpReply(text);

    if (text.startsWith(QLatin1String("426 ")))
        emit transferDisplayResetRequested();

    if (m_options.logging)
        WriteLogLine(text);

    if (colour == clPurple)
        m_errorLines.append(text);

    if (text == QLatin1String("Disconnected"))
        return;

    const QChar first = text.at(0);
    if (first == QLatin1Char('5') || first == QLatin1Char('4'))
        handleErrorLine(text);
    else
        m_lines.append(text, colour);
}

void StatusLog::collectHelpReply(const QString& text) {
    if (text.startsWith(QLatin1String("214-")) && !m_helpReplyBuffer)
        m_helpReplyBuffer.emplace();
    if (m_helpReplyBuffer) {
        // A help reply whose last line never comes must not collect forever.
        if (m_helpReplyBuffer->size() >= MaxHelpReplyLines)
            m_helpReplyBuffer.reset();
        else
            m_helpReplyBuffer->append(text);
    }
    // With the viewer already open the reply keeps collecting until a later
    // "214 " finds it closed.
    if (text.startsWith(QLatin1String("214 ")) && !m_viewerOpen && m_helpReplyBuffer) {
        const QStringList reply = *m_helpReplyBuffer;
        m_helpReplyBuffer.reset();
        m_viewerOpen = true;
        emit textViewerRequested(reply.first(), reply.join(QLatin1Char('\n')));
    }
}

void StatusLog::handleErrorLine(const QString& text) {
    emit hourglassCursorsResetRequested();

    if (m_transferContext.isEmpty())
        m_errorLines.appendError(text);
    else
        m_errorLines.appendError(text + QLatin1String("   ") + m_transferContext);
    m_transferContext.clear();

    if (!m_services.isApplicationActive())
        emit titleChangeRequested(QLatin1String("ERROR: ") + text);

    m_lines.append(text, clRed);
    PlayEventSound(m_services, m_options.errorWav, m_options.errorSound);

    if (m_stopTransferTimer && m_stopTransferTimer())
        emit transferPanelsTextRequested(QStringLiteral("Transfer Aborted."));
}

QString StatusLog::logFilePath() const {
    // An absolute name is used as it is; any other resolves against the data
    // directory, never the current one.
    return QDir(m_dataDirectory).filePath(m_options.logName);
}

void StatusLog::WriteLogLine(const QString& text) {
    if (m_options.logName.isEmpty())
        return;
    // Opened and closed per line so the file is complete after a crash.
    QFile file(logFilePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write((text + QLatin1Char('\n')).toUtf8());
    file.flush();
    file.close();
}

bool StatusLog::showStatusInViewer() {
    if (m_viewerOpen)
        return false;
    m_viewerOpen = true;
    emit textViewerRequested(QStringLiteral("Status Window"), m_lines.plainText());
    return true;
}

bool StatusLog::copyStatusToClipboard() {
    if (m_lines.isEmpty())
        return false;
    m_services.setClipboardText(m_lines.clipboardText());
    return true;
}
