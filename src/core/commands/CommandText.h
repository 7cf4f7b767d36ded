#pragma once

#include <QString>
#include <QStringList>

// How the editor's multi-line command text becomes the stored ";"-joined
// value and back, and the token help it shows.
namespace CommandText {

// "&Update": blank lines go, the others are trimmed and joined by ";"; one
// trailing ";" of the result is dropped.
QString CleanForUpdate(const QString& typed);
// "&Add": stored as typed, every line break becoming ";".
QString JoinAsTyped(const QString& typed);
// The stored value one command line per text line, for the editor.
QString ForEditor(const QString& command);
// The parts a run sends one after the other.
QStringList SplitParts(const QString& command);

// The "&Help" text: the tokens a command line may hold.
QString TokenHelp();

} // namespace CommandText
