#pragma once

#include "Colour.h"
#include "ErrorLines.h"
#include "SoundKind.h"
#include "StatusLineStore.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DesktopServices;
class QTimer;

// The settings the status log reads; the App fills them from the settings store.
struct StatusLogOptions {
    bool logging = false;
    QString logName = QStringLiteral("korvane.log");
    bool show214 = false;
    QString errorWav;
    SoundKind errorSound = SoundKind::None;
};

// The program's single reporting channel: filters each line, writes the log
// file, feeds the status console and the error-only lines, and raises the
// error reactions. The GUI and the App act on its signals.
class StatusLog : public QObject {
    Q_OBJECT

public:
    // Stops the transfer progress timer if it runs; returns whether it ran.
    using TransferTimerStopper = std::function<bool()>;

    // Lines a help reply may collect before it is given up.
    static constexpr int MaxHelpReplyLines = 5000;

    explicit StatusLog(DesktopServices& services, QObject* parent = nullptr);

    StatusLineStore& lines() { return m_lines; }
    const StatusLineStore& lines() const { return m_lines; }
    ErrorLines& errorLines() { return m_errorLines; }
    const ErrorLines& errorLines() const { return m_errorLines; }

    void setOptions(const StatusLogOptions& options) { m_options = options; }
    const StatusLogOptions& options() const { return m_options; }
    void setDataDirectory(const QString& path) { m_dataDirectory = path; }
    QString dataDirectory() const { return m_dataDirectory; }
    QString logFilePath() const;

    // `TransferContext`: set when a file transfer starts, used and cleared by the next error.
    void setTransferContext(const QString& context) { m_transferContext = context; }
    QString transferContext() const { return m_transferContext; }

    // True while the text viewer window is shown; the viewer clears it on closing.
    void setViewerOpen(bool open) { m_viewerOpen = open; }
    bool viewerOpen() const { return m_viewerOpen; }
    bool collectingHelpReply() const { return m_helpReplyBuffer.has_value(); }

    void setTransferTimerStopper(TransferTimerStopper stopper);
    void setTransferTimer(QTimer* timer);

    void AddStatusLine(const QString& text, Colour colour);
    void WriteLogLine(const QString& text);

    // Double-click on the console: opens the viewer with every line unless it is open.
    bool showStatusInViewer();
    // Returns false when there was nothing to copy.
    bool copyStatusToClipboard();

signals:
    void textViewerRequested(const QString& caption, const QString& text);
    // A "426 " reply: stop the progress timer, empty status-bar panels 0 and 1,
    // idle and disable both stop buttons, clear both sides' Busy flags.
    void transferDisplayResetRequested();
    void hourglassCursorsResetRequested();
    void titleChangeRequested(const QString& title);
    // Status-bar panels 0 and 1 both show this text.
    void transferPanelsTextRequested(const QString& text);

private:
    static bool isDroppedWord(const QString& text);
    void collectHelpReply(const QString& text);
    void handleErrorLine(const QString& text);

    DesktopServices& m_services;
    StatusLineStore m_lines;
    ErrorLines m_errorLines;
    StatusLogOptions m_options;
    QString m_dataDirectory;
    QString m_transferContext;
    std::optional<QStringList> m_helpReplyBuffer;
    bool m_viewerOpen = false;
    TransferTimerStopper m_stopTransferTimer;
};
