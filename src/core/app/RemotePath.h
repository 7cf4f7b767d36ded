#pragma once

#include <QString>

// Path text as the queue and transfers handle it: "/" and "\" both count as
// separators, whatever the server.

// A directory path ends in its separator: "/" when the path holds a "/",
// else "\" when it holds a "\". "/" alone and the empty path stay.
QString EnsureTrailingSeparator(const QString& path);
// The last component, one trailing "\" and then one trailing "/" ignored:
// "/pub/dir/" gives "dir". The whole text when it has no separator.
QString LastPathComponent(const QString& path);
// Up to and including the last separator; empty when there is none.
QString DirectoryPart(const QString& path);
// After the last separator; the whole text when there is none.
QString FileNamePart(const QString& path);
// The decimal digits only, "0" when there are none: "1,234" gives "1234".
QString DigitsOnly(const QString& text);

// A name a listing gives is one path component: not empty, not "." or "..",
// no "/". Anything else would lead a path outside the folder it belongs in.
bool IsPlainName(const QString& name);
// The status line for a listed name that is refused for that reason.
QString RefusedNameLine(const QString& name);
