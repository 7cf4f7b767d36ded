#include "FontDescription.h"

#include <QStringList>

#include <array>

namespace {

struct NamedColour {
    const char* name;
    Colour value;
};

constexpr Colour SystemColour(int index) {
    return 0x80000000u | Colour(index);
}

constexpr std::array<NamedColour, 45> ColourNames{{
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
    {"clScrollBar", SystemColour(0)},
    {"clBackground", SystemColour(1)},
    {"clActiveCaption", SystemColour(2)},
    {"clInactiveCaption", SystemColour(3)},
    {"clMenu", SystemColour(4)},
    {"clWindow", SystemColour(5)},
    {"clWindowFrame", SystemColour(6)},
    {"clMenuText", SystemColour(7)},
    {"clWindowText", SystemColour(8)},
    {"clCaptionText", SystemColour(9)},
    {"clActiveBorder", SystemColour(10)},
    {"clInactiveBorder", SystemColour(11)},
    {"clAppWorkSpace", SystemColour(12)},
    {"clHighlight", SystemColour(13)},
    {"clHighlightText", SystemColour(14)},
    {"clBtnFace", SystemColour(15)},
    {"clBtnShadow", SystemColour(16)},
    {"clGrayText", SystemColour(17)},
    {"clBtnText", SystemColour(18)},
    {"clInactiveCaptionText", SystemColour(19)},
    {"clBtnHighlight", SystemColour(20)},
    {"clInfoText", SystemColour(23)},
    {"clInfoBk", SystemColour(24)},
}};

constexpr std::array<const char*, 4> StyleNames{"Bold", "Italic", "Underline", "Strikeout"};

// Text between an expected prefix and suffix; either may be missing.
QString Unwrap(QString text, QLatin1String prefix, QLatin1String suffix) {
    if (text.startsWith(prefix))
        text.remove(0, prefix.size());
    if (text.endsWith(suffix))
        text.chop(suffix.size());
    return text;
}

} // namespace

QString FontToString(const FontDescription& font) {
    QStringList styles;
    const std::array<bool, 4> on{font.bold, font.italic, font.underline, font.strikeout};
    for (size_t i = 0; i < StyleNames.size(); ++i) {
        if (on[i])
            styles.append(QLatin1String(StyleNames[i]));
    }
    return QStringLiteral("\"%1\", %2, [%3], [%4]")
        .arg(font.family)
        .arg(font.pointSize)
        .arg(styles.join(u'|'), font.colour);
}

bool StringToFont(const QString& text, FontDescription& font) {
    if (text.isEmpty())
        return true;

    // A quoted name runs to its closing quote, so a comma inside it does not
    // cut it short; otherwise the name runs to the first comma.
    qsizetype nameEnd = -1;
    if (text.startsWith(u'"'))
        nameEnd = text.indexOf(QLatin1String("\","), 1);
    nameEnd = nameEnd >= 0 ? nameEnd + 1 : text.indexOf(u',');
    if (nameEnd < 0)
        return false;
    font.family = Unwrap(text.left(nameEnd), QLatin1String("\""), QLatin1String("\""));
    QString rest = text.mid(nameEnd + 1);

    const qsizetype sizeEnd = rest.indexOf(u',');
    if (sizeEnd < 0)
        return false;
    bool ok = false;
    const int size = rest.left(sizeEnd).trimmed().toInt(&ok);
    if (!ok || size <= 0)
        return false;
    font.pointSize = size;
    rest = rest.mid(sizeEnd + 1);

    const qsizetype styleEnd = rest.indexOf(u',');
    if (styleEnd < 0)
        return false;
    const QString styles =
        u'|' + Unwrap(rest.left(styleEnd), QLatin1String(" ["), QLatin1String("]"));
    font.bold = styles.contains(QLatin1String("|Bold"));
    font.italic = styles.contains(QLatin1String("|Italic"));
    font.underline = styles.contains(QLatin1String("|Underline"));
    font.strikeout = styles.contains(QLatin1String("|Strikeout"));
    rest = rest.mid(styleEnd + 1);

    const QString colour = Unwrap(rest, QLatin1String(" ["), QLatin1String("]")).trimmed();
    if (colour.isEmpty())
        return false;
    font.colour = colour;
    return true;
}

QString ColourToName(Colour colour) {
    for (const NamedColour& named : ColourNames) {
        if (named.value == colour)
            return QLatin1String(named.name);
    }
    return u'$' + QStringLiteral("%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<Colour> ColourFromName(const QString& name) {
    if (name.startsWith(u'$')) {
        bool ok = false;
        const uint value = name.mid(1).toUInt(&ok, 16);
        if (ok && name.size() > 1)
            return Colour(value);
        return std::nullopt;
    }
    for (const NamedColour& named : ColourNames) {
        if (name.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0)
            return named.value;
    }
    return std::nullopt;
}
