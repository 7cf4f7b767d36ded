#pragma once

#include <cstdint>

// Colours travel through the core as 0x00BBGGRR values, the form the settings
// file stores ("SkipColor", "FColor"), so no conversion is needed on reading.
using Colour = std::uint32_t;

constexpr Colour MakeColour(int red, int green, int blue) {
    return Colour(red & 0xFF) | (Colour(green & 0xFF) << 8) | (Colour(blue & 0xFF) << 16);
}
constexpr int ColourRed(Colour c) {
    return int(c & 0xFF);
}
constexpr int ColourGreen(Colour c) {
    return int((c >> 8) & 0xFF);
}
constexpr int ColourBlue(Colour c) {
    return int((c >> 16) & 0xFF);
}

// The status-line colours; each tells what kind of line it is.
constexpr Colour clBlack = MakeColour(0, 0, 0);
constexpr Colour clMaroon = MakeColour(128, 0, 0);
constexpr Colour clGreen = MakeColour(0, 128, 0);
constexpr Colour clPurple = MakeColour(128, 0, 128);
constexpr Colour clRed = MakeColour(255, 0, 0);
constexpr Colour clBlue = MakeColour(0, 0, 255);
constexpr Colour clFuchsia = MakeColour(255, 0, 255);
constexpr Colour clYellow = MakeColour(255, 255, 0);
constexpr Colour clAqua = MakeColour(0, 255, 255);
constexpr Colour clWhite = MakeColour(255, 255, 255);
// Separator lines are drawn in the window background; the console resolves it.
constexpr Colour clWindowBackground = 0x80000005u;
