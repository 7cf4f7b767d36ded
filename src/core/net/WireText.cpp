#include "net/WireText.h"

namespace WireText {

namespace {

constexpr char16_t EscapeBase = 0xDC00;

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at data[i], or 0 when it is not valid.
int validSequenceLength(const unsigned char* data, int i, int size, char32_t& codePoint) {
    const unsigned char c = data[i];
    int length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if (c < 0x80) {
        codePoint = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        length = 2;
        cp = c & 0x1F;
        minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3;
        cp = c & 0x0F;
        minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4;
        cp = c & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > size)
        return 0;
    for (int k = 1; k < length; ++k) {
        if (!isContinuation(data[i + k]))
            return 0;
        cp = (cp << 6) | (data[i + k] & 0x3F);
    }
    // Overlong forms, surrogates and out-of-range values are not text.
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    codePoint = cp;
    return length;
}

} // namespace

QString Decode(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const int size = int(bytes.size());
    QString out;
    out.reserve(size);
    int i = 0;
    while (i < size) {
        if (data[i] < 0x80) {
            out.append(QChar(char16_t(data[i])));
            ++i;
            continue;
        }
        char32_t cp = 0;
        const int length = validSequenceLength(data, i, size, cp);
        if (length == 0) {
            out.append(QChar(char16_t(EscapeBase + data[i])));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out.append(QChar(QChar::highSurrogate(cp)));
            out.append(QChar(QChar::lowSurrogate(cp)));
        } else {
            out.append(QChar(char16_t(cp)));
        }
        i += length;
    }
    return out;
}

QByteArray Encode(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    const int size = int(text.size());
    for (int i = 0; i < size; ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < 0x80) {
            out.append(char(u));
        } else if (u >= EscapeBase + 0x80 && u <= EscapeBase + 0xFF) {
            out.append(char(u - EscapeBase));
        } else if (QChar::isHighSurrogate(u) && i + 1 < size &&
                   QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            out.append(QString(text.mid(i, 2)).toUtf8());
            ++i;
        } else if (QChar::isSurrogate(u)) {
            out.append('?');
        } else {
            out.append(QString(QChar(u)).toUtf8());
        }
    }
    return out;
}

} // namespace WireText
