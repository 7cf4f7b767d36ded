#include "DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {
const QString DataDirName = QStringLiteral("--data-dir");
}

DataPaths::DataPaths(QString directory) : m_directory(QDir::cleanPath(std::move(directory))) {}

QString DataPaths::DataDirOption(const QStringList& arguments) {
    QString value;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == DataDirName && i + 1 < arguments.size())
            value = arguments[++i];
        else if (arg.startsWith(DataDirName + u'='))
            value = arg.mid(DataDirName.size() + 1);
    }
    return value;
}

QStringList DataPaths::StripOptions(const QStringList& arguments) {
    QStringList rest;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == DataDirName) {
            ++i; // its value is not connect text either
            continue;
        }
        if (!arg.startsWith(QLatin1String("--")))
            rest.append(arg);
    }
    return rest;
}

bool DataPaths::IsWritableDirectory(const QString& directory) {
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        return false;
    // Permission bits do not tell about read-only mounts or ACLs: try it.
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral(".korvane-probe-XXXXXX")));
    return probe.open();
}

DataPaths DataPaths::Resolve(const QStringList& arguments, const QString& programDir,
                             const QString& fallbackDir) {
    QString directory = DataDirOption(arguments);
    if (!directory.isEmpty()) {
        directory = QDir::current().absoluteFilePath(directory);
    } else if (IsWritableDirectory(programDir)) {
        directory = programDir;
    } else {
        directory = fallbackDir.isEmpty()
                        ? QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                        : fallbackDir;
    }
    QDir().mkpath(directory);
    return DataPaths(directory);
}

DataPaths DataPaths::ForApplication() {
    return Resolve(QCoreApplication::arguments().mid(1), QCoreApplication::applicationDirPath());
}

QString DataPaths::filePath(const QString& name) const {
    return QDir(m_directory).filePath(name);
}
