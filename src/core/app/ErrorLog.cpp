#include "ErrorLog.h"

#include "StatusLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>

ErrorLog::ErrorLog(StatusLog& statusLog) : m_statusLog(statusLog) {}

QString ErrorLog::filePath() const {
    return QDir(m_statusLog.dataDirectory()).filePath(QLatin1String(FileName));
}

bool ErrorLog::isIgnored(const QString& message) {
    if (message == QLatin1String("Not Connected") || message == QLatin1String("Host Lookup Failed"))
        return true;
    return message.contains(QLatin1String("ntdll.dll"), Qt::CaseInsensitive) ||
           message.contains(QLatin1String("shell32.dll"), Qt::CaseInsensitive);
}

bool ErrorLog::logUnhandledError(const QString& className, const QString& message) {
    if (isIgnored(message))
        return false;

    QFile file(filePath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const QLocale locale;
        const QString stamp =
            locale.toString(QDateTime::currentDateTime(),
                            locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') +
                                locale.timeFormat(QLocale::LongFormat));
        const QString entry = stamp + QLatin1Char('\n') + QLatin1String("Object Name: ") +
                              className + QLatin1Char('\n') + message + QLatin1String("\n\n");
        file.write(entry.toUtf8());
        file.close();
    }
    m_statusLog.AddStatusLine(message, clRed);
    return true;
}
