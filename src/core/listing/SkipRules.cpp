#include "SkipRules.h"

namespace {

PatternSet::Pattern Classify(QStringView pattern) {
    PatternSet::Pattern p;
    if (pattern.startsWith(u'?')) {
        p.filesOnly = true;
        pattern = pattern.mid(1);
    }
    const qsizetype star = pattern.indexOf(u'*');
    if (star < 0) {
        p.form = PatternSet::Form::Exact;
        p.text = pattern.toString().toCaseFolded();
    } else if (star > 0) {
        p.form = PatternSet::Form::Prefix;
        p.text = pattern.left(star).toString().toCaseFolded();
    } else {
        const qsizetype next = pattern.indexOf(u'*', 1);
        if (next == pattern.size() - 1) {
            p.form = PatternSet::Form::Contains;
            p.text = pattern.mid(1, next - 1).toString().toCaseFolded();
        } else {
            p.form = PatternSet::Form::Suffix;
            p.text = pattern.mid(1).toString().toCaseFolded();
        }
    }
    return p;
}

// Names and texts are compared case-folded: folding the name once per test
// is much cheaper than a case-insensitive search per pattern.
bool PatternMatches(const PatternSet::Pattern& p, QStringView folded) {
    // An empty text would match every name; the lists mean nothing by "*".
    if (p.text.isEmpty())
        return false;
    switch (p.form) {
    case PatternSet::Form::Contains:
        return folded.contains(p.text);
    case PatternSet::Form::Suffix:
        // Only the first occurrence counts, so "*.txt" does not match "a.txt.txt".
        return folded.endsWith(p.text) && folded.indexOf(p.text) == folded.size() - p.text.size();
    case PatternSet::Form::Prefix:
        return folded.startsWith(p.text);
    case PatternSet::Form::Exact:
        return folded == p.text;
    }
    return false;
}

// The digits of a size text read as a number are zero. Read without
// converting, so an absurdly long digit string cannot overflow.
bool SizeIsZero(QStringView sizeText) {
    for (QChar c : sizeText) {
        if (c >= u'1' && c <= u'9')
            return false;
    }
    return true;
}

} // namespace

PatternSet::PatternSet(const QStringList& patterns) {
    m_patterns.reserve(size_t(patterns.size()));
    for (const QString& pattern : patterns)
        m_patterns.push_back(Classify(pattern));
}

bool MatchesSkipList(QStringView name, EntryKind kind, QStringView sizeText, bool bypass,
                     const SkipOptions& options, const PatternSet& patterns) {
    if (!options.skip || bypass)
        return false;
    const bool isFile = kind == EntryKind::File;
    if (!options.skipListAppliesToDirs && !isFile)
        return false;
    if (options.skipNullFiles && isFile && SizeIsZero(sizeText))
        return true;
    if (patterns.isEmpty())
        return false;
    const QString folded = name.toString().toCaseFolded();
    for (const PatternSet::Pattern& p : patterns.patterns()) {
        // Files-only applies to the wildcard forms, and a match there
        // settles the answer: later patterns are not tried.
        if (PatternMatches(p, folded))
            return p.form == PatternSet::Form::Exact || !p.filesOnly || isFile;
    }
    return false;
}

bool MatchesFavorites(QStringView name, const SkipOptions& options, const PatternSet& patterns) {
    if (!options.favorites || patterns.isEmpty())
        return false;
    const QString folded = name.toString().toCaseFolded();
    for (const PatternSet::Pattern& p : patterns.patterns()) {
        if (PatternMatches(p, folded))
            return true;
    }
    return false;
}
