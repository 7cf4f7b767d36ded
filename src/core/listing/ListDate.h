#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

// Dates of listing lines. Readers return the wall-clock time as listed, held
// as UTC so that no local time-zone rule (a DST gap) can shift or void it;
// nothing when the text cannot be read. `now` is the reader's idea of the
// current local time, passed in so that results are reproducible.

// Unix form "Mon D HH:MM" or "Mon D YYYY" (fields joined by single blanks).
// Without a year, the latest year in which the date lies no more than one
// day after now. An unknown month name reads as January.
std::optional<QDateTime> ReadUnixListDate(QStringView text, const QDateTime& now);

// MS-DOS form "MM-DD-YY HH:MMAM". The listed year is not used: the year
// follows the same rule as a Unix date without a year.
std::optional<QDateTime> ReadMsDosListDate(QStringView text, const QDateTime& now);

// Locale's short date, a blank, the locale's short time.
QString FormatListDate(const QDateTime& date, const QLocale& locale);

// The Unix reading formatted; nothing when it cannot be read (the caller
// then tries the MS-DOS reading, then shows UnreadableListDate).
std::optional<QString> NormaliseListDate(QStringView text, const QDateTime& now,
                                         const QLocale& locale);

inline constexpr char16_t UnreadableListDate[] = u"01/01/90 00:00";
