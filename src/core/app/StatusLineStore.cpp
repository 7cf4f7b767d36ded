#include "StatusLineStore.h"

#include "app/AtomicFile.h"

#include <algorithm>

StatusLineStore::StatusLineStore(QObject* parent) : QObject(parent) {}

void StatusLineStore::setMaxRecords(int value) {
    if (value >= 0 && value <= MaxRecordsLimit)
        m_maxRecords = value;
}

void StatusLineStore::setMaxRemove(int value) {
    if (value >= 0 && value <= MaxRemoveLimit && value < m_maxRecords)
        m_maxRemove = value;
}

void StatusLineStore::append(const QString& text, Colour colour) {
    QString cut = text;
    if (cut.size() > MaxLineLength) {
        int length = MaxLineLength;
        // Never leave half of a surrogate pair at the end.
        if (cut.at(length - 1).isHighSurrogate())
            --length;
        cut.truncate(length);
    }
    m_lines.append(StatusLine{cut, colour});
    emit lineAppended(int(m_lines.size()) - 1);
    trim();
}

void StatusLineStore::trim() {
    const int held = count();
    if (held <= m_maxRecords)
        return;
    // Old lines go in batches of MaxRemove, but always enough to get back to
    // MaxRecords (MaxRemove may be 0, or MaxRecords may have been lowered).
    int remove = std::max(m_maxRemove, held - m_maxRecords);
    // A batch larger than MaxRecords would also take the line just added;
    // keep the newest line unless nothing may be kept at all.
    remove = std::min(remove, m_maxRecords > 0 ? held - 1 : held);
    m_lines.remove(0, remove);
    emit linesRemoved(remove);
}

void StatusLineStore::clear() {
    m_lines.clear();
    emit cleared();
}

QString StatusLineStore::clipboardText() const {
    QString text;
    for (const StatusLine& line : m_lines)
        text += line.text + QStringLiteral("\r\n");
    return text;
}

QString StatusLineStore::plainText() const {
    QString text;
    for (const StatusLine& line : m_lines)
        text += line.text + QLatin1Char('\n');
    return text;
}

bool StatusLineStore::saveToFile(const QString& path, QString* errorMessage) const {
    return WriteFileAtomically(path, plainText().toUtf8(), errorMessage);
}
