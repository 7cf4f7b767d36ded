#include "commands/CommandText.h"

#include <QRegularExpression>

namespace {

QStringList TypedLines(const QString& typed) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    return typed.split(lineBreak);
}

} // namespace

namespace CommandText {

QString CleanForUpdate(const QString& typed) {
    QStringList kept;
    for (const QString& line : TypedLines(typed)) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            kept << trimmed;
    }
    QString joined = kept.join(QLatin1Char(';'));
    if (joined.endsWith(QLatin1Char(';')))
        joined.chop(1);
    return joined;
}

QString JoinAsTyped(const QString& typed) {
    return TypedLines(typed).join(QLatin1Char(';'));
}

QString ForEditor(const QString& command) {
    return SplitParts(command).join(QLatin1Char('\n'));
}

QStringList SplitParts(const QString& command) {
    QStringList parts = command.split(QLatin1Char(';'));
    // A trailing ";" ends the last part; it starts no empty one.
    if (parts.size() > 1 && parts.last().isEmpty())
        parts.removeLast();
    return parts;
}

QString TokenHelp() {
    return QStringList{QStringLiteral("   Command Tokens:"),
                       QString(78, QLatin1Char('-')),
                       QStringLiteral("   %f - Selected filenames"),
                       QStringLiteral("   %o - Selected Owners"),
                       QStringLiteral("   %g - Selected Groups"),
                       QStringLiteral("   %d - Dialog text"),
                       QStringLiteral("   %[number] returns value of the [number] answer")}
        .join(QLatin1Char('\n'));
}

} // namespace CommandText
