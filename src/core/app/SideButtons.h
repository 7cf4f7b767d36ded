#pragma once

#include <array>

// The tool buttons each side has, in toolbar order.
enum class SideButton {
    Connect,
    Disconnect,
    Abort,
    Stop,
    Transfer,
    Refresh,
    FilterDupes,
    TwoDayFilterDupes,
    ToggleLocalView,
};

constexpr int SideButtonCount = 9;

// What the GUI shows of one tool button; the logic decides it.
struct ButtonState {
    bool enabled = true;
    bool visible = true;
    int imageIndex = 0;
};

using SideButtonStates = std::array<ButtonState, SideButtonCount>;

inline ButtonState& ButtonOf(SideButtonStates& states, SideButton button) {
    return states[std::size_t(button)];
}
inline const ButtonState& ButtonOf(const SideButtonStates& states, SideButton button) {
    return states[std::size_t(button)];
}

// Image indices of the Stop button: idle, and while a transfer or delete runs.
constexpr int StopImageIdle = 0;
constexpr int StopImageActive = 1;

// Image indices of the duplicate filter button: ready, and not usable.
constexpr int FilterImageReady = 5;
constexpr int FilterImageIdle = 6;
