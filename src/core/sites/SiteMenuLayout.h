#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One top-level entry of a side's site drop-down after "Quick Connect".
struct SiteMenuEntry {
    enum class Kind { ColumnBreak, Site, Group } kind = Kind::Site;
    QString caption;     // site name, or the group's caption
    QStringList members; // a group's labels, in sorted order
    // The full site names behind members, since a group merged across letter
    // case cannot be rebuilt from its caption. A site entry's is its caption.
    QStringList memberNames;
};

// The drop-down's entries: names sorted; "<group> label" names go into one
// submenu per group (matched ignoring case, captioned as first seen); a name
// with "<" but no ">" is left out; a column break precedes the top-level
// entry placed while the count is N, 2N, ... 6N (N = itemCount; 0 or less:
// one column). Sorting ignores case; at most one break per count.
QList<SiteMenuEntry> BuildSiteMenu(QStringList names, int itemCount);
