#include "ProgramFiles.h"

#include <QDir>
#include <QFileInfo>

#ifndef KORVANE_SHARE_FROM_BIN
#define KORVANE_SHARE_FROM_BIN "../share/korvane"
#endif

namespace ProgramFiles {

QStringList Candidates(const QString& programDir, const QString& name, const QString& fallbackDir) {
    const QDir dir(programDir);
    QStringList candidates{
        dir.filePath(name), dir.filePath(QStringLiteral("docs/") + name),
        QDir::cleanPath(dir.filePath(QStringLiteral(KORVANE_SHARE_FROM_BIN "/") + name))};
    if (!fallbackDir.isEmpty())
        candidates << QDir(fallbackDir).filePath(name);
    return candidates;
}

QString Find(const QString& programDir, const QString& name, const QString& fallbackDir) {
    for (const QString& candidate : Candidates(programDir, name, fallbackDir)) {
        const QFileInfo info(candidate);
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return {};
}

} // namespace ProgramFiles
