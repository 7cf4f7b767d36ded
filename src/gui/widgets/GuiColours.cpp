#include "widgets/GuiColours.h"

namespace {
constexpr Colour SystemColourFlag = 0x80000000u;
}

QColor ColourToQColor(Colour colour, const QPalette& palette) {
    if (colour & SystemColourFlag) {
        switch (colour & 0xFFu) {
        case 5: // clWindow
            return palette.color(QPalette::Base);
        case 15: // clBtnFace
            return palette.color(QPalette::Button);
        case 13: // clHighlight
            return palette.color(QPalette::Highlight);
        case 14: // clHighlightText
            return palette.color(QPalette::HighlightedText);
        default: // clWindowText and the rest: readable text
            return palette.color(QPalette::Text);
        }
    }
    return QColor(ColourRed(colour), ColourGreen(colour), ColourBlue(colour));
}

QFont FontSpecToQFont(const FontSpec& spec, const QFont& base) {
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

FontSpec FontSpecFromQFont(const QFont& font, const QString& colourName) {
    FontSpec spec;
    spec.family = font.family();
    spec.pointSize = font.pointSize() > 0 ? font.pointSize() : qRound(font.pointSizeF());
    spec.bold = font.bold();
    spec.italic = font.italic();
    spec.underline = font.underline();
    spec.strikeout = font.strikeOut();
    spec.colour = colourName;
    return spec;
}
