#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The benchmark's directory contents: realistic names (blanks, UTF-8, long
// and short), nine files to one directory, sizes and dates spread out.
namespace ListingData {

struct Entry {
    QString name;
    bool directory = false;
    qint64 size = 0;
    qint64 ageSeconds = 0; // modification time this long before now
};

std::vector<Entry> MakeEntries(int count);

// Creates the entries as sparse files and directories under dir (which must
// not exist yet); false with a message on the first failure.
bool CreateDirectory(const QString& dir, const std::vector<Entry>& entries, QString& error);
// Removes a directory this benchmark made, names of any encoding included.
void RemoveDirectory(const QString& dir);

// The same entries as a Unix server lists them ("ls -l" layout).
QStringList UnixListing(const std::vector<Entry>& entries);

} // namespace ListingData
