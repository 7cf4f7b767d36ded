#pragma once

#include <QIcon>
#include <QStyle>

// The application style's standard icon, read once: the style decodes its
// image files again on every request, and the panes and buttons ask for the
// same few icons on every start and every change of a button.
QIcon StandardIcon(QStyle::StandardPixmap which);
