#include "app/RemotePath.h"

namespace {

qsizetype LastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

} // namespace

QString EnsureTrailingSeparator(const QString& path) {
    for (QChar separator : {QLatin1Char('/'), QLatin1Char('\\')}) {
        if (path.contains(separator))
            return path.endsWith(separator) ? path : path + separator;
    }
    return path;
}

QString LastPathComponent(const QString& path) {
    QString trimmed = path;
    if (trimmed.endsWith(QLatin1Char('\\')))
        trimmed.chop(1);
    if (trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    return FileNamePart(trimmed);
}

QString DirectoryPart(const QString& path) {
    return path.left(LastSeparator(path) + 1);
}

QString FileNamePart(const QString& path) {
    return path.mid(LastSeparator(path) + 1);
}

QString DigitsOnly(const QString& text) {
    QString digits;
    for (QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    return digits.isEmpty() ? QStringLiteral("0") : digits;
}

bool IsPlainName(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(QLatin1Char('/'));
}

QString RefusedNameLine(const QString& name) {
    return QStringLiteral("File Skipped: ") + name + QStringLiteral(" (not a plain file name)");
}
