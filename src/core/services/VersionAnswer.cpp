#include "services/VersionAnswer.h"

QString ProgramVersion() {
    return QStringLiteral(KORVANE_VERSION " SR1");
}

QList<VersionAnswerLine> EvaluateVersionAnswer(const QString& answer, const QString& ownVersion) {
    // A version file saved by an editor ends in a line break; it names the
    // same version.
    QString version = answer;
    while (version.endsWith(QLatin1Char('\n')) || version.endsWith(QLatin1Char('\r')))
        version.chop(1);
    if (version == ownVersion)
        return {{QStringLiteral("You are using the latest version."), clBlack}};
    if (answer.toLower().contains(QLatin1String("html")))
        return {{QStringLiteral("Error: unrecognized response."), clRed}, {answer, clBlack}};
    return {{QStringLiteral("Version ") + version + QStringLiteral(" is now available for download."),
             clBlack}};
}
