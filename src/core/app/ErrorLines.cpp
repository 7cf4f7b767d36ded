#include "ErrorLines.h"

ErrorLines::ErrorLines(QObject* parent) : QObject(parent) {}

void ErrorLines::append(const QString& text) {
    m_lines.append(text);
    emit lineAppended(text);
}

void ErrorLines::appendError(const QString& text) {
    if (m_lines.size() > MaxLines) {
        m_lines.removeFirst();
        emit firstLineRemoved();
    }
    append(text);
}

void ErrorLines::clear() {
    m_lines.clear();
    emit cleared();
}
