#include "app/RemotePath.h"

QString EnsureTrailingSeparator(const QString& path) {
    for (QChar separator : {QLatin1Char('/'), QLatin1Char('\\')}) {
        if (path.contains(separator))
            return path.endsWith(separator) ? path : path + separator;
    }
    return path;
}
