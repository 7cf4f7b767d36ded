#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <vector>

// The entries each pass removes, as row numbers of the lists the run
// started with, highest first.
struct DupePass {
    std::vector<int> left;
    std::vector<int> right;
};

struct DupeOutcome {
    DupePass passes[2];
    int removed = 0;
};

// What a run tells the window while it works: entries processed so far and
// the gauge's maximum, which drops by one with each exact-mode removal.
using DupeProgress = std::function<void(int processed, int maximum)>;

// The name variants both modes compare, all lower-cased: "_" as ".", "."
// as "_", "_" as "-", "." as "-".
struct NameVariants {
    explicit NameVariants(const QString& name);
    QString lower, a, b, c, d;
};

// Exact matching: an entry goes when the other list holds its name or
// variant A or B (letter case ignored); then the last entry of the other
// list that is contained in the name, or contains variant A or B, goes
// with it. ".." never goes. One pass per side, left first.
DupeOutcome ExactDupes(const QStringList& left, const QStringList& right,
                       const std::atomic<bool>& stop, const DupeProgress& progress = {});
// Partial matching: an entry goes when its name, or failing that variant A,
// B, C or D, occurs in any name of the other list; the first such name of
// the other list goes after the pass.
DupeOutcome PartialDupes(const QStringList& left, const QStringList& right,
                         const std::atomic<bool>& stop, const DupeProgress& progress = {});
