#pragma once

// The kinds of event sound, stored as integers in the settings file. Values
// outside this range can arrive from a hand-edited file and play nothing.
enum class SoundKind : int {
    None = 0,
    Asterisk = 1,
    Beep = 2,
    Exclamation = 3,
    Question = 4,
    Stop = 5,
    WavFile = 6,
};
