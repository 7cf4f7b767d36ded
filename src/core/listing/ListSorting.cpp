#include "listing/ListSorting.h"

#include <QCollator>
#include <QTimeZone>

#include <algorithm>
#include <numeric>

namespace {

// Collation keys are built once per entry: comparing keys is a byte compare,
// which keeps a 100,000-entry sort well under a second.
void SortByText(std::vector<int>& order, const std::vector<DirEntry>& entries,
                const QLocale& locale, bool reversed, QString DirEntry::*field) {
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(entries.size());
    for (const DirEntry& e : entries)
        keys.push_back(collator.sortKey(e.*field));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = keys[size_t(a)].compare(keys[size_t(b)]);
        return reversed ? c > 0 : c < 0;
    });
}

// Unreadable dates show the 1990 placeholder and sort as that day.
qint64 DateKey(const DirEntry& e) {
    static const qint64 placeholder =
        QDateTime(QDate(1990, 1, 1), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    return e.date.isValid() ? e.date.toMSecsSinceEpoch() : placeholder;
}

} // namespace

std::vector<int> SortPermutation(const std::vector<DirEntry>& entries, const SortOrder& order,
                                 const QLocale& locale) {
    std::vector<int> perm(entries.size());
    std::iota(perm.begin(), perm.end(), 0);
    auto at = [&](int i) -> const DirEntry& { return entries[size_t(i)]; };
    const bool reversed = order.direction == 1;
    switch (order.column) {
    case SortColumn::Name:
        SortByText(perm, entries, locale, reversed, &DirEntry::name);
        break;
    case SortColumn::Owner:
        SortByText(perm, entries, locale, reversed, &DirEntry::owner);
        break;
    case SortColumn::Group:
        SortByText(perm, entries, locale, reversed, &DirEntry::group);
        break;
    case SortColumn::Size:
        std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) {
            return reversed ? at(a).size < at(b).size : at(a).size > at(b).size;
        });
        break;
    case SortColumn::Date:
        std::stable_sort(perm.begin(), perm.end(), [&](int ia, int ib) {
            const DirEntry& a = at(ia);
            const DirEntry& b = at(ib);
            // An entry without a date ("..") heads the list either way.
            if (a.dateText.isEmpty() || b.dateText.isEmpty())
                return a.dateText.isEmpty() && !b.dateText.isEmpty();
            const qint64 ka = DateKey(a);
            const qint64 kb = DateKey(b);
            return reversed ? ka < kb : ka > kb;
        });
        break;
    case SortColumn::None:
        break;
    }
    if (order.directoriesFirst)
        std::stable_sort(perm.begin(), perm.end(),
                         [&](int a, int b) { return int(at(a).kind) < int(at(b).kind); });
    return perm;
}

void SortEntries(std::vector<DirEntry>& entries, const SortOrder& order, const QLocale& locale) {
    const std::vector<int> perm = SortPermutation(entries, order, locale);
    std::vector<DirEntry> sorted;
    sorted.reserve(entries.size());
    for (int i : perm)
        sorted.push_back(std::move(entries[size_t(i)]));
    entries = std::move(sorted);
}
