#pragma once

#include "app/FontDescription.h"

#include <QFont>
#include <QString>

class QWidget;

// The settings file's font descriptions as Qt fonts, and back. A QFont has no
// colour, so the colour name travels beside it.

// The fields of desc applied to base; an empty family keeps base's family.
QFont ToQFont(const FontDescription& desc, const QFont& base);
// The size is always a positive point size, so the string reads back.
FontDescription ToFontDescription(const QFont& font, QString colourName);
// Gives a view the font and text colour the description names; a colour
// name that cannot be read leaves the view's text colour as it is.
void ApplyFontDescription(QWidget* widget, const FontDescription& desc);
