#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

inline constexpr char SkipListFileName[] = "skiplist.dat";
inline constexpr char SkipListSection[] = "_Skip_";
inline constexpr char FavouritesFileName[] = "favorite.dat";
inline constexpr char FavouritesSection[] = "_favorite_";
// Keys s0 .. s3000 are read.
inline constexpr int MaxPatterns = 3001;

// Reads s0, s1, ... up to the first empty or missing value.
QStringList LoadPatternList(const QString& filePath, const QByteArray& section);

// The order the Preferences lists show and the files keep: case-insensitive,
// each pattern trimmed, empty ones dropped.
QStringList SortedPatterns(const QStringList& patterns);

// Erases the section and writes SortedPatterns(patterns) from s0 up, in one
// atomic save.
bool SavePatternList(const QString& filePath, const QByteArray& section,
                     const QStringList& patterns);
