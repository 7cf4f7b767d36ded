#include "app/FontConversion.h"

#include <QFontInfo>

QFont ToQFont(const FontSpec& spec, const QFont& base) {
    QFont font = base;
    if (!spec.family.isEmpty())
        font.setFamily(spec.family);
    if (spec.pointSize > 0)
        font.setPointSize(spec.pointSize);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeout);
    return font;
}

FontSpec ToFontSpec(const QFont& font, QString colourName) {
    FontSpec spec;
    spec.family = font.family();
    spec.pointSize = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
    // A pixel-sized font reports no point size; "-1" would not read back.
    if (spec.pointSize <= 0)
        spec.pointSize = QFontInfo(font).pointSize();
    if (spec.pointSize <= 0)
        spec.pointSize = FontSpec().pointSize;
    spec.bold = font.bold();
    spec.italic = font.italic();
    spec.underline = font.underline();
    spec.strikeout = font.strikeOut();
    spec.colour = std::move(colourName);
    return spec;
}
