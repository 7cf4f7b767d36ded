#pragma once

#include <QByteArray>

// Bytes received on a connection and not read yet. Lines are taken from the
// front; the consumed prefix is dropped in one move once it is large, so
// reading many short lines does not copy the remainder every time.
//
// A line without a line feed cannot grow the buffer without bound: once the
// unread data holds more than the limit and no line feed, that data is thrown
// away up to the next line feed and the overflow is reported once.
class ReceiveBuffer {
public:
    static constexpr qsizetype DefaultLineLimit = 1024 * 1024;

    void append(const char* data, qsizetype size);
    void append(const QByteArray& data) { append(data.constData(), data.size()); }
    void clear();

    qsizetype size() const { return m_data.size() - m_readPos; }
    bool isEmpty() const { return size() == 0; }
    bool hasLine() const { return m_lineEnd >= 0; }

    // The next line with its LF (and CR), or empty when no full line is there.
    QByteArray takeLine();
    // Up to n bytes from the front; n <= 0 takes everything.
    QByteArray take(qsizetype n);
    // The unread bytes, without consuming them.
    QByteArray peek(qsizetype n) const { return m_data.mid(m_readPos, n); }

    // True once after an overlong line was discarded.
    bool takeOverflow();
    bool overflowPending() const { return m_overflowed; }
    void setLineLimit(qsizetype limit) { m_lineLimit = limit; }
    // Unread data beyond this is thrown away too (0 = no limit); for control
    // connections, where nobody may read for a long time.
    void setSizeLimit(qsizetype limit) { m_sizeLimit = limit; }

private:
    void findLineEnd();
    void compact();

    QByteArray m_data;
    qsizetype m_readPos = 0;
    qsizetype m_lineEnd = -1; // index of the first LF in unread data, -1 when none
    qsizetype m_scanPos = 0;  // no LF lies before this index
    qsizetype m_lineLimit = DefaultLineLimit;
    qsizetype m_sizeLimit = 0;
    bool m_discarding = false; // dropping the rest of an overlong line
    bool m_overflowed = false;
};
