#pragma once

#include <QString>

// Yesterday's dated directory for today's: the last four characters before
// the trailing separator are MMDD. "/incoming/0301/" in a common year gives
// "/incoming/0228/"; "0101" gives "1231". Empty when they are not a date.
QString YesterdayDirectory(const QString& today, int year);
