#pragma once

#include <QString>
#include <QStringList>

// The one directory every data file is resolved against (Korvane.ini, the
// pattern lists, statistics, history, logs), never the current directory.
class DataPaths {
public:
    explicit DataPaths(QString directory);

    // "--data-dir DIR" (or "--data-dir=DIR") wins; otherwise programDir when
    // files can be created there (a portable copy, a build tree); otherwise
    // fallbackDir, which defaults to the per-user config location. The chosen
    // directory is created when missing. arguments excludes the program name.
    static DataPaths Resolve(const QStringList& arguments, const QString& programDir,
                             const QString& fallbackDir = {});
    // Resolve() for the running program, from QCoreApplication.
    static DataPaths ForApplication();

    // The arguments without "--" options (and the value of "--data-dir"):
    // what remains is the connect text.
    static QStringList StripOptions(const QStringList& arguments);
    // The value given to "--data-dir", or empty.
    static QString DataDirOption(const QStringList& arguments);
    static bool IsWritableDirectory(const QString& directory);

    QString directory() const { return m_directory; }
    QString filePath(const QString& name) const;

private:
    QString m_directory;
};
