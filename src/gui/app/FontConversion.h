#pragma once

#include "app/FontDescription.h"

#include <QFont>
#include <QString>

// The settings file's font descriptions as Qt fonts, and back. A QFont has no
// colour, so the colour name travels beside it.

// The fields of desc applied to base; an empty family keeps base's family.
QFont ToQFont(const FontDescription& desc, const QFont& base);
// The size is always a positive point size, so the string reads back.
FontDescription ToFontDescription(const QFont& font, QString colourName);
