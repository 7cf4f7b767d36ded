#pragma once

#include "net/CommandKind.h"
#include "net/FtpReplies.h"
#include "net/PumpingSocket.h"

#include <QDeadlineTimer>
#include <QPointer>

#include <functional>

// The client side of one FTP control connection: login, commands with their
// outcome events, directory commands, and a listing, download or upload over
// its own data connection. Site-to-site transfers use DoCommand on two of these.
class FtpSession : public PumpingSocket {
    Q_OBJECT
public:
    enum class TransferType { Ascii = 1, Image = 2, Local8 = 3 };

    // The longest command line we send, without its CR LF.
    static constexpr qsizetype MaxCommandBytes = 16383;

    explicit FtpSession(QObject* parent = nullptr);
    ~FtpSession() override;

    QString UserID;
    QString Password;
    int Vendor = FtpReplies::VendorUnknown;
    bool ParseList = false;

    // Return true when the failure was handled; unhandled failures throw.
    void setFailureHandler(std::function<bool(CommandKind)> handler) {
        m_failureHandler = std::move(handler);
    }
    // Called when the user name or password is empty at login.
    void setAuthenticationNeededHandler(std::function<bool()> handler) {
        m_authenticationNeeded = std::move(handler);
    }

    QString LastReplyText() const { return FtpReplies::LineText(lastReply()); }
    qint64 dataBytesReceived() const { return m_data ? m_data->bytesReceived() : 0; }
    qint64 dataBytesSent() const { return m_data ? m_data->bytesSent() : 0; }
    // Size the server announced for the running transfer, 0 when none.
    qint64 announcedSize() const { return m_announcedSize; }
    // True once this login's server accepted TYPE I and no other type since.
    bool isImageType() const { return m_imageType; }

    void Connect() override;
    void Disconnect();
    void DoCommand(const QString& text);
    // Writes the command and returns at once, so that another server can be
    // asked something meanwhile; ReadReply reads its reply. Until then the
    // session is in operation: no other command may take that reply.
    void SendCommand(const QString& text);
    void ChangeDir(const QString& path);
    void MakeDir(const QString& name);
    void Delete(const QString& name);
    void RemoveDir(const QString& name);
    void Rename(const QString& from, const QString& to);
    QString CurrentDir();
    void Mode(TransferType type);
    void List(const QString& argument);
    void Download(const QString& remote, const QString& local, bool resume, bool passive,
                  const QHostAddress& address);
    void Upload(const QString& local, const QString& remote, bool passive,
                const QHostAddress& address);
    void Abort() override;
    // Ends a transfer whose data connection we closed early: ABOR, then the
    // server's closing reply, within a short bound.
    void AbandonTransfer();
    // A reply, data connection or transfer wait is under way: a command sent
    // now would read another command's reply.
    bool isInOperation() const {
        return (m_replyOwed && isConnected()) || isWaiting() || m_inDataPhase ||
               (m_data && m_data->isWaiting());
    }

    // One reply: its first line plus, for "ddd-", every line up to "ddd ",
    // each reported. Bounded by TimeOut; after a time-out the session is
    // closed. The site-to-site completion wait passes its own deadline.
    QByteArray ReadReply();
    QByteArray ReadReply(QDeadlineTimer deadline);
    // Every line of the last reply read by a transaction, first line first.
    const QList<QByteArray>& replyLines() const { return m_replyLines; }
    QByteArray Transaction(const QByteArray& command) override;

Q_SIGNALS:
    void success(CommandKind kind);
    void unsupportedFunction(CommandKind kind);
    void listItem(const QString& line);
    void transactionStart();
    void transactionStop();
    // Progress of the data connection (file or listing data).
    void dataPacketReceived();
    void dataPacketSent();

protected:
    void dataReceived() override;
    void socketConnected() override {}

private:
    // What a transfer's end needs to decide between success and failure.
    struct TransferEnd {
        CommandKind kind;
        bool cancelled;       // by the user: the wait was aborted
        QString countText;    // "Received n Bytes"
        QString localFailure; // found on our side: reported whatever the server says
        QString verdict;      // what arrived is not whole
    };

    void login();
    QByteArray replyLine(QDeadlineTimer deadline);
    // Shows lines nobody waited for; a 421 among them closes the session.
    void drain();
    // Ends a refused login: connectionFailed, connection closed, reply raised.
    [[noreturn]] void refuseLogin();
    // The command as bytes; refuses line breaks, NUL bytes and overlong text.
    static QByteArray commandBytes(const QString& text);
    // What every command does before it is written: the wire bytes, a
    // connection, the status line, and lines nobody waited for shown.
    QByteArray beginCommand(const QString& text);
    // Checks, drains and creates the data connection of a list or transfer.
    void startDataOperation();
    void beginDataPhase();
    // Waits for the server's data connection; false when cancelled meanwhile.
    bool acceptData();
    // Ends the data phase after a failure: stop event, the server's late
    // reply taken, connection released.
    void abandonDataPhase();
    // The remote file's size from SIZE, -1 when the server gives none.
    qint64 remoteSize(const QString& remote);
    // Runs the failure path; returns normally only when a handler took it.
    void fail(CommandKind kind, bool unsupportedToo);
    bool sendAndCheck(const QString& command, int failLow, CommandKind kind, bool unsupportedToo);
    bool openDataConnection(bool passive, const QHostAddress& address, CommandKind kind,
                            qint64 restartAt);
    void finishTransfer(const TransferEnd& end);
    void waitForAbortReply();
    void releaseDataConnection();
    bool transferCancelled() const;

    std::function<bool(CommandKind)> m_failureHandler;
    std::function<bool()> m_authenticationNeeded;
    QPointer<PumpingSocket> m_data;
    qint64 m_announcedSize = 0;
    bool m_inDataPhase = false;
    bool m_serverEndedTransfer = false;
    bool m_imageType = false;
    bool m_replyOwed = false;
    QList<QByteArray> m_replyLines;
};
