#pragma once

#include <QString>

class StatusLog;

// Writer of `errorlog.txt` for errors no other handler caught; they are
// reported in the status window too, never in a message box.
class ErrorLog {
public:
    static constexpr const char* FileName = "errorlog.txt";

    explicit ErrorLog(StatusLog& statusLog);

    QString filePath() const;
    // Noise from the system that users cannot act on.
    static bool isIgnored(const QString& message);
    // Returns false when the message was ignored; a file that cannot be
    // written does not keep the message from the status window.
    bool logUnhandledError(const QString& className, const QString& message);

private:
    StatusLog& m_statusLog;
};
