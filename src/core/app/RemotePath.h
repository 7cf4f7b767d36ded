#pragma once

#include <QString>

// A remote directory path ends in its separator: "/" when the path holds a
// "/", else "\" when it holds a "\". "/" alone and the empty path stay.
QString EnsureTrailingSeparator(const QString& path);
