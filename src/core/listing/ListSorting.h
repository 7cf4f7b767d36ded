#pragma once

#include "listing/DirEntry.h"

#include <QLocale>

#include <vector>

// The list's sort columns; None keeps the listing's order.
enum class SortColumn : int { Name = 0, Size = 1, Date = 2, Owner = 3, Group = 4, None = 5 };

// What a sort does: column, direction (0 "Ascending", 1 "Descending", each
// column's meaning of it below) and whether directories go first.
struct SortOrder {
    SortColumn column = SortColumn::Name;
    int direction = 0;
    bool directoriesFirst = true;
};

// Direction 0: names, owners and groups A before Z by the locale's collation
// (case-sensitive); sizes largest first; dates newest first with an empty
// date ("..") first. Direction 1 reverses each. Then, when directoriesFirst,
// a stable pass by kind puts "..", directories and links before files.
// Returns the old positions in their new order.
std::vector<int> SortPermutation(const std::vector<DirEntry>& entries, const SortOrder& order,
                                 const QLocale& locale);
void SortEntries(std::vector<DirEntry>& entries, const SortOrder& order, const QLocale& locale);
