#pragma once

#include <array>
#include <cstddef>

// Which of the list's optional columns show, from the column menu and the
// "Owner"/"Group" columns in use.
struct ColumnChoice {
    bool size = true;
    bool date = true;
    bool owner = true;  // checked and in use
    bool group = true;  // checked and in use
    bool attrib = false;
};

// What a list offers for fitting its columns: the number of entries, the
// widest text of each column in pixels, the header "Size" in pixels, the
// list's width and the Attrib column's current width.
struct ColumnMeasures {
    int itemCount = 0;
    std::array<int, 6> widest{};
    int sizeHeaderWidth = 0;
    int listWidth = 0;
    int attribWidth = 0;
};

// A width, or the size of the column's contents or header, which the view knows.
struct ColumnFit {
    enum Kind { Fixed, Contents, Header };
    Kind kind = Fixed;
    int width = 0;
};

// Short columns get room to spare, long ones fit their text; a list of
// fewer than two entries shares its width among the shown columns.
std::array<ColumnFit, 6> FitColumns(const ColumnMeasures& m, const ColumnChoice& shown);
