#include "transfer/FxpTransfer.h"

#include "app/App.h"
#include "app/DesktopServices.h"
#include "app/RemotePath.h"
#include "app/UserPrompts.h"
#include "net/FtpReplies.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"
#include "net/WireText.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <exception>
#include <utility>

using FtpReplies::IsErrorReply;
using FtpReplies::LineText;
using FtpReplies::ReplyCode;

namespace {

bool IsCompletion(const QByteArray& line) {
    return line.startsWith("226 ") || line.startsWith("250 ");
}

// Pumps events until either session has a whole line, either connection
// ends, or the deadline passes (never, while it is forever).
void WaitForEither(FtpSession& a, FtpSession& b, QDeadlineTimer deadline) {
    auto done = [&] {
        return a.receiveBuffer().hasLine() || b.receiveBuffer().hasLine() || !a.isConnected() ||
               !b.isConnected() || deadline.hasExpired();
    };
    if (done())
        return;
    QEventLoop loop;
    auto check = [&] {
        if (done())
            loop.quit();
    };
    for (FtpSession* s : {&a, &b}) {
        QObject::connect(s, &PumpingSocket::wakeUp, &loop, check);
        QObject::connect(s, &PumpingSocket::disconnected, &loop, check);
    }
    QTimer safety;
    QObject::connect(&safety, &QTimer::timeout, &loop, check);
    safety.start(100);
    loop.exec();
}

} // namespace

void FxpTransfer::log(const QString& text, Colour colour) {
    m_app.statusLog().AddStatusLine(text, colour);
}

void FxpTransfer::stop(const QString& message) {
    if (!message.isEmpty()) {
        log(message, clRed);
        const Settings& s = m_app.settings();
        PlayEventSound(m_app.services(), s.errorWav, SoundKind(s.errorSound));
    }
    m_app.runState().StopRequested = true;
}

bool FxpTransfer::changeDirectory(Side& side, const QString& dir, bool leftDestination) {
    if (side.currentPath() == dir)
        return true;
    side.session().ChangeDir(dir);
    const int code = side.session().replyNumber();
    // The two sides have always differed here: a left destination takes
    // any refusal, a right one only 550.
    return leftDestination ? code <= 399 : code != 550;
}

bool FxpTransfer::binaryMode(Side& side, bool resendAfter226) {
    FtpSession& session = side.session();
    // Asking again costs a round trip per file and changes nothing; a
    // completion left over from the file before is dropped before PASV.
    if (session.isImageType() && session.isConnected())
        return true;
    try {
        session.DoCommand(QStringLiteral("TYPE I"));
    } catch (const NetError&) {
        // The last reply decides.
    }
    QByteArray reply = session.lastReply();
    try {
        while (!reply.startsWith("200")) {
            reply = session.ReadReply();
            if (ReplyCode(reply) > 399 || !session.isConnected()) {
                stop(QString());
                return false;
            }
            // A completion left over from an earlier file: ask again.
            if (resendAfter226 && reply.startsWith("226")) {
                log(QStringLiteral("TYPE I"), side.statusColour());
                reply = session.Transaction("TYPE I");
            }
        }
    } catch (const NetError& e) {
        stop(e.message());
        return false;
    }
    return true;
}

void FxpTransfer::keepPassiveAhead(FtpSession& session) {
    m_passiveAhead = {};
    try {
        const QByteArray reply = session.ReadReply();
        if (reply.startsWith("227") && session.isConnected())
            m_passiveAhead = {&session, session.writeCount(), reply};
    } catch (const NetError&) {
        // The next file's own PASV meets whatever went wrong.
    }
}

QByteArray FxpTransfer::takePassiveAhead(FtpSession& session) {
    const PassiveAhead ahead = std::exchange(m_passiveAhead, {});
    // Any command since may have closed the listener: ask again then.
    if (ahead.session != &session || ahead.writeCount != session.writeCount() ||
        !session.isConnected())
        return QByteArray();
    return ahead.reply;
}

QByteArray FxpTransfer::PassiveToActive(Side& passive, Side& active, bool* stopped) {
    FtpSession& session = passive.session();
    QByteArray reply = takePassiveAhead(session);
    if (reply.isEmpty()) {
        session.DoCommand(QStringLiteral("PASV"));
        reply = session.lastReply();
    }
    try {
        while (!reply.startsWith("227")) {
            // A refusal ends the exchange; waiting on would never end.
            if (IsErrorReply(reply))
                return QByteArray();
            if (!session.isConnected()) {
                stop(QString());
                *stopped = true;
                return QByteArray();
            }
            reply = session.ReadReply();
        }
    } catch (const NetError& e) {
        stop(e.message());
        *stopped = true;
        return QByteArray();
    }
    const auto port = FtpReplies::PassivePort(reply);
    if (!port || *port == 0)
        return QByteArray();
    // The address the listening server was reached at, never the one its
    // reply names: a server behind NAT names one nobody can reach.
    QString host = passive.state().RemoteAddress;
    host.replace(QLatin1Char('.'), QLatin1Char(','));
    const QString command = QStringLiteral("PORT %1,%2,%3").arg(host).arg(*port >> 8).arg(*port & 0xFF);
    try {
        active.session().DoCommand(command);
    } catch (const NetError&) {
        m_app.services().beep();
        return QByteArray("425 PORT not sent");
    }
    return active.session().lastReply();
}

std::optional<qint64> FxpTransfer::askSize(Side& side, const QString& name) {
    const QString command = QStringLiteral("SIZE ") + name;
    log(command, side.statusColour());
    const QByteArray reply = side.session().Transaction(WireText::Encode(command));
    if (!reply.startsWith("213 "))
        return std::nullopt;
    bool ok = false;
    const qint64 size = reply.mid(4).trimmed().toLongLong(&ok);
    return ok && size >= 0 ? std::optional<qint64>(size) : std::nullopt;
}

QString FxpTransfer::checkArrivedWhole(Side& source, Side& target, const QString& sourceName,
                                       const QString& targetName, bool passiveAhead) {
    std::optional<qint64> expected;
    for (const DirEntry& e : source.listing().entries())
        if (e.kind == EntryKind::File && e.name == sourceName)
            expected = DigitsOnly(e.sizeText).toLongLong();
    // The next file's PASV goes to the source while the target counts this
    // one's bytes: a round trip less per file. Not when the source's listing
    // lacks the file: the source is asked for its size then, and a reply
    // given ahead serves only while nothing was written since.
    passiveAhead = passiveAhead && expected && source.session().isConnected();
    try {
        if (passiveAhead)
            source.session().SendCommand(QStringLiteral("PASV"));
    } catch (const NetError&) {
        // The copy is checked all the same; the next file meets the fault.
        passiveAhead = false;
    }
    // Both servers say 226 when the data connection between them is cut
    // short too: only the size the target holds tells.
    std::optional<qint64> arrived;
    std::exception_ptr lost;
    try {
        arrived = askSize(target, targetName);
    } catch (const NetError&) {
        lost = std::current_exception();
    }
    // Read in any case: a reply left unread would answer a later command.
    if (passiveAhead)
        keepPassiveAhead(source.session());
    if (lost)
        std::rethrow_exception(lost);
    if (!arrived)
        return QString();
    // A listing may be out of date: the source's own word decides.
    if (!expected || *expected != *arrived)
        expected = askSize(source, sourceName);
    if (!expected || *expected == *arrived)
        return QString();
    return QStringLiteral("%1 of %2 bytes arrived").arg(*arrived).arg(*expected);
}

FxpOutcome FxpTransfer::refusedOrLost(Side& source, Side& target) {
    // A 421 closes the session: the file is not done, and the run must
    // stop for the reconnect instead of dropping the entry as failed.
    for (Side* side : {&source, &target})
        if (side->session().isConnected() && side->session().lastReply().startsWith("421"))
            side->session().CloseSocket();
    if (!source.session().isConnected() || !target.session().isConnected()) {
        for (Side* side : {&source, &target})
            if (side->session().isConnected() && side->session().isInOperation())
                side->session().AbandonTransfer();
        stop(QString());
        return FxpOutcome::Stopped;
    }
    return FxpOutcome::Failed;
}

qint64 FxpTransfer::LookUpListedSize(const QString& name) const {
    for (SideId id : {SideId::Right, SideId::Left}) {
        for (const DirEntry& e : m_app.side(id).listing().entries())
            if (e.name == name)
                return DigitsOnly(e.sizeText).toLongLong();
    }
    return 0;
}

FxpOutcome FxpTransfer::awaitCompletion(Side& source, Side& target) {
    FtpSession& src = source.session();
    FtpSession& tgt = target.session();
    bool srcDone = false;
    bool tgtDone = false;
    QDeadlineTimer deadline = QDeadlineTimer::Forever;
    while (!srcDone || !tgtDone) {
        WaitForEither(src, tgt, deadline);
        if (!src.isConnected() || !tgt.isConnected()) {
            // The server still connected would wait for data that never comes.
            for (FtpSession* s : {&src, &tgt})
                if (s->isConnected())
                    s->AbandonTransfer();
            stop(QString());
            return FxpOutcome::Stopped;
        }
        if (deadline.hasExpired()) {
            Side& late = srcDone ? target : source;
            log(QStringLiteral("Transfer timed out: %1 did not confirm the file within %2 s")
                    .arg(late.headerText())
                    .arg(late.session().timeOut() / 1000),
                clRed);
            late.session().AbandonTransfer();
            return FxpOutcome::Failed;
        }
        for (auto [side, done] : {std::pair<Side*, bool*>{&source, &srcDone}, {&target, &tgtDone}}) {
            FtpSession& s = side->session();
            if (*done || !s.receiveBuffer().hasLine())
                continue;
            QByteArray line;
            try {
                line = s.ReadReply();
            } catch (const NetError& e) {
                stop(e.message());
                return FxpOutcome::Stopped;
            }
            if (IsErrorReply(line)) {
                // The other server's part ends too, or it would wait for a
                // connection that never comes.
                Side& other = side == &source ? target : source;
                if (!(side == &source ? tgtDone : srcDone))
                    other.session().AbandonTransfer();
                if (side == &target)
                    m_app.services().beep();
                return FxpOutcome::Failed;
            }
            // A multi-line reply ("226-" ... "226 ") completes at its last line.
            if (IsCompletion(s.replyLines().isEmpty() ? line : s.replyLines().last())) {
                *done = true;
                // The other's confirmation follows once the one data
                // connection has closed.
                const int timeOut = (side == &source ? tgt : src).timeOut();
                deadline = timeOut > 0 ? QDeadlineTimer(timeOut) : QDeadlineTimer::Forever;
            }
        }
    }
    return FxpOutcome::Done;
}

FxpOutcome FxpTransfer::FxpTransferFile(const QString& sourcePath, const QString& targetPath,
                                        SideId sourceId, bool nextInSameDirectories) {
    TransferRunState& run = m_app.runState();
    if (run.StopRequested)
        return FxpOutcome::Stopped;
    Side& source = m_app.side(sourceId);
    Side& target = m_app.side(OtherSide(sourceId));
    const bool leftDestination = target.isLeft();
    m_app.statusLog().setTransferContext((leftDestination ? QStringLiteral("<-  ")
                                                          : QStringLiteral("->  ")) +
                                         targetPath);
    const QString sourceName = FileNamePart(sourcePath);
    const QString targetName = FileNamePart(targetPath);
    if (source.currentPath().isEmpty() || target.currentPath().isEmpty()) {
        m_app.services().playSystemSound(SoundKind::Stop);
        m_app.prompts().information(QStringLiteral("Unable to determine Current directory"));
        return FxpOutcome::NoDirectory;
    }
    try {
        if (!changeDirectory(target, DirectoryPart(targetPath), leftDestination) ||
            !changeDirectory(source, DirectoryPart(sourcePath), leftDestination)) {
            log(QStringLiteral("File Skipped: ") + targetName, clMaroon);
            return FxpOutcome::Skipped;
        }
    } catch (const NetError& e) {
        stop(e.message());
        return FxpOutcome::Stopped;
    }
    if (m_app.settings().skipFile && !run.RetryCurrent) {
        for (const DirEntry& e : target.listing().entries()) {
            if (e.kind != EntryKind::Parent && e.name.compare(targetName, Qt::CaseInsensitive) == 0) {
                log(QStringLiteral("File Skipped: ") + targetName,
                    leftDestination ? clPurple : clMaroon);
                ++run.FilesSinceDirStart;
                return FxpOutcome::SkippedExisting;
            }
        }
    }
    run.RetryCurrent = false;
    if (!binaryMode(source, true) || !binaryMode(target, false))
        return FxpOutcome::Stopped;

    // Which server listens: the source, unless its site asks for the other way.
    bool sourceListens = source.state().FxpMethod == 0;
    const QString retr = QStringLiteral("RETR ") + sourceName;
    const QString stor = QStringLiteral("STOR ") + targetName;
    auto send = [this](Side& side, const QString& command) {
        log(command, side.statusColour());
        return side.session().Transaction(WireText::Encode(command));
    };
    QByteArray reply;
    bool stopped = false;
    try {
        reply = sourceListens ? PassiveToActive(source, target, &stopped)
                              : PassiveToActive(target, source, &stopped);
        if (!stopped && sourceListens && reply.startsWith("500")) {
            // The destination cannot connect out: it listens instead.
            sourceListens = false;
            reply = PassiveToActive(target, source, &stopped);
        }
        if (stopped)
            return FxpOutcome::Stopped;
        if (reply.isEmpty() || IsErrorReply(reply))
            return refusedOrLost(source, target);
        // The first of RETR and STOR goes to the server that got PORT, and
        // the second only once the first was accepted: a server that opens
        // its data connection at PORT drops data that arrives before its
        // STOR.
        reply = sourceListens ? send(target, stor) : send(source, retr);
        if (!IsErrorReply(reply))
            reply = sourceListens ? send(source, retr) : send(target, stor);
    } catch (const NetError& e) {
        stop(e.message());
        return FxpOutcome::Stopped;
    }
    if (IsErrorReply(reply))
        return refusedOrLost(source, target);

    run.ElapsedSeconds = 0;
    m_app.left().setStatusBarText(QStringLiteral("Transfering  ") + targetName);
    m_app.transferTimer().start();
    QElapsedTimer elapsed;
    elapsed.start();
    const FxpOutcome outcome = awaitCompletion(source, target);
    m_app.transferTimer().stop();
    if (outcome != FxpOutcome::Done)
        return outcome;
    // Taken now: a site lost during the checks below clears its listing and
    // header, and the copy is done all the same.
    const qint64 copyMs = elapsed.elapsed();
    const qint64 size = LookUpListedSize(sourceName);
    const QString targetSite = target.headerText();
    const QString sourceSite = source.headerText();
    QString notWhole;
    try {
        // Only the source listens for the next file unless its site asks
        // otherwise; a stop ends the run before it.
        const bool passiveAhead =
            nextInSameDirectories && source.state().FxpMethod == 0 && !run.StopRequested;
        notWhole = checkArrivedWhole(source, target, sourceName, targetName, passiveAhead);
    } catch (const NetError& e) {
        stop(e.message());
        return FxpOutcome::Stopped;
    }
    if (!notWhole.isEmpty()) {
        log(QStringLiteral("Transfer failed: %1: %2").arg(targetName, notWhole), clRed);
        return FxpOutcome::Failed;
    }

    log(FormatTransferDone(copyMs, size, sourceName, run.totals, QLocale()), clMaroon);
    ++run.FilesSinceDirStart;
    m_app.siteStats().RecordCopy(targetSite, sourceSite, size);

    m_app.setTitle(QString::fromLatin1(App::Title));
    m_app.transferTicker().UpdateTitle(true);
    m_app.left().setStatusBarText(QStringLiteral("Processing Next File"));
    m_app.right().setStatusBarText(QString());
    return FxpOutcome::Done;
}
