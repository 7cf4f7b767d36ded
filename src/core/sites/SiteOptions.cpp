#include "sites/SiteOptions.h"

SiteOptions SiteOptions::Parse(const QString& options) {
    SiteOptions parsed;
    const QChar pasv = options.isEmpty() ? QChar() : options.at(0);
    if (pasv == QLatin1Char('1'))
        parsed.pasvMode = 1;
    else if (pasv == QLatin1Char('2'))
        parsed.pasvMode = 2;
    parsed.normalFxp = options.size() > 1 && options.at(1) == QLatin1Char('1');
    return parsed;
}

QString SiteOptions::toString() const {
    const QChar pasv = pasvMode == 1   ? QLatin1Char('1')
                       : pasvMode == 2 ? QLatin1Char('2')
                                       : QLatin1Char('3');
    return QString(pasv) + (normalFxp ? QLatin1Char('1') : QLatin1Char('0'));
}
