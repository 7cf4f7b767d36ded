#pragma once

#include <QString>

#include <optional>

// The reversible scrambling of stored passwords and history lines: a random
// start byte, then each byte chained with the previous output and a fixed
// 28-character key, written as upper-case hex. The text's UTF-8 bytes are
// scrambled; restored bytes that are not UTF-8 are read as Latin-1.
namespace PasswordScrambler {

// Scrambles with the given start byte (0..255); the output differs per start.
QString Scramble(const QString& text, int start);
// Restores; nothing when the text is not whole pairs of hex digits.
std::optional<QString> Restore(const QString& scrambled);

} // namespace PasswordScrambler

// Mode 'E' scrambles with a random start byte, mode 'D' restores (an
// unreadable text restores to empty; use PasswordScrambler::Restore to tell).
QString ScramblePassword(char mode, const QString& text);
