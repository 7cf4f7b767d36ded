#pragma once

#include <QAbstractSocket>
#include <QString>

// Socket failures are numbered as the classic sockets API numbers them, so
// the messages users and logs know ("10061:Connection refused") stay stable.
namespace SocketErrorText {

constexpr int WouldBlock = 10035;

// "number:message", or "Unknown Error No. number" when the number is unknown.
QString Describe(int number);
// The text alone, empty when the number is not in the table.
QString Message(int number);
// Maps Qt's socket error to the classic number.
int NumberFor(QAbstractSocket::SocketError error);

} // namespace SocketErrorText
