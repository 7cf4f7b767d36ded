#pragma once


// The remote lists' columns: Name, Size, Date, Owner, Group, Attrib.
namespace ListColumns {

constexpr int Owner = 3;
constexpr int Group = 4;
constexpr int Attrib = 5;

// Widths the owner, group and attribute columns open with.
constexpr int OwnerWidth = 50;
constexpr int GroupWidth = 50;
constexpr int AttribWidth = 70;

} // namespace ListColumns
