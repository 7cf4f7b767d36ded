#pragma once

#include "Colour.h"

#include <QString>

#include <optional>

// A font as the settings file describes it; the GUI turns it into a QFont
// and a text colour.
struct FontDescription {
    QString family;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    // A colour name ("clWindowText", "clBlack") or "$" and 8 hex digits.
    QString colour = QStringLiteral("clWindowText");

    bool operator==(const FontDescription&) const = default;
};

// "\"Courier New\", 10, [Bold|Italic], [clBlack]"
QString FontToString(const FontDescription& font);

// Applies the fields of text to font in order and stops at the first one that
// cannot be read, keeping those already applied. An empty text changes
// nothing. Returns true when every field was read.
bool StringToFont(const QString& text, FontDescription& font);

// Colour names as the settings file spells them: the named colours, the
// system colours (0x80000000 plus the system index, resolved by the GUI
// against its palette) and "$" followed by 8 hex digits for the rest.
QString ColourToName(Colour colour);
std::optional<Colour> ColourFromName(const QString& name);
