#pragma once

#include "app/Colour.h"

#include <QColor>
#include <QPalette>

// The core's colour values made into Qt's.

// System colours (clWindow, clWindowText, ...) resolve against palette.
QColor ColourToQColor(Colour colour, const QPalette& palette);
