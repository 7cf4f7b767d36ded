#pragma once

#include <QString>
#include <QStringList>

// The files the program ships with (help, whatsnew.txt). A portable copy and
// the build tree keep them beside the program; an installed program finds them
// in its prefix's share folder, reached from the program's own folder so that
// an unpacked or moved prefix works as well as the one it was built for.
namespace ProgramFiles {

// Where name is looked for, in order; fallbackDir last when given.
QStringList Candidates(const QString& programDir, const QString& name,
                       const QString& fallbackDir = {});
// The first candidate that is a file, as an absolute path, or empty.
QString Find(const QString& programDir, const QString& name, const QString& fallbackDir = {});

} // namespace ProgramFiles
