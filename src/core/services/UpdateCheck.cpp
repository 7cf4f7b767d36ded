#include "services/UpdateCheck.h"

#include "app/Settings.h"
#include "app/StatusLog.h"
#include "services/VersionAnswer.h"

namespace {

// Separator lines: drawn in the window background, they show as empty lines.
const QString Separator = QStringLiteral("..");

} // namespace

UpdateCheck::UpdateCheck(StatusLog& log, const Settings& settings, QObject* parent)
    : QObject(parent), m_log(log), m_settings(settings) {
    connect(&m_check, &VersionCheck::dataReceived, this, &UpdateCheck::OnData);
    connect(&m_check, &VersionCheck::failed, this, &UpdateCheck::OnFailed);
}

void UpdateCheck::CheckForUpdate() {
    m_check.Host = m_settings.updateHost;
    const int port = m_settings.updatePort;
    m_check.Port = port > 0 && port <= 65535 ? quint16(port) : VersionCheck::DefaultPort;
    m_check.URL = QString::fromLatin1(VersionPath);
    m_log.AddStatusLine(Separator, clWindowBackground);
    m_log.AddStatusLine(Separator, clWindowBackground);
    m_log.AddStatusLine(QStringLiteral("Requesting version information, Please Wait..."), clBlue);
    m_log.AddStatusLine(Separator, clWindowBackground);
    setItemEnabled(false);
    m_check.Start();
}

void UpdateCheck::OnData(const QString& text) {
    for (const VersionAnswerLine& line : EvaluateVersionAnswer(text))
        m_log.AddStatusLine(line.text, line.colour);
    complete();
}

void UpdateCheck::OnFailed(const QString& message) {
    m_log.AddStatusLine(QStringLiteral("Unable to check for update at %1:%2, Error: %3")
                            .arg(m_check.Host)
                            .arg(m_check.Port)
                            .arg(message),
                        clRed);
    complete();
}

void UpdateCheck::complete() {
    setItemEnabled(true);
    m_log.AddStatusLine(Separator, clWindowBackground);
    m_log.AddStatusLine(QStringLiteral("Version Check Complete."), clBlue);
}

void UpdateCheck::setItemEnabled(bool enabled) {
    if (enabled == m_itemEnabled)
        return;
    m_itemEnabled = enabled;
    Q_EMIT itemEnabledChanged(enabled);
}
