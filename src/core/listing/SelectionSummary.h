#pragma once

#include "listing/DirEntry.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <vector>

class Side;

// What the line under a list counts. ".." counts as nothing.
struct SelectionCounts {
    int folders = 0; // directories and links
    int files = 0;
    int selected = 0;
    qint64 bytes = 0; // sizes of the selected entries
};

SelectionCounts CountSelection(const std::vector<DirEntry>& entries, const QList<int>& selectedRows);

// "3 folder(s), 5 file(s), 8 total" or, with a selection,
// "3 folder(s), 5 file(s), 8 total, 2 selected  (3,048 bytes)".
QString FormatSelectionSummary(const SelectionCounts& counts, const QLocale& locale);

// The side's summary panel, from its listing and selection; nothing changes
// while the side is not connected or its list is empty.
void UpdateSelectionSummary(Side& side);
