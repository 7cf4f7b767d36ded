#include "PatternList.h"

#include "IniFile.h"

#include <algorithm>

namespace {
QByteArray PatternKey(int index) {
    return 's' + QByteArray::number(index);
}
} // namespace

QStringList LoadPatternList(const QString& filePath, const QByteArray& section) {
    const IniFile ini(filePath);
    QStringList patterns;
    for (int i = 0; i < MaxPatterns; ++i) {
        const QString pattern = ini.readString(section, PatternKey(i));
        if (pattern.isEmpty())
            break;
        patterns.append(pattern);
    }
    return patterns;
}

QStringList SortedPatterns(const QStringList& patterns) {
    QStringList sorted;
    for (const QString& pattern : patterns) {
        const QString trimmed = pattern.trimmed();
        // An empty value would end the list on reading and hide all later
        // patterns; a line break cannot be stored in one line.
        if (!trimmed.isEmpty() && !trimmed.contains(u'\n') && !trimmed.contains(u'\r'))
            sorted.append(trimmed);
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return sorted;
}

bool SavePatternList(const QString& filePath, const QByteArray& section,
                     const QStringList& patterns) {
    IniFile ini(filePath);
    ini.beginUpdate();
    ini.eraseSection(section);
    const QStringList sorted = SortedPatterns(patterns);
    for (qsizetype i = 0; i < sorted.size(); ++i)
        ini.writeString(section, PatternKey(int(i)), sorted[i]);
    return ini.endUpdate();
}
