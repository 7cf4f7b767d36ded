#include "dupes/DupeMatching.h"

#include "dupes/NameIndex.h"

#include <QHash>

#include <cstdint>
#include <set>
#include <string_view>
#include <unordered_map>

namespace {

const QString ParentName = QStringLiteral("..");

// One list during a run: its names and which of them are still there, as a
// list linked both ways so passes skip what is gone.
struct RunList {
    explicit RunList(const QStringList& names) : names(names) {
        const int n = int(names.size());
        lower.reserve(n);
        prev.resize(size_t(n));
        next.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            lower << names.at(i).toLower();
            prev[size_t(i)] = i - 1;
            next[size_t(i)] = i + 1 < n ? i + 1 : -1;
            ++present[lower.last()];
        }
        last = n - 1;
        gone.resize(size_t(n), false);
    }
    int present_count(const QString& lowerName) const { return present.value(lowerName); }
    void remove(int i) {
        gone[size_t(i)] = true;
        const int p = prev[size_t(i)];
        const int nx = next[size_t(i)];
        if (p >= 0)
            next[size_t(p)] = nx;
        if (nx >= 0)
            prev[size_t(nx)] = p;
        else
            last = p;
        if (--present[lower.at(i)] == 0)
            present.remove(lower.at(i));
    }
    // What is still there, in list order.
    std::vector<int> rows() const {
        std::vector<int> result;
        for (int i = last; i >= 0; i = prev[size_t(i)])
            result.push_back(i);
        return {result.rbegin(), result.rend()};
    }

    const QStringList& names;
    QStringList lower;
    std::vector<bool> gone;
    std::vector<int> prev, next;
    QHash<QString, int> present;
    int last = -1;
};

struct Counters {
    int processed = 0;
    int maximum = 0;
    int removed = 0;
    const DupeProgress& progress;
    void count(int index) {
        ++processed;
        if (progress && index % 3 == 1)
            progress(processed, maximum);
    }
};

std::u16string_view ViewOf(QStringView text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())};
}

// What other holds, filed for the exact scan's questions: which of its names
// is contained in a name, and which contain a variant. Rows that went stay
// filed; the scan skips them.
struct ExactLookup {
    explicit ExactLookup(const RunList& other) : list(other), index(other.lower) {
        for (int row = 0; row < int(other.lower.size()); ++row) {
            byName[ViewOf(other.lower.at(row))].push_back(row);
            lengths.insert(other.lower.at(row).size());
        }
    }
    // The highest row still there that the scan from the last entry would
    // stop at: its name inside `v.lower`, or holding variant A or B.
    int LastMatch(const NameVariants& v) const {
        const auto present = [this](int row) { return !list.gone[size_t(row)]; };
        int best = std::max(index.LastContaining(v.a, present), index.LastContaining(v.b, present));
        const QStringView name(v.lower);
        for (qsizetype length : lengths) {
            if (length > name.size())
                break;
            for (qsizetype at = 0; at + length <= name.size(); ++at) {
                const auto found = byName.find(ViewOf(name.mid(at, length)));
                if (found == byName.end())
                    continue;
                for (auto row = found->second.rbegin(); row != found->second.rend(); ++row)
                    if (*row > best && present(*row)) {
                        best = *row;
                        break;
                    }
            }
        }
        return best;
    }

    const RunList& list;
    NameIndex index;
    std::unordered_map<std::u16string_view, std::vector<int>> byName;
    std::set<qsizetype> lengths;
};

// self's entries from the last to the first against what other still holds.
void ExactPass(RunList& self, RunList& other, std::vector<int>& selfGone,
               std::vector<int>& otherGone, const std::atomic<bool>& stop, Counters& counters) {
    const ExactLookup lookup(other);
    for (int i = self.last; i >= 0;) {
        if (stop.load(std::memory_order_relaxed))
            return;
        const int before = self.prev[size_t(i)];
        const NameVariants v(self.names.at(i));
        if (other.present_count(v.lower) || other.present_count(v.a) ||
            other.present_count(v.b)) {
            const int j = lookup.LastMatch(v);
            if (j >= 0 && self.names.at(i) != ParentName && other.names.at(j) != ParentName) {
                self.remove(i);
                other.remove(j);
                selfGone.push_back(i);
                otherGone.push_back(j);
                ++counters.removed;
                --counters.maximum;
            }
        }
        counters.count(i);
        i = before;
    }
}

// self's entries from the last to the first against the names other held
// when the pass began; the first name holding a variant goes at the end.
void PartialPass(RunList& self, RunList& other, std::vector<int>& selfGone,
                 std::vector<int>& otherGone, const std::atomic<bool>& stop, Counters& counters) {
    const std::vector<int> otherRows = other.rows();
    QStringList otherNames;
    otherNames.reserve(qsizetype(otherRows.size()));
    QHash<QString, int> firstRow;
    for (int k = 0; k < int(otherRows.size()); ++k) {
        otherNames << other.lower.at(otherRows[size_t(k)]);
        firstRow.insert(otherNames.last(), std::min(firstRow.value(otherNames.last(), k), k));
    }
    const NameIndex index(otherNames);
    std::set<int, std::greater<>> remembered;
    for (int i = self.last; i >= 0;) {
        if (stop.load(std::memory_order_relaxed))
            break;
        const int before = self.prev[size_t(i)];
        const NameVariants v(self.names.at(i));
        int line = -1;
        for (const QString* text : {&v.lower, &v.a, &v.b, &v.c, &v.d}) {
            line = index.FirstContaining(*text);
            if (line >= 0)
                break;
        }
        if (line >= 0 && self.names.at(i) != ParentName) {
            const int row = otherRows[size_t(firstRow.value(otherNames.at(line)))];
            if (other.names.at(row) != ParentName)
                remembered.insert(row);
            self.remove(i);
            selfGone.push_back(i);
            ++counters.removed;
        }
        counters.count(i);
        i = before;
    }
    for (int row : remembered) {
        other.remove(row);
        otherGone.push_back(row);
    }
}

using Pass = void (*)(RunList&, RunList&, std::vector<int>&, std::vector<int>&,
                      const std::atomic<bool>&, Counters&);

DupeOutcome Run(Pass pass, const QStringList& left, const QStringList& right,
                const std::atomic<bool>& stop, const DupeProgress& progress) {
    RunList l(left);
    RunList r(right);
    Counters counters{0, std::max(0, int(left.size()) - 1) + std::max(0, int(right.size()) - 1),
                      0, progress};
    DupeOutcome outcome;
    pass(l, r, outcome.passes[0].left, outcome.passes[0].right, stop, counters);
    if (!stop.load())
        pass(r, l, outcome.passes[1].right, outcome.passes[1].left, stop, counters);
    for (DupePass& p : outcome.passes)
        for (std::vector<int>* rows : {&p.left, &p.right})
            std::sort(rows->begin(), rows->end(), std::greater<>());
    outcome.removed = counters.removed;
    return outcome;
}

} // namespace

NameVariants::NameVariants(const QString& name) : lower(name.toLower()) {
    a = lower;
    a.replace(QLatin1Char('_'), QLatin1Char('.'));
    b = lower;
    b.replace(QLatin1Char('.'), QLatin1Char('_'));
    c = lower;
    c.replace(QLatin1Char('_'), QLatin1Char('-'));
    d = lower;
    d.replace(QLatin1Char('.'), QLatin1Char('-'));
}

DupeOutcome ExactDupes(const QStringList& left, const QStringList& right,
                       const std::atomic<bool>& stop, const DupeProgress& progress) {
    return Run(&ExactPass, left, right, stop, progress);
}

DupeOutcome PartialDupes(const QStringList& left, const QStringList& right,
                         const std::atomic<bool>& stop, const DupeProgress& progress) {
    return Run(&PartialPass, left, right, stop, progress);
}
