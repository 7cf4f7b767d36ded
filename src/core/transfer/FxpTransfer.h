#pragma once

#include "app/Colour.h"
#include "app/SideState.h"

#include <QByteArray>
#include <QString>

#include <optional>

class App;
class FtpSession;
class Side;

// How one site-to-site file ended.
enum class FxpOutcome {
    Done,            // both servers confirmed it
    Skipped,         // a CWD was refused
    SkippedExisting, // the destination lists the name and "&Skip" is chosen
    Failed,          // refused or not confirmed; the run goes on
    Stopped,         // a session was lost or binary mode failed: the run ends
    NoDirectory,     // a side's current directory is not known
};

// One file from one server straight to the other: TYPE I on both, PASV to
// the listening server, PORT to the other, RETR and STOR, then both
// completion replies.
class FxpTransfer {
public:
    explicit FxpTransfer(App& app) : m_app(app) {}

    // nextInSameDirectories: a file between the same two directories
    // follows, so its PASV may go out while this file's size is checked.
    FxpOutcome FxpTransferFile(const QString& sourcePath, const QString& targetPath,
                               SideId sourceSide, bool nextInSameDirectories = false);
    // PASV to the passive side (or the reply it gave ahead, when nothing was
    // sent to it since), PORT to the active one with the passive side's own
    // address and the reply's port. The PORT reply, or nothing when the
    // passive side gave no port.
    QByteArray PassiveToActive(Side& passive, Side& active, bool* stopped);
    // The size the panes list for the name, right pane first; 0 when none.
    qint64 LookUpListedSize(const QString& name) const;

private:
    bool changeDirectory(Side& side, const QString& dir, bool leftDestination);
    bool binaryMode(Side& side, bool resendAfter226);
    FxpOutcome awaitCompletion(Side& source, Side& target);
    FxpOutcome refusedOrLost(Side& source, Side& target);
    // The size a server gives for a name in its current directory; none when
    // it does not answer SIZE with a number.
    std::optional<qint64> askSize(Side& side, const QString& name);
    // Empty when the target holds as many bytes as the source, or when no
    // size can be learnt; else why the file is not whole.
    QString checkArrivedWhole(Side& source, Side& target, const QString& sourceName,
                              const QString& targetName, bool passiveAhead);
    // Reads the reply to a PASV sent ahead and keeps a 227 for the next file.
    void keepPassiveAhead(FtpSession& session);
    // The kept 227 when it is the session's last word; empty otherwise.
    QByteArray takePassiveAhead(FtpSession& session);
    void stop(const QString& message);
    void log(const QString& text, Colour colour);

    App& m_app;
    // A PASV answered ahead of the file that needs it. Good only while
    // nothing else was written to that session since.
    struct PassiveAhead {
        const FtpSession* session = nullptr;
        quint64 writeCount = 0;
        QByteArray reply;
    };
    PassiveAhead m_passiveAhead;
};
