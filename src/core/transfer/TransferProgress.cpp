#include "transfer/TransferProgress.h"

#include "listing/ListingParser.h"

#include <cmath>

namespace {

QString TwoDigits(qint64 n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// "###,###,##0.00": grouped, two decimals.
QString FormatRate(double rate, const QLocale& locale) {
    QLocale grouped = locale;
    grouped.setNumberOptions(grouped.numberOptions() & ~QLocale::OmitGroupSeparator);
    return grouped.toString(rate, 'f', 2);
}

} // namespace

QString FormatDuration(qint64 seconds) {
    const qint64 h = seconds / 3600;
    const qint64 m = (seconds - h * 3600) / 60;
    const qint64 s = seconds - h * 3600 - m * 60;
    if (h < 1)
        return TwoDigits(m) + u':' + TwoDigits(s);
    return TwoDigits(h) + u':' + TwoDigits(m) + u':' + TwoDigits(s);
}

QString FormatTransferDone(qint64 milliseconds, qint64 bytes, const QString& name,
                           RunTotals& totals, const QLocale& locale) {
    const qint64 seconds = std::max<qint64>(milliseconds / 1000, 1);
    const double rate = double(bytes) / double(seconds) / 1024.0;
    totals.bytes += bytes;
    totals.seconds += seconds;
    ++totals.files;
    return QStringLiteral("Transfer done: %1 %2 bytes in %3 (%4 k/sec)")
        .arg(name, FormatSizeText(bytes, locale), FormatDuration(seconds),
             FormatRate(rate, locale));
}

QString ProgressLine(const QString& prefix, qint64 done, qint64 total, qint64 elapsedMs,
                     const QLocale& locale) {
    if (done <= 0 || total <= 0)
        return QString();
    const qint64 whole = elapsedMs / 1000;
    // In the first second the rate is taken over a hundredth of one.
    const double seconds = whole == 0 ? 0.01 : double(whole);
    const double rate = double(done) / seconds / 1024.0;
    // Rounded half to even, as the default floating-point rounding does.
    const qint64 remaining = qint64(std::nearbyint(double(total - done) / rate / 1000.0));
    const qint64 percent = done * 100 / total;
    return QStringLiteral("%1%2 of %3   (%4 k/sec)  %5%   Remain: %6")
        .arg(prefix, FormatSizeText(done, locale), FormatSizeText(total, locale),
             FormatRate(rate, locale))
        .arg(percent)
        .arg(FormatDuration(std::max<qint64>(remaining, 0)));
}

QString TransferTitle(int directories, int files, qint64 elapsedSeconds, bool reset) {
    return QStringLiteral("%1-%2 (%3)")
        .arg(directories)
        .arg(files)
        .arg(reset ? QStringLiteral("??:??") : FormatDuration(elapsedSeconds));
}
