#pragma once

#include <QByteArray>
#include <QString>

// A query is read once, at most this many bytes; the rest is never answered.
constexpr int IdentRequestLimit = 255;

// The one line an ident query gets back: the query as sent, without its line
// end, then " : USERID : " + system + " : " + user and CR LF. Every CR and LF
// of the query is dropped, not only the line end, so no query can make the
// reply hold a second line.
QByteArray IdentReply(const QByteArray& request, const QString& system, const QString& user);
