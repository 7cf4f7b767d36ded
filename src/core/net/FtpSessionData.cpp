// The session's data operations: a listing, a download and an upload over
// its own data connection, and the rules that decide whether they succeeded.
#include "net/FtpSession.h"

#include "net/NetErrors.h"
#include "net/TransferCheck.h"
#include "net/WireText.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

using namespace FtpReplies;

namespace {

// How long to listen for the server's answer after a transfer was cut short.
constexpr int AbortReplyWaitMs = 1500;

QString unableToWrite(const QFile& file) {
    return QStringLiteral("Unable to write the local file: ") + file.errorString();
}

} // namespace

void FtpSession::startDataOperation() {
    // One data operation at a time: a second one started from inside the
    // first one's wait would take its connection away.
    if (m_data)
        throw SocketError(
            QStringLiteral("Busy: a listing or transfer already runs on this session"));
    setCancelled(false);
    m_serverEndedTransfer = false;
    CheckConnection();
    drain();
    m_data = new PumpingSocket(this);
    m_data->setDataMode();
    m_data->setTimeOut(timeOut());
    connect(m_data, &PumpingSocket::packetReceived, this, &FtpSession::dataPacketReceived);
    connect(m_data, &PumpingSocket::packetSent, this, &FtpSession::dataPacketSent);
}

void FtpSession::beginDataPhase() {
    m_inDataPhase = true;
    Q_EMIT transactionStart();
    // A refusal that came in the same packet as the 1xx is already here.
    dataReceived();
}

bool FtpSession::acceptData() {
    try {
        m_data->Accept();
        return true;
    } catch (const TimeOutError&) {
        throw;
    } catch (const SocketError&) {
        // Cancelled by the user or by the server's refusal: the transfer's
        // end reports what the server said.
        if (transferCancelled())
            return false;
        throw;
    }
}

void FtpSession::abandonDataPhase() {
    if (m_inDataPhase) {
        m_inDataPhase = false;
        Q_EMIT transactionStop();
        // The server still owes the transfer's reply; take it now so it is
        // not read as the answer to the next command.
        if (m_data)
            m_data->CloseSocket();
        waitForAbortReply();
    }
    releaseDataConnection();
}

void FtpSession::releaseDataConnection() {
    if (!m_data)
        return;
    PumpingSocket* data = m_data;
    m_data = nullptr;
    data->CloseSocket();
    data->deleteLater();
}

bool FtpSession::transferCancelled() const {
    return isCancelled() || m_serverEndedTransfer || (m_data && m_data->isCancelled());
}

qint64 FtpSession::remoteSize(const QString& remote) {
    const QString command = QStringLiteral("SIZE ") + remote;
    reportStatus(command, 1);
    Transaction(commandBytes(command));
    return SizeReply(lastReply());
}

bool FtpSession::openDataConnection(bool passive, const QHostAddress& address, CommandKind kind,
                                    qint64 restartAt) {
    // Appending a whole file to a partial one would corrupt it, so a resume
    // goes no further unless the server accepted the restart point.
    if (restartAt > 0) {
        const CommandKind restartKind =
            kind == CommandKind::Upload ? CommandKind::UploadRestore : CommandKind::DownloadRestore;
        if (!sendAndCheck(QStringLiteral("REST %1").arg(restartAt), 400, restartKind, true))
            return false;
        if (replyNumber() != 350) {
            fail(restartKind, false);
            return false;
        }
    }
    if (!passive) {
        m_data->setPort(0);
        // Listen where the server reaches us: the control connection's address.
        m_data->Listen(localAddress());
        m_data->setAcceptFrom(remoteAddress());
        return sendAndCheck(QStringLiteral("PORT ") + m_data->PortArgument(localAddress()), 301,
                            kind, false);
    }
    // Sent as part of the transfer: a user's Abort stays in force and a
    // refusal is the transfer's failure.
    if (!sendAndCheck(QStringLiteral("PASV"), 400, kind, false))
        return false;
    while (!lastReply().startsWith("227")) {
        if (IsErrorReply(lastReply())) {
            fail(kind, false);
            return false;
        }
        ReadReply();
    }
    const auto dataPort = PassivePort(lastReply());
    if (!dataPort)
        throw FtpException(QStringLiteral("Unrecognized passive mode reply: ") + LastReplyText());
    // Without an address given, the data comes from where the control does.
    m_data->setHost((address.isNull() ? remoteAddress() : address).toString());
    m_data->setPort(*dataPort);
    m_data->Connect();
    return true;
}

void FtpSession::AbandonTransfer() {
    if (!isConnected())
        return;
    reportStatus(QStringLiteral("ABOR"), 1);
    Writeln("ABOR");
    waitForAbortReply();
}

void FtpSession::waitForAbortReply() {
    const QDeadlineTimer deadline(AbortReplyWaitMs);
    while (isConnected() && !deadline.hasExpired()) {
        pumpUntil(
            [&] { return receiveBuffer().hasLine() || deadline.hasExpired() || !isConnected(); });
        if (!receiveBuffer().hasLine())
            break;
        const QByteArray line = receiveBuffer().takeLine();
        reportStatus(line, 1);
        if (line.startsWith('2') && !OpensMultiLine(line))
            break;
    }
}

void FtpSession::finishTransfer(const TransferEnd& end) {
    m_inDataPhase = false;
    Q_EMIT transactionStop();
    if (m_data)
        m_data->CloseSocket();
    reportStatus(end.countText, 1);
    if (end.cancelled) {
        // The user's Abort: a server still sending is told to stop. The
        // cancel has done its work; it must not cut the ABOR short.
        setCancelled(false);
        AbandonTransfer();
        releaseDataConnection();
        throw SocketAbortError(QStringLiteral("Socket send aborted"));
    }
    releaseDataConnection();
    try {
        ReadReply();
    } catch (const NetError&) {
        if (!end.localFailure.isEmpty())
            throw TransferError(end.localFailure);
        throw;
    }
    if (!end.localFailure.isEmpty())
        throw TransferError(end.localFailure);
    if (IsErrorReply(lastReply())) {
        fail(end.kind, false);
        return;
    }
    if (!end.verdict.isEmpty())
        throw TransferError(end.verdict);
    Q_EMIT success(end.kind);
}

void FtpSession::List(const QString& argument) {
    startDataOperation();
    m_announcedSize = 0;
    try {
        if (ParseList && Vendor == VendorUnknown) {
            reportStatus(QStringLiteral("SYST"), 1);
            Transaction("SYST");
            Vendor = VendorFromSyst(lastReply());
        }
        if (!openDataConnection(false, QHostAddress(), CommandKind::List, 0) ||
            !sendAndCheck(QStringLiteral("LIST") + argument, 301, CommandKind::List, true)) {
            releaseDataConnection();
            return;
        }
        m_announcedSize = AnnouncedSize(lastReply());
        beginDataPhase();
        if (acceptData()) {
            for (;;) {
                QByteArray line = m_data->ReadLn();
                if (line.isEmpty())
                    break;
                while (line.endsWith('\n') || line.endsWith('\r'))
                    line.chop(1);
                Q_EMIT listItem(WireText::Decode(line));
            }
        }
    } catch (const NetError&) {
        abandonDataPhase();
        throw;
    }
    TransferCheck::DownloadFacts facts;
    facts.received = m_data->bytesReceived();
    facts.reset = m_data->closedByReset();
    finishTransfer({CommandKind::List, isCancelled(),
                    QStringLiteral("Received %1 Bytes").arg(facts.received), QString(),
                    TransferCheck::JudgeDownload(facts).failure});
}

void FtpSession::Download(const QString& remote, const QString& local, bool resume, bool passive,
                          const QHostAddress& address) {
    startDataOperation();
    m_announcedSize = 0;
    TransferCheck::DownloadFacts facts;
    facts.restartAt = resume ? QFileInfo(local).size() : 0;
    facts.binary = m_imageType;
    QFile file(local);
    QString localFailure;
    try {
        if (facts.restartAt > 0) {
            facts.remoteSize = remoteSize(remote);
            const QString refusal = TransferCheck::ResumeRefusal(facts);
            if (!refusal.isEmpty())
                throw TransferError(refusal);
        }
        if (!openDataConnection(passive, address, CommandKind::Download, facts.restartAt) ||
            !sendAndCheck(QStringLiteral("RETR ") + remote, 301, CommandKind::Download, false)) {
            releaseDataConnection();
            return;
        }
        for (const QByteArray& line : m_replyLines) {
            m_announcedSize = AnnouncedSize(line);
            if (m_announcedSize > 0)
                break;
        }
        facts.announced = m_announcedSize;
        beginDataPhase();
        // Checked before the file is touched: appending cannot be right.
        localFailure = TransferCheck::ResumeRefusal(facts);
        if (localFailure.isEmpty() && (passive || acceptData())) {
            // Opened only now, so a refused RETR never truncates an existing file.
            const QIODevice::OpenMode mode =
                QIODevice::WriteOnly | QIODevice::Unbuffered |
                (facts.restartAt > 0 ? QIODevice::Append : QIODevice::Truncate);
            if (!file.open(mode)) {
                localFailure = unableToWrite(file);
            } else {
                reportStatus(QStringLiteral("CaptureFile"), 8);
                try {
                    m_data->CaptureToDevice(&file);
                } catch (const SocketAbortError&) {
                    // The user's or the server's: the end tells them apart.
                } catch (const TimeOutError&) {
                    throw;
                } catch (const SocketError&) {
                    localFailure = unableToWrite(file);
                }
                file.close();
                if (localFailure.isEmpty() && file.error() != QFileDevice::NoError)
                    localFailure = unableToWrite(file);
            }
        }
    } catch (const NetError&) {
        abandonDataPhase();
        throw;
    }
    facts.received = m_data->bytesReceived();
    facts.reset = m_data->closedByReset();
    const TransferCheck::Verdict verdict = TransferCheck::JudgeDownload(facts);
    if (verdict.restorePartial && localFailure.isEmpty() && !isCancelled())
        QFile::resize(local, facts.restartAt);
    finishTransfer({CommandKind::Download, isCancelled(),
                    QStringLiteral("Received %1 Bytes").arg(facts.received), localFailure,
                    verdict.failure});
}

void FtpSession::Upload(const QString& local, const QString& remote, bool passive,
                        const QHostAddress& address) {
    QFile file(local);
    if (!file.open(QIODevice::ReadOnly))
        throw SocketError(QStringLiteral("Unable to read the local file: ") + file.errorString());
    startDataOperation();
    m_announcedSize = file.size();
    QString localFailure;
    try {
        if (!openDataConnection(passive, address, CommandKind::Upload, 0) ||
            !sendAndCheck(QStringLiteral("STOR ") + remote, 301, CommandKind::Upload, false)) {
            releaseDataConnection();
            return;
        }
        beginDataPhase();
        if (passive || acceptData()) {
            reportStatus(QStringLiteral("SendFile"), 8);
            try {
                m_data->SendFromDevice(&file);
                m_data->FinishSending();
            } catch (const SocketAbortError&) {
                // The user's or the server's: the end tells them apart.
            } catch (const TimeOutError&) {
                throw;
            } catch (const SocketError& e) {
                // Whatever the server answers, a broken stream is no upload.
                const QString shortfall =
                    TransferCheck::UploadShortfall(m_data->bytesSent(), file.size());
                localFailure = shortfall.isEmpty()
                                   ? QStringLiteral("Upload failed: ") + e.message()
                                   : shortfall + QStringLiteral(" (") + e.message() + QLatin1Char(')');
            }
        }
    } catch (const NetError&) {
        abandonDataPhase();
        throw;
    }
    const qint64 sent = m_data->bytesSent();
    if (localFailure.isEmpty() && !transferCancelled())
        localFailure = TransferCheck::UploadShortfall(sent, file.size());
    finishTransfer({CommandKind::Upload, isCancelled(), QStringLiteral("Sent %1 Bytes").arg(sent),
                    localFailure, QString()});
}
