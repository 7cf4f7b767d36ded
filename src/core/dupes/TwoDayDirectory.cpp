#include "dupes/TwoDayDirectory.h"

#include "app/RemotePath.h"

#include <QDate>

QString YesterdayDirectory(const QString& todayPath, int year) {
    const QString today = EnsureTrailingSeparator(todayPath);
    if (today.size() < 5)
        return {};
    const qsizetype at = today.size() - 5;
    const QString mmdd = today.mid(at, 4);
    bool monthOk = false;
    bool dayOk = false;
    int month = mmdd.left(2).toInt(&monthOk);
    int day = mmdd.right(2).toInt(&dayOk);
    if (!monthOk || !dayOk || !mmdd.at(0).isDigit() || !mmdd.at(2).isDigit() || month < 1 ||
        month > 12 || day < 1 || day > 31)
        return {};
    if (day > 1) {
        --day;
    } else {
        month = month == 1 ? 12 : month - 1;
        day = QDate(year, month, 1).daysInMonth();
    }
    return today.left(at) + QStringLiteral("%1%2").arg(month, 2, 10, QLatin1Char('0')).arg(day, 2, 10, QLatin1Char('0')) +
           today.right(1);
}
