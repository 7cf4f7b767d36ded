#include "ListDate.h"

#include <array>

namespace {

// A small unsigned decimal number, blanks around it allowed.
std::optional<int> ReadNumber(QStringView text) {
    text = text.trimmed();
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

int MonthFromName(QStringView text) {
    static constexpr std::array<char16_t[4], 12> names = {u"jan", u"feb", u"mar", u"apr",
                                                          u"may", u"jun", u"jul", u"aug",
                                                          u"sep", u"oct", u"nov", u"dec"};
    const QStringView head = text.left(3);
    for (size_t i = 0; i < names.size(); ++i) {
        if (head.compare(QStringView(names[i]), Qt::CaseInsensitive) == 0)
            return int(i) + 1;
    }
    return 1;
}

std::optional<QDateTime> WithListedYear(QStringView text, int month, int day) {
    const std::optional<int> year = ReadNumber(text.mid(text.size() - 4, 4));
    const QDate date = year ? QDate(*year, month, day) : QDate();
    if (!date.isValid())
        return std::nullopt;
    return QDateTime(date, QTime(0, 0), Qt::UTC);
}

// A listing shows no year for recent entries. The year is the current one
// unless that puts the entry more than a day ahead of now; a 29 February
// goes back on to the latest leap year instead of becoming unreadable.
std::optional<QDateTime> WithRecentYear(int month, int day, QTime time, const QDateTime& now) {
    const QDateTime limit(now.date().addDays(1), now.time(), Qt::UTC);
    const int thisYear = now.date().year();
    for (int year = thisYear; year >= thisYear - 8; --year) {
        const QDate date(year, month, day);
        if (!date.isValid())
            continue;
        const QDateTime at(date, time, Qt::UTC);
        if (at <= limit)
            return at;
    }
    return std::nullopt;
}

struct ClockTime {
    int hour = 0;
    int minute = 0;
    qsizetype colon = -1;
};

// The two characters before the first ":" and the two after it.
std::optional<ClockTime> ReadClock(QStringView text) {
    ClockTime t;
    t.colon = text.indexOf(u':');
    const std::optional<int> hour = ReadNumber(text.mid(t.colon - 2, 2));
    const std::optional<int> minute = ReadNumber(text.mid(t.colon + 1, 2));
    if (!hour || !minute)
        return std::nullopt;
    t.hour = *hour;
    t.minute = *minute;
    return t;
}

} // namespace

std::optional<QDateTime> ReadUnixListDate(QStringView text, const QDateTime& now) {
    const std::optional<int> day = ReadNumber(text.mid(4, 2));
    if (!day)
        return std::nullopt;
    const int month = MonthFromName(text);
    if (!text.contains(u':'))
        return WithListedYear(text, month, *day);
    const std::optional<ClockTime> clock = ReadClock(text);
    if (!clock || !QTime::isValid(clock->hour, clock->minute, 0))
        return std::nullopt;
    return WithRecentYear(month, *day, QTime(clock->hour, clock->minute), now);
}

std::optional<QDateTime> ReadMsDosListDate(QStringView text, const QDateTime& now) {
    const std::optional<int> month = ReadNumber(text.mid(0, 2));
    const std::optional<int> day = ReadNumber(text.mid(3, 2));
    if (!month || !day)
        return std::nullopt;
    if (!text.contains(u':'))
        return WithListedYear(text, *month, *day);
    const std::optional<ClockTime> clock = ReadClock(text);
    if (!clock)
        return std::nullopt;
    int hour = clock->hour;
    const QStringView marker = text.mid(clock->colon + 3, 2);
    if (marker.compare(u"pm", Qt::CaseInsensitive) == 0 && hour >= 1 && hour <= 11)
        hour += 12;
    else if (marker.compare(u"am", Qt::CaseInsensitive) == 0 && hour == 12)
        hour = 0;
    if (!QTime::isValid(hour, clock->minute, 0))
        return std::nullopt;
    return WithRecentYear(*month, *day, QTime(hour, clock->minute), now);
}

QString FormatListDate(const QDateTime& date, const QLocale& locale) {
    return locale.toString(date.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(date.time(), QLocale::ShortFormat);
}

std::optional<QString> NormaliseListDate(QStringView text, const QDateTime& now,
                                         const QLocale& locale) {
    const std::optional<QDateTime> date = ReadUnixListDate(text, now);
    if (!date)
        return std::nullopt;
    return FormatListDate(*date, locale);
}
