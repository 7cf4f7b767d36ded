#pragma once

#include "app/Colour.h"
#include "app/FontSpec.h"

#include <QColor>
#include <QFont>
#include <QPalette>

// The core's colour values and font descriptions made into Qt's, and back.

// System colours (clWindow, clWindowText, ...) resolve against palette.
QColor ColourToQColor(Colour colour, const QPalette& palette);

// Fields of spec applied to base; an empty family keeps base's family.
QFont FontSpecToQFont(const FontSpec& spec, const QFont& base);
// colourName is kept as given: a QFont carries no colour.
FontSpec FontSpecFromQFont(const QFont& font, const QString& colourName);
