#include "app/FontConversion.h"

#include "widgets/GuiColours.h"

#include <QFontInfo>

QFont ToQFont(const FontSpec& spec, const QFont& base) {
    return FontSpecToQFont(spec, base);
}

FontSpec ToFontSpec(const QFont& font, QString colourName) {
    FontSpec spec = FontSpecFromQFont(font, colourName);
    // A pixel-sized font reports no point size; "-1" would not read back.
    if (spec.pointSize <= 0)
        spec.pointSize = QFontInfo(font).pointSize();
    if (spec.pointSize <= 0)
        spec.pointSize = FontSpec().pointSize;
    return spec;
}
