#include "services/IdentReply.h"

namespace {

QByteArray WithoutLineBreaks(QByteArray text) {
    text.removeIf([](char c) { return c == '\r' || c == '\n'; });
    return text;
}

} // namespace

QByteArray IdentReply(const QByteArray& request, const QString& system, const QString& user) {
    return WithoutLineBreaks(request.left(IdentRequestLimit)) + " : USERID : " +
           WithoutLineBreaks(system.toUtf8()) + " : " + WithoutLineBreaks(user.toUtf8()) + "\r\n";
}
