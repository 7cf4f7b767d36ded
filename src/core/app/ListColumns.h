#pragma once

#include "app/Settings.h"

#include <array>

// The remote lists' columns: Name, Size, Date, Owner, Group, Attrib.
namespace ListColumns {

constexpr int Owner = 3;
constexpr int Group = 4;
constexpr int Attrib = 5;

// Widths of the owner, group and attribute columns: shown or zero.
inline std::array<int, 3> OptionalWidths(const Settings& settings) {
    return {settings.owner ? 50 : 0, settings.group ? 50 : 0, settings.attrib ? 70 : 0};
}

} // namespace ListColumns
