#include "IniFile.h"

#include "app/AtomicFile.h"
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cctype>
#include <limits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray TrimBlanks(const QByteArray& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// Only ASCII letters fold: Qt's own case-insensitive compare folds Latin-1
// too, which would make the 0xFE of a site section match 0xDE.
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c;
}

bool SameName(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

QByteArray FoldedName(const QByteArray& name) {
    QByteArray folded = name;
    for (char& c : folded)
        c = AsciiLower(c);
    return folded;
}

bool HasLineBreak(const QByteArray& text) {
    return text.contains('\r') || text.contains('\n');
}

bool ValidSection(const QByteArray& section) {
    return !section.isEmpty() && !HasLineBreak(section);
}

bool ValidKey(const QByteArray& key) {
    return !key.isEmpty() && !HasLineBreak(key) && !key.contains('=') && !key.startsWith('[') &&
           !key.startsWith(';');
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {
    reload();
}

bool IniFile::reload() {
    m_lines.clear();
    m_loadFailed = false;
    m_byteOrderMark = false;
    QFileInfo info(m_path);
    if (!info.exists())
        return true;
    QFile file(m_path);
    QByteArray data;
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        m_loadFailed = true;
        return false;
    }
    data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_loadFailed = true;
        return false;
    }
    // The mark is written back: dropped, a second one at the start of the
    // first line would be taken for it on the next read and change that line.
    m_byteOrderMark = data.startsWith("\xEF\xBB\xBF");
    if (m_byteOrderMark)
        data.remove(0, 3);

    const QList<QByteArray> rawLines = data.split('\n');
    for (qsizetype i = 0; i < rawLines.size(); ++i) {
        QByteArray text = rawLines[i];
        if (text.endsWith('\r'))
            text.chop(1);
        // split() yields an empty tail after the final line end
        if (i == rawLines.size() - 1 && text.isEmpty())
            break;
        Line line;
        line.text = text;
        const QByteArray trimmed = TrimBlanks(text);
        if (trimmed.startsWith('[')) {
            const qsizetype close = trimmed.lastIndexOf(']');
            if (close > 0) {
                line.kind = Line::Section;
                line.section = TrimBlanks(trimmed.mid(1, close - 1));
            }
        } else if (!trimmed.startsWith(';')) {
            const qsizetype eq = trimmed.indexOf('=');
            if (eq > 0) {
                line.kind = Line::Key;
                line.key = TrimBlanks(trimmed.left(eq));
                line.value = TrimBlanks(trimmed.mid(eq + 1));
            }
        }
        m_lines.append(std::move(line));
    }
    return true;
}

int IniFile::findSection(const QByteArray& section) const {
    const QByteArray name = TrimBlanks(section);
    for (int i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Line::Section && SameName(m_lines[i].section, name))
            return i;
    }
    return -1;
}

int IniFile::findOrAppendSection(const QByteArray& section) {
    const int s = findSection(section);
    if (s >= 0)
        return s;
    Line header;
    header.kind = Line::Section;
    header.section = section;
    header.text = '[' + section + ']';
    m_lines.append(header);
    return int(m_lines.size()) - 1;
}

int IniFile::sectionEnd(int sectionLine) const {
    int i = sectionLine + 1;
    while (i < m_lines.size() && m_lines[i].kind != Line::Section)
        ++i;
    return i;
}

int IniFile::findKey(int sectionLine, const QByteArray& key) const {
    const QByteArray name = TrimBlanks(key);
    const int end = sectionEnd(sectionLine);
    for (int i = sectionLine + 1; i < end; ++i) {
        if (m_lines[i].kind == Line::Key && SameName(m_lines[i].key, name))
            return i;
    }
    return -1;
}

bool IniFile::sectionExists(const QByteArray& section) const {
    return findSection(section) >= 0;
}

bool IniFile::keyExists(const QByteArray& section, const QByteArray& key) const {
    const int s = findSection(section);
    return s >= 0 && findKey(s, key) >= 0;
}

QList<QByteArray> IniFile::sectionNames() const {
    QList<QByteArray> names;
    for (const Line& line : m_lines) {
        if (line.kind != Line::Section)
            continue;
        bool seen = false;
        for (const QByteArray& name : names)
            seen = seen || SameName(name, line.section);
        if (!seen)
            names.append(line.section);
    }
    return names;
}

QList<QByteArray> IniFile::readSection(const QByteArray& section) const {
    QList<QByteArray> keys;
    const int s = findSection(section);
    if (s < 0)
        return keys;
    const int end = sectionEnd(s);
    for (int i = s + 1; i < end; ++i) {
        if (m_lines[i].kind == Line::Key && findKey(s, m_lines[i].key) == i)
            keys.append(m_lines[i].key);
    }
    return keys;
}

QList<std::pair<QByteArray, QByteArray>>
IniFile::readSectionEntries(const QByteArray& section) const {
    QList<std::pair<QByteArray, QByteArray>> entries;
    const int s = findSection(section);
    if (s < 0)
        return entries;
    // A hash of folded names keeps a big section linear.
    QSet<QByteArray> seen;
    const int end = sectionEnd(s);
    for (int i = s + 1; i < end; ++i) {
        const Line& line = m_lines[i];
        if (line.kind != Line::Key)
            continue;
        const QByteArray folded = FoldedName(line.key);
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        entries.append({line.key, line.value});
    }
    return entries;
}

QByteArray IniFile::readValue(const QByteArray& section, const QByteArray& key,
                              const QByteArray& defaultValue) const {
    const int s = findSection(section);
    if (s < 0)
        return defaultValue;
    const int k = findKey(s, key);
    return k < 0 ? defaultValue : m_lines[k].value;
}

QString IniFile::readString(const QByteArray& section, const QByteArray& key,
                            const QString& defaultValue) const {
    const int s = findSection(section);
    const int k = s < 0 ? -1 : findKey(s, key);
    return k < 0 ? defaultValue : QString::fromUtf8(m_lines[k].value);
}

bool IniFile::ParseInteger(const QByteArray& text, int& value) {
    QByteArray digits = TrimBlanks(text);
    bool negative = false;
    if (digits.startsWith('-') || digits.startsWith('+')) {
        negative = digits.startsWith('-');
        digits.remove(0, 1);
    }
    int base = 10;
    if (digits.startsWith('$')) {
        base = 16;
        digits.remove(0, 1);
    } else if (digits.startsWith("0x") || digits.startsWith("0X")) {
        base = 16;
        digits.remove(0, 2);
    }
    if (digits.isEmpty())
        return false;
    for (char c : digits) {
        const bool ok = base == 10 ? (c >= '0' && c <= '9') : std::isxdigit(uchar(c)) != 0;
        if (!ok)
            return false;
    }
    bool ok = false;
    const qulonglong magnitude = digits.toULongLong(&ok, base);
    if (!ok)
        return false;
    qlonglong result = 0;
    if (base == 16 && !negative) {
        // Colours and other bit patterns may use all 32 bits, as "$80000008".
        if (magnitude > std::numeric_limits<quint32>::max())
            return false;
        result = int(quint32(magnitude));
    } else {
        if (magnitude > qulonglong(std::numeric_limits<int>::max()) + 1)
            return false;
        result = negative ? -qlonglong(magnitude) : qlonglong(magnitude);
        if (result > std::numeric_limits<int>::max())
            return false;
    }
    value = int(result);
    return true;
}

int IniFile::readInteger(const QByteArray& section, const QByteArray& key, int defaultValue) const {
    const int s = findSection(section);
    const int k = s < 0 ? -1 : findKey(s, key);
    int value = defaultValue;
    if (k < 0 || !ParseInteger(m_lines[k].value, value))
        return defaultValue;
    return value;
}

bool IniFile::readBool(const QByteArray& section, const QByteArray& key, bool defaultValue) const {
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool IniFile::writeValue(const QByteArray& section, const QByteArray& key,
                         const QByteArray& value) {
    const QByteArray sectionName = TrimBlanks(section);
    const QByteArray keyName = TrimBlanks(key);
    if (m_loadFailed || !ValidSection(sectionName) || !ValidKey(keyName) || HasLineBreak(value))
        return changed(false);

    const int s = findOrAppendSection(sectionName);
    const int k = findKey(s, keyName);
    if (k >= 0) {
        Line& line = m_lines[k];
        line.value = value;
        line.text = line.key + '=' + value; // keeps the spelling already in the file
        return changed(true);
    }
    // New keys go after the last key of the section, ahead of trailing blank lines.
    int insertAt = s + 1;
    const int end = sectionEnd(s);
    for (int i = s + 1; i < end; ++i) {
        if (m_lines[i].kind == Line::Key)
            insertAt = i + 1;
    }
    Line line;
    line.kind = Line::Key;
    line.key = keyName;
    line.value = value;
    line.text = keyName + '=' + value;
    m_lines.insert(insertAt, line);
    return changed(true);
}

bool IniFile::writeString(const QByteArray& section, const QByteArray& key, const QString& value) {
    return writeValue(section, key, value.toUtf8());
}

bool IniFile::writeInteger(const QByteArray& section, const QByteArray& key, int value) {
    return writeValue(section, key, QByteArray::number(value));
}

bool IniFile::writeBool(const QByteArray& section, const QByteArray& key, bool value) {
    return writeValue(section, key, value ? "1" : "0");
}

bool IniFile::eraseSection(const QByteArray& section) {
    if (m_loadFailed)
        return changed(false);
    bool removed = false;
    // A hand-edited file may repeat a section; all copies go.
    for (int s = findSection(section); s >= 0; s = findSection(section)) {
        m_lines.remove(s, sectionEnd(s) - s);
        removed = true;
    }
    return removed ? changed(true) : true;
}

bool IniFile::deleteKey(const QByteArray& section, const QByteArray& key) {
    if (m_loadFailed)
        return changed(false);
    const int s = findSection(section);
    if (s < 0)
        return true;
    bool removed = false;
    for (int k = findKey(s, key); k >= 0; k = findKey(s, key)) {
        m_lines.remove(k);
        removed = true;
    }
    return removed ? changed(true) : true;
}

bool IniFile::replaceSectionEntries(const QByteArray& section,
                                    const QList<std::pair<QByteArray, QByteArray>>& entries) {
    const QByteArray sectionName = TrimBlanks(section);
    if (m_loadFailed || !ValidSection(sectionName))
        return changed(false);
    QList<Line> keyLines;
    keyLines.reserve(entries.size());
    for (const auto& [key, value] : entries) {
        const QByteArray keyName = TrimBlanks(key);
        if (!ValidKey(keyName) || HasLineBreak(value))
            return changed(false);
        Line line;
        line.kind = Line::Key;
        line.key = keyName;
        line.value = value;
        line.text = keyName + '=' + value;
        keyLines.append(line);
    }
    const int s = findOrAppendSection(sectionName);
    // The new keys take the place of the first old one.
    int insertAt = -1;
    QList<Line> body;
    const int end = sectionEnd(s);
    for (int i = s + 1; i < end; ++i) {
        if (m_lines[i].kind == Line::Key) {
            if (insertAt < 0)
                insertAt = int(body.size());
            continue;
        }
        body.append(m_lines[i]);
    }
    if (insertAt < 0)
        insertAt = 0;
    QList<Line> lines = m_lines.mid(0, s + 1);
    lines += body.mid(0, insertAt);
    lines += keyLines;
    lines += body.mid(insertAt);
    lines += m_lines.mid(end);
    m_lines = std::move(lines);
    return changed(true);
}

void IniFile::beginUpdate() {
    if (m_updateDepth++ == 0) {
        m_updateDirty = false;
        m_updateRefused = false;
    }
}

bool IniFile::endUpdate() {
    if (m_updateDepth == 0 || --m_updateDepth > 0)
        return !m_updateRefused;
    const bool saved = m_updateDirty ? save() : true;
    if (!saved)
        reload();
    return saved && !m_updateRefused;
}

bool IniFile::changed(bool accepted) {
    if (m_updateDepth > 0) {
        if (accepted)
            m_updateDirty = true;
        else
            m_updateRefused = true;
        return accepted;
    }
    if (!accepted)
        return false;
    if (save())
        return true;
    reload(); // what we hold must stay what the file holds
    return false;
}

bool IniFile::save() {
    QByteArray data = m_byteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    for (const Line& line : m_lines) {
        data += line.text;
        data += "\r\n";
    }
    return WriteFileAtomically(m_path, data);
}
