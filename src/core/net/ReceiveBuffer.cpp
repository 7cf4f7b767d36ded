#include "net/ReceiveBuffer.h"

#include <cstring>

void ReceiveBuffer::append(const char* data, qsizetype size) {
    if (size <= 0)
        return;
    if (m_discarding) {
        const void* lf = std::memchr(data, '\n', size_t(size));
        if (!lf)
            return;
        const qsizetype skip = static_cast<const char*>(lf) - data + 1;
        m_discarding = false;
        data += skip;
        size -= skip;
        if (size <= 0)
            return;
    }
    if (m_sizeLimit > 0 && this->size() + size > m_sizeLimit) {
        // The rest of the line being cut must not pass for a reply later.
        clear();
        m_discarding = data[size - 1] != '\n';
        m_overflowed = true;
        return;
    }
    m_data.append(data, size);
    if (m_lineEnd < 0) {
        findLineEnd();
        if (m_lineEnd < 0 && this->size() > m_lineLimit) {
            clear();
            m_discarding = true;
            m_overflowed = true;
        }
    }
}

void ReceiveBuffer::clear() {
    m_data.clear();
    m_readPos = 0;
    m_lineEnd = -1;
    m_scanPos = 0;
}

void ReceiveBuffer::findLineEnd() {
    for (;;) {
        const qsizetype from = qMax(m_scanPos, m_readPos);
        const qsizetype index = m_data.indexOf('\n', from);
        if (index < 0) {
            m_lineEnd = -1;
            m_scanPos = m_data.size();
            return;
        }
        // A line that arrived whole can be overlong too: drop it like the others.
        if (index - m_readPos < m_lineLimit) {
            m_lineEnd = index;
            return;
        }
        m_readPos = index + 1;
        m_overflowed = true;
    }
}

QByteArray ReceiveBuffer::takeLine() {
    if (m_lineEnd < 0)
        return {};
    QByteArray line = m_data.mid(m_readPos, m_lineEnd - m_readPos + 1);
    m_readPos = m_lineEnd + 1;
    m_lineEnd = -1;
    compact();
    findLineEnd();
    return line;
}

QByteArray ReceiveBuffer::take(qsizetype n) {
    const qsizetype available = size();
    if (n <= 0 || n > available)
        n = available;
    QByteArray out = m_data.mid(m_readPos, n);
    m_readPos += n;
    m_lineEnd = -1;
    compact();
    findLineEnd();
    return out;
}

bool ReceiveBuffer::takeOverflow() {
    const bool was = m_overflowed;
    m_overflowed = false;
    return was;
}

void ReceiveBuffer::compact() {
    if (m_readPos == m_data.size()) {
        m_data.clear();
        m_readPos = 0;
        m_scanPos = 0;
        return;
    }
    // Drop the consumed prefix only when it outweighs the rest, so the copy
    // stays proportional to what was read.
    if (m_readPos > 64 * 1024 && m_readPos > m_data.size() / 2) {
        m_data.remove(0, m_readPos);
        m_scanPos = qMax<qsizetype>(0, m_scanPos - m_readPos);
        if (m_lineEnd >= 0)
            m_lineEnd -= m_readPos;
        m_readPos = 0;
    }
}
