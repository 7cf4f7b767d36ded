#pragma once

#include <QByteArray>
#include <QString>

// Servers send names in whatever bytes their file system holds: UTF-8 on most,
// Latin-1 or worse on some. Names must go back byte for byte (RETR, CWD, DELE),
// so decoding is lossless: valid UTF-8 becomes text, every other byte becomes
// the lone surrogate U+DC00+byte, which encoding turns back into that byte.
namespace WireText {

QString Decode(const QByteArray& bytes);
QByteArray Encode(const QString& text);

} // namespace WireText
