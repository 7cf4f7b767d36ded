#include "sites/SiteMenuLayout.h"

#include <algorithm>

namespace {

constexpr int MaxColumnBreaks = 6;

} // namespace

QList<SiteMenuEntry> BuildSiteMenu(QStringList names, int itemCount) {
    // Sorted as a sorted list box sorts: letter case aside; ties stay stable.
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });

    QList<SiteMenuEntry> entries;
    int placed = 0; // top-level entries, breaks not counted
    int lastBreakAt = -1;
    for (const QString& name : names) {
        const bool grouped = name.startsWith(QLatin1Char('<'));
        QString group, label;
        if (grouped) {
            const qsizetype close = name.indexOf(QLatin1Char('>'));
            if (close < 0)
                continue;
            group = name.mid(1, close - 1);
            label = name.mid(close + 1);
            if (label.startsWith(QLatin1Char(' ')))
                label.remove(0, 1);
        }
        // Checked before every shown site, also one that joins an existing
        // group; a second break at the same count would leave an empty column.
        if (itemCount > 0 && placed > 0 && placed % itemCount == 0 &&
            placed / itemCount <= MaxColumnBreaks && placed != lastBreakAt) {
            entries.append({SiteMenuEntry::Kind::ColumnBreak, {}, {}, {}});
            lastBreakAt = placed;
        }
        if (!grouped) {
            entries.append({SiteMenuEntry::Kind::Site, name, {}, {}});
            ++placed;
            continue;
        }
        // Only a group is reused: a site of the same caption stays clickable.
        const auto existing =
            std::find_if(entries.begin(), entries.end(), [&](const SiteMenuEntry& e) {
                return e.kind == SiteMenuEntry::Kind::Group &&
                       e.caption.compare(group, Qt::CaseInsensitive) == 0;
            });
        if (existing != entries.end()) {
            existing->members.append(label);
            existing->memberNames.append(name);
        } else {
            entries.append({SiteMenuEntry::Kind::Group, group, {label}, {name}});
            ++placed;
        }
    }
    // A break with nothing after it would only add an empty column.
    if (!entries.isEmpty() && entries.last().kind == SiteMenuEntry::Kind::ColumnBreak)
        entries.removeLast();
    return entries;
}
