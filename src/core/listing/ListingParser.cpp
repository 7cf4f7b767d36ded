#include "ListingParser.h"

#include "listing/ListDate.h"

#include <limits>

namespace {

constexpr QChar Escape(27);

// A digits-only size; anything else, or a number beyond 64 bits, is 0.
qint64 ReadSize(QStringView text) {
    if (text.isEmpty())
        return 0;
    qint64 value = 0;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return 0;
        const int digit = c.unicode() - u'0';
        if (value > (std::numeric_limits<qint64>::max() - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    return value;
}

// IIS lists "MM-DD-YY  HH:MMAM  <DIR>  name"; nothing else a Windows_NT
// server sends starts so.
bool LooksLikeMsDosDate(QStringView field) {
    return field.size() >= 8 && field[0].isDigit() && field[2] == u'-' && field[5] == u'-';
}

// Terminal colour codes: ESC "[01;34m" name ESC "[0m" shows as name. A name
// that opens a code and never closes it is dropped.
QStringView StripColour(QStringView name) {
    if (!name.startsWith(Escape))
        return name;
    name = name.mid(name.indexOf(u'm') + 1);
    const qsizetype end = name.indexOf(Escape);
    return end < 0 ? QStringView() : name.left(end);
}

// "lib -> usr/lib" names the link "lib". Only links are cut: a file or
// directory may well have "->" in its name.
QStringView CutLinkTarget(QStringView name) {
    qsizetype arrow = name.indexOf(u"->");
    if (arrow < 0)
        return name;
    if (arrow > 0 && name[arrow - 1] == u' ')
        --arrow;
    return name.left(arrow);
}

QString JoinDate(QStringView a, QStringView b, QStringView c = {}) {
    QString text;
    text.reserve(a.size() + b.size() + c.size() + 2);
    text.append(a).append(u' ').append(b);
    if (!c.isNull())
        text.append(u' ').append(c);
    return text;
}

EntryKind KindFromAttributes(QStringView attributes) {
    switch (attributes.front().toUpper().unicode()) {
    case u'D':
        return EntryKind::Directory;
    case u'L':
        return EntryKind::Link;
    default:
        return EntryKind::File;
    }
}

} // namespace

FieldViews SplitFieldViews(QStringView line, QChar separator) {
    FieldViews out;
    const qsizetype n = line.size();
    auto skippable = [&](qsizetype i) { return line[i] == separator || line[i].unicode() <= 32; };
    qsizetype i = 0;
    while (i < n && skippable(i))
        ++i;
    while (i < n) {
        qsizetype end = line.indexOf(separator, i);
        if (end < 0)
            end = n;
        out.fields[size_t(out.count++)] = line.mid(i, end - i);
        if (end == n)
            break;
        if (out.count == 8) {
            // Leading blanks of the rest are kept: they belong to the name.
            if (end + 1 < n)
                out.fields[size_t(out.count++)] = line.mid(end + 1);
            break;
        }
        i = end + 1;
        while (i < n && skippable(i))
            ++i;
    }
    return out;
}

QStringList SplitFields(QStringView line, QChar separator) {
    const FieldViews views = SplitFieldViews(line, separator);
    QStringList fields;
    fields.reserve(views.count);
    for (int i = 0; i < views.count; ++i)
        fields.append(views[i].toString());
    return fields;
}

QString FormatSizeText(qint64 size, const QLocale& locale) {
    return FormatSizeText(size, locale.groupSeparator());
}

QString FormatSizeText(qint64 size, const QString& separator) {
    const QString digits = QString::number(size);
    const qsizetype first = digits.startsWith(u'-') ? 1 : 0;
    QString text;
    text.reserve(digits.size() + digits.size() / 3 * separator.size());
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > first && (digits.size() - i) % 3 == 0)
            text.append(separator);
        text.append(digits[i]);
    }
    return text;
}

std::optional<DirEntry> ParseListLine(QStringView line, const ListParseContext& context) {
    static const QString blank = QStringLiteral(" ");
    const FieldViews f = SplitFieldViews(line, u' ');
    const int n = f.count;
    // A short line from a Windows_NT server would name a field it lacks;
    // it carries no entry, and must not end the listing as an error would.
    if (n < 4)
        return std::nullopt;

    DirEntry e;
    QStringView name;
    QStringView size;
    QString dateText;
    e.owner = e.group = blank;
    const bool msDos =
        (n == 4 || LooksLikeMsDosDate(f[0])) && context.systemType.contains(u"Windows_NT");
    if (msDos) {
        if (n == 4) {
            name = f[3];
        } else {
            // Names with blanks: the fourth field runs to the end of the line.
            name = line.mid(f[3].data() - line.data());
            while (!name.isEmpty() && name.back().unicode() <= 32)
                name.chop(1);
        }
        size = f[2];
        dateText = JoinDate(f[0], f[1]);
        const bool isDir = line.contains(u"<DIR>", Qt::CaseInsensitive);
        e.attributes = isDir ? QStringLiteral("D") : QStringLiteral("-");
        e.kind = isDir ? EntryKind::Directory : EntryKind::File;
    } else {
        e.attributes = f[0].toString();
        if (n >= 9 && f[8].startsWith(u"->")) {
            // No group column; the link target was split off. The owner is the
            // third field, as without a link (not the link count before it).
            name = f[7];
            e.owner = f[2].toString();
            size = f[3];
            dateText = JoinDate(f[4], f[5], f[6]);
        } else if (n >= 9) {
            name = f[8];
            e.owner = f[2].toString();
            e.group = f[3].toString();
            size = f[4];
            dateText = JoinDate(f[5], f[6], f[7]);
        } else if (n == 8) {
            name = f[7];
            e.owner = f[2].toString();
            size = f[3];
            dateText = JoinDate(f[4], f[5], f[6]);
            e.attributes = f[0].left(1).toString();
        } else if (n == 7) {
            name = f[6];
            size = f[2];
            dateText = JoinDate(f[3], f[4], f[5]);
            e.attributes = f[0].left(1).toString();
        } else {
            return std::nullopt;
        }
        e.kind = KindFromAttributes(f[0]);
    }

    name = StripColour(name);
    if (e.kind == EntryKind::Link)
        name = CutLinkTarget(name);
    if (name.isEmpty() || name == u"." || name == u"..")
        return std::nullopt;
    e.name = name.toString();

    e.size = ReadSize(size);
    if (!context.groupSeparator)
        context.groupSeparator = context.locale.groupSeparator();
    e.sizeText = FormatSizeText(e.size, *context.groupSeparator);

    std::optional<QDateTime> date = ReadUnixListDate(dateText, context.now);
    if (!date)
        date = ReadMsDosListDate(dateText, context.now);
    if (date) {
        e.date = *date;
        // Bounded: a listing of all different minutes cannot grow it forever.
        if (context.dateTexts.size() > 65536)
            context.dateTexts.clear();
        QString& text = context.dateTexts[date->toMSecsSinceEpoch()];
        if (text.isEmpty())
            text = FormatListDate(*date, context.locale);
        e.dateText = text;
    } else {
        e.dateText = QString::fromUtf16(UnreadableListDate);
    }

    e.mark = MarkOf(e.name, e.kind, e.sizeText, context);
    return e;
}

EntryMark MarkOf(QStringView name, EntryKind kind, QStringView sizeText,
                 const ListParseContext& context) {
    if (MatchesSkipList(name, kind, sizeText, false, context.options, context.skipList))
        return EntryMark::Skip;
    if (MatchesFavorites(name, context.options, context.favourites))
        return EntryMark::Favourite;
    return EntryMark::None;
}
