#pragma once

#include <QString>

#include <stdexcept>

// Failures of waiting network calls travel as exceptions carrying the text
// the user sees; callers catch them where they wait and report the text.
class NetError : public std::runtime_error {
public:
    explicit NetError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }
    // The class name written to the error log for errors nobody caught.
    virtual const char* className() const { return "NetError"; }

private:
    QString m_message;
};

// A socket call failed: lookup, connect, accept, a socket error.
class SocketError : public NetError {
public:
    using NetError::NetError;
    const char* className() const override { return "ESockError"; }
};

// A wait that ran past the session's time-out: no reply, no data, no
// data connection. The message says which.
class TimeOutError : public SocketError {
public:
    using SocketError::SocketError;
};

// A transfer ended but what arrived is not the whole file.
class TransferError : public NetError {
public:
    using NetError::NetError;
    const char* className() const override { return "ETransferError"; }
};

// The message of a reply wait that the user aborted.
inline constexpr char ReadAbortedText[] = "Socket readln aborted";

// A send or a transfer was cancelled while it waited.
class SocketAbortError : public NetError {
public:
    using NetError::NetError;
    const char* className() const override { return "EAbortError"; }
};

// The server refused a command that the caller did not handle; the message
// is the server's reply line.
class FtpException : public NetError {
public:
    using NetError::NetError;
    const char* className() const override { return "FTPException"; }
};

// An operation needed a connection and there was none.
class NotConnectedError : public NetError {
public:
    NotConnectedError() : NetError(QStringLiteral("Not Connected")) {}
    const char* className() const override { return "Exception"; }
};
