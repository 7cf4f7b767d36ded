#pragma once

#include <QString>

// Kind and direction of a queued transfer.
enum class Direction : int {
    FxpLeftToRight = 0,    // left server to right server
    FxpRightToLeft = 1,    // right server to left server
    UploadToLeft = 2,      // from the right pane's local list
    DownloadFromLeft = 3,  // to the local disk
    UploadToRight = 4,     // from the left pane's local list
    DownloadFromRight = 5, // to the local disk
};
constexpr int DirectionCount = 6;

// One pending transfer. Paths are kept exactly as listed: names go back to
// the server byte for byte.
struct QueueEntry {
    QString SourcePath;
    QString TargetPath; // a file's full target, or a directory's parent
    QString SizeText;   // as displayed; readers take its digits only
    int Icon = 3;       // 3 file; anything else is handled as a directory
    Direction direction = Direction::FxpLeftToRight;

    bool isFile() const { return Icon == 3; }
    bool operator==(const QueueEntry&) const = default;
};
