#pragma once

#include "listing/DirEntry.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// The settings the skip and favourites tests read (section _Main_).
struct SkipOptions {
    bool skip = false;                  // "Skip"
    bool skipNullFiles = false;         // "Skip null files"
    bool skipListAppliesToDirs = false; // "Skip List Applies to Dirs"
    bool favorites = false;             // "Favorites"
};

// A skip or favourites list, each pattern classified once so that testing a
// name costs no allocation. Forms, compared without case:
//   "text"        the whole name
//   "*text*"      the name contains text ("*" and "**" match nothing)
//   "*text"       the name from the first occurrence of text is exactly text
//   "text*..."    the name begins with text; the rest is ignored
// A leading "?" makes a skip pattern files-only; it is dropped before matching.
class PatternSet {
public:
    PatternSet() = default;
    explicit PatternSet(const QStringList& patterns);

    bool isEmpty() const { return m_patterns.empty(); }

    enum class Form { Exact, Contains, Suffix, Prefix };
    struct Pattern {
        Form form = Form::Exact;
        bool filesOnly = false;
        QString text;
    };
    const std::vector<Pattern>& patterns() const { return m_patterns; }

private:
    std::vector<Pattern> m_patterns;
};

bool MatchesSkipList(QStringView name, EntryKind kind, QStringView sizeText, bool bypass,
                     const SkipOptions& options, const PatternSet& patterns);

bool MatchesFavorites(QStringView name, const SkipOptions& options, const PatternSet& patterns);
