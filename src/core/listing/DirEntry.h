#pragma once

#include <QDateTime>
#include <QString>

// Image index of a remote list item.
enum class EntryKind : int { Parent = 0, Directory = 1, Link = 2, File = 3 };

// State index of a remote list item.
enum class EntryMark : int { None = 0, Skip = 1, Favourite = 2 };

// One entry of a remote listing, as the side's listing model holds it.
struct DirEntry {
    QString name;
    // 64-bit: files over 2 GiB are common and must not show as 0.
    qint64 size = 0;
    QString sizeText; // size with the locale's group separator every three digits
    QString dateText; // locale short date, a blank, short time; or "01/01/90 00:00"
    // The date as read, wall-clock time held as UTC so entries compare as
    // listed; invalid when the date could not be read.
    QDateTime date;
    QString owner;      // " " when the layout has none
    QString group;      // " " when the layout has none
    QString attributes; // permission field, or "D"/"-" for MS-DOS listings
    EntryKind kind = EntryKind::File;
    EntryMark mark = EntryMark::None;
};

// Entries whose attributes do not begin with "-" go to the directory tree:
// directories, links and anything else that is not a plain file.
inline bool OffersToTree(const DirEntry& e) {
    return !e.attributes.isEmpty() && e.attributes.front().toLower() != u'-';
}
