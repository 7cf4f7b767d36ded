#pragma once

#include "app/preferences/PreferencesControls.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class UserPrompts;

// "General": connection timing, the log file, local paths, the file viewer
// and anti-idle.
class GeneralTab : public PreferencesTab {
    Q_OBJECT
public:
    GeneralTab(UserPrompts& prompts, QWidget* parent = nullptr);

    void load(const Settings& settings) override;
    void store(Settings& settings) const override;

private:
    void browseLogFolder();
    void browseDownloadDirectory();
    void browseFileViewer();
    void updateViewerEnabled();

    UserPrompts& m_prompts;
    QLineEdit* m_email;
    QSpinBox* m_connectTimeout;
    QSpinBox* m_retryDelay;
    QSpinBox* m_retryCount;
    QSpinBox* m_statusSize;
    QLineEdit* m_logName;
    QPushButton* m_logNameBrowse;
    QCheckBox* m_logging;
    QLineEdit* m_downloadDirectory;
    QPushButton* m_downloadDirectoryBrowse;
    QCheckBox* m_viewWithShell;
    QLineEdit* m_fileViewer;
    QPushButton* m_fileViewerBrowse;
    QCheckBox* m_useTemp;
    QCheckBox* m_antiIdle;
    QSpinBox* m_idleTime;
};
