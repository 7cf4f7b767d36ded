#pragma once

#include "listing/DirEntry.h"
#include "listing/SkipRules.h"

#include <QHash>
#include <QLocale>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

// Up to nine fields of a line, as views into it.
struct FieldViews {
    std::array<QStringView, 9> fields;
    int count = 0;
    QStringView operator[](int i) const { return fields[size_t(i)]; }
};

// Fields from the left, each ending at the next separator. Separators,
// blanks and control characters after a field are skipped, and so are those
// at the start (so "/pub//x" gives "pub", "x"). After eight fields the rest
// of the line behind one separator is the ninth field, whole, leading blanks
// included, so that names with blanks survive.
FieldViews SplitFieldViews(QStringView line, QChar separator);
QStringList SplitFields(QStringView line, QChar separator);

// "###,###,###,##0": the locale's group separator every three digits.
QString FormatSizeText(qint64 size, const QLocale& locale);
QString FormatSizeText(qint64 size, const QString& groupSeparator);

// What parsing a side's listing needs besides the line. Built once per
// listing; ParseListLine only reads it.
struct ListParseContext {
    QString systemType; // the side's reply to SYST
    SkipOptions options;
    PatternSet skipList;
    PatternSet favourites;
    QDateTime now; // local time the listing is read at
    QLocale locale;
    // Filled while parsing: the locale is asked once per distinct date and
    // once for its separator, not per line; equal dates share one text.
    mutable QHash<qint64, QString> dateTexts;
    mutable std::optional<QString> groupSeparator;
};

// One listing line as an entry; nothing for lines that carry none ("total",
// blank lines, messages, ".", "..", lines of too few fields). Names are
// reported as listed, whatever they hold; refusing unsafe local names is the
// writer's job.
std::optional<DirEntry> ParseListLine(QStringView line, const ListParseContext& context);

// Skip-list match first, then favourites (only while "Favorites" is on).
EntryMark MarkOf(QStringView name, EntryKind kind, QStringView sizeText,
                 const ListParseContext& context);
