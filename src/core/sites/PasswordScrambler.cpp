#include "sites/PasswordScrambler.h"

#include <QRandomGenerator>
#include <QStringDecoder>

namespace {

constexpr char Key[] = "Qm47rT2xWp9LkZ3vN8bYc5HdJ6fG";
constexpr int KeyLength = sizeof(Key) - 1;

// Positions count from 1 and advance before each use.
int NextKeyPosition(int position) {
    return position % KeyLength + 1;
}

int KeyAt(int position) {
    return uchar(Key[position - 1]);
}

void AppendHex(QString& out, int value) {
    static const char Digits[] = "0123456789ABCDEF";
    out += QLatin1Char(Digits[(value >> 4) & 0xF]);
    out += QLatin1Char(Digits[value & 0xF]);
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

// Older files scrambled single-byte (Latin-1) text; those bytes are rarely
// valid UTF-8, so they still come back readable.
QString TextFromBytes(const QByteArray& bytes) {
    // A leading U+FEFF belongs to the text; it is no byte order mark.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

} // namespace

namespace PasswordScrambler {

QString Scramble(const QString& text, int start) {
    if (text.isEmpty())
        return {};
    const QByteArray bytes = text.toUtf8();
    QString out;
    int prev = start & 0xFF;
    AppendHex(out, prev);
    int position = 0;
    // UTF-8 never holds the byte 0xFF, the one byte that would not come back
    // after an output byte of 0xFF.
    for (const char c : bytes) {
        const int v = (uchar(c) + prev) % 255;
        position = NextKeyPosition(position);
        prev = v ^ KeyAt(position);
        AppendHex(out, prev);
    }
    return out;
}

std::optional<QString> Restore(const QString& scrambled) {
    if (scrambled.isEmpty())
        return QString();
    if (scrambled.size() % 2 != 0)
        return std::nullopt;
    QByteArray bytes;
    int prev = -1;
    int position = 0;
    for (qsizetype i = 0; i < scrambled.size(); i += 2) {
        const int high = HexDigit(scrambled[i]);
        const int low = HexDigit(scrambled[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        const int cur = high * 16 + low;
        if (prev >= 0) {
            position = NextKeyPosition(position);
            const int v = KeyAt(position) ^ cur;
            bytes += char(prev >= v ? v + 255 - prev : v - prev);
        }
        prev = cur;
    }
    return TextFromBytes(bytes);
}

} // namespace PasswordScrambler

QString ScramblePassword(char mode, const QString& text) {
    if (mode == 'E')
        return PasswordScrambler::Scramble(text, int(QRandomGenerator::global()->bounded(256)));
    if (mode == 'D')
        return PasswordScrambler::Restore(text).value_or(QString());
    return {};
}
