#include "ProgramFiles.h"

#include <QDir>
#include <QFileInfo>

#ifndef KORVANE_SHARE_FROM_BIN
#define KORVANE_SHARE_FROM_BIN "../share/korvane"
#endif

namespace ProgramFiles {

QStringList Candidates(const QString& programDir, const QString& name) {
    const QDir dir(programDir);
    return {dir.filePath(name), dir.filePath(QStringLiteral("docs/") + name),
            QDir::cleanPath(dir.filePath(QStringLiteral(KORVANE_SHARE_FROM_BIN "/") + name))};
}

QString Find(const QString& programDir, const QString& name) {
    for (const QString& candidate : Candidates(programDir, name)) {
        const QFileInfo info(candidate);
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return {};
}

} // namespace ProgramFiles
