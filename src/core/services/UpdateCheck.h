#pragma once

#include "services/VersionCheck.h"

#include <QObject>
#include <QString>

class StatusLog;
struct Settings;

// "&Check for Update": asks the update server named by the settings which
// version is current and reports the answer in the status window. The menu
// item stays disabled while a check runs.
class UpdateCheck : public QObject {
    Q_OBJECT
public:
    // The path the update server serves the version text at.
    static constexpr const char* VersionPath = "/~korv/ver.txt";

    UpdateCheck(StatusLog& log, const Settings& settings, QObject* parent = nullptr);

    VersionCheck& versionCheck() { return m_check; }
    bool itemEnabled() const { return m_itemEnabled; }

    void CheckForUpdate();

Q_SIGNALS:
    void itemEnabledChanged(bool enabled);

private:
    void OnData(const QString& text);
    void OnFailed(const QString& message);
    void complete();
    void setItemEnabled(bool enabled);

    StatusLog& m_log;
    const Settings& m_settings;
    VersionCheck m_check;
    bool m_itemEnabled = true;
};
