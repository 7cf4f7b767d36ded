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
