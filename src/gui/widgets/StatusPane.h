#pragma once

#include <QWidget>

class DesktopServices;
class QAction;
class QMenu;
class QPlainTextEdit;
class StatusConsole;
class StatusLog;
class UserPrompts;

// The status pane: the colour console `wcStatus` and, over it, the plain
// error-only window `tError` (hidden by default), each with its context menu
// (`RTPopup`, `PopError`). It shows the StatusLog and forwards commands to it.
class StatusPane : public QWidget {
    Q_OBJECT

public:
    StatusPane(StatusLog& log, DesktopServices& services, UserPrompts& prompts,
               QWidget* parent = nullptr);

    StatusConsole* console() const { return m_console; }
    QPlainTextEdit* errorWindow() const { return m_errorWindow; }
    QMenu* statusMenu() const { return m_statusMenu; }
    QMenu* errorMenu() const { return m_errorMenu; }

    bool isErrorOnly() const;

public slots:
    void showErrorOnly();
    void showDefault();
    // Ctrl+E ("Error").
    void toggleErrorOnly();

    void copyStatusToClipboard();
    void saveStatusToFile();
    void clearStatus();
    void copyErrorsToClipboard();
    void clearErrors();

private:
    QAction* addMenuAction(QMenu* menu, const char* objectName, const QString& text,
                           void (StatusPane::*slot)());
    void rebuildErrorWindow();

    StatusLog& m_log;
    DesktopServices& m_services;
    UserPrompts& m_prompts;
    StatusConsole* m_console = nullptr;
    QPlainTextEdit* m_errorWindow = nullptr;
    QMenu* m_statusMenu = nullptr;
    QMenu* m_errorMenu = nullptr;
};
