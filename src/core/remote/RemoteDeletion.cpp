#include "remote/RemoteDeletion.h"

#include "app/App.h"
#include "app/DesktopServices.h"
#include "app/RemotePath.h"
#include "app/UserPrompts.h"
#include "net/FtpReplies.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"
#include "remote/RemoteFileOps.h"
#include "transfer/QueueRunner.h"

namespace {

// Deeper than any real tree: a server that lists a directory inside itself
// would be followed without end.
constexpr qsizetype MaxDepth = 128;

QString WithoutTrailingSeparator(QString path) {
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}

bool SamePath(const QString& a, const QString& b) {
    return WithoutTrailingSeparator(a) == WithoutTrailingSeparator(b);
}

} // namespace

void RemoteDeletion::log(const QString& text, Colour colour) {
    m_app.statusLog().AddStatusLine(text, colour);
}

void RemoteDeletion::stop(const QString& why) {
    log(why, clRed);
    m_app.runState().StopRequested = true;
}

void RemoteDeletion::Delete1Click(SideId id, bool fromTree) {
    Side& side = m_app.side(id);
    if (side.state().Busy || !side.session().isConnected())
        return;
    m_app.services().playSystemSound(SoundKind::Question);
    if (!m_app.prompts().confirm(QStringLiteral("Delete selected files, Are you sure")))
        return;
    m_queue.setShown(true);
    side.state().Busy = true;
    try {
        DeleteItems(side, fromTree);
    } catch (const NetError& e) {
        // A lost session or a wait that failed: what is left stays.
        log(QStringLiteral("Delete stopped: ") + e.message(), clRed);
        m_app.queueRunner().ActionStopped(false);
    }
    side.state().Busy = false;
    m_queue.setShown(false);
}

bool RemoteDeletion::DeleteItems(Side& side, bool fromTree) {
    m_app.queueRunner().setStopButtons(true);
    m_app.runState().StopRequested = false;
    m_queue.clear();
    m_lastListing.clear();
    m_listings = 0;
    QString returnPath;
    if (!collect(side, fromTree, returnPath)) {
        m_app.queueRunner().setStopButtons(false);
        return false;
    }
    if (m_app.settings().deleteMethod) {
        nonRecursive(side);
    } else if (!recursive(side)) {
        return false;
    }
    if (m_app.runState().StopRequested)
        return false;
    m_app.queueRunner().setStopButtons(false);
    side.session().ChangeDir(returnPath);
    if (m_app.cacheDirectories())
        m_app.listing().RefreshDirectory(side.id(), false);
    return true;
}

QString RemoteDeletion::currentDirectory(Side& side) {
    QString path = side.currentPath();
    for (int attempt = 0; attempt < 2 && path.isEmpty(); ++attempt)
        path = side.session().CurrentDir();
    return path.isEmpty() ? QString() : EnsureTrailingSeparator(path);
}

bool RemoteDeletion::enqueue(const QString& directory, const DirEntry& entry, bool atTop) {
    if (!IsPlainName(entry.name)) {
        log(RefusedNameLine(entry.name), clRed);
        return false;
    }
    const DeleteItem item{directory + entry.name, entry.kind};
    if (atTop)
        m_queue.prepend(item);
    else
        m_queue.append(item);
    return true;
}

bool RemoteDeletion::collect(Side& side, bool fromTree, QString& returnPath) {
    if (fromTree) {
        const QModelIndex node = side.treeSelection().currentIndex();
        // The root is the server itself.
        if (!node.isValid() || !node.parent().isValid())
            return false;
        const QString path = side.tree().NodePath(node);
        returnPath = side.tree().NodePath(node.parent());
        if (!enterFresh(side, path)) {
            log(QStringLiteral("Delete stopped: cannot enter ") + path, clRed);
            return false;
        }
        const QString cur = currentDirectory(side);
        for (const DirEntry& entry : side.listing().entries())
            if (entry.kind != EntryKind::Parent && entry.name != u"." && entry.name != u"..")
                enqueue(cur, entry, false);
        m_queue.append({path, EntryKind::Directory});
        return true;
    }
    const QString cur = currentDirectory(side);
    if (cur.isEmpty()) {
        m_app.prompts().error(QStringLiteral("Unable to determine Current directory"));
        return false;
    }
    returnPath = cur;
    for (int row : side.selectedRows()) {
        const DirEntry& entry = side.listing().entry(row);
        if (entry.kind != EntryKind::Parent)
            enqueue(cur, entry, false);
    }
    return true;
}

bool RemoteDeletion::enterFresh(Side& side, const QString& dir) {
    // A cached listing would show what was deleted meanwhile.
    side.state().SkipRefreshOnCwd = true;
    side.session().ChangeDir(dir);
    side.state().SkipRefreshOnCwd = false;
    if (FtpReplies::IsErrorReply(side.session().lastReply()))
        return false;
    m_app.listing().RefreshDirectory(side.id(), false);
    ++m_listings;
    // Elsewhere, the listing would name another directory's entries.
    return SamePath(side.currentPath(), dir);
}

QStringList RemoteDeletion::listedNames(Side& side) const {
    QStringList names;
    for (const DirEntry& entry : side.listing().entries())
        if (entry.kind != EntryKind::Parent && entry.name != u"." && entry.name != u"..")
            names << entry.name;
    return names;
}

void RemoteDeletion::removeDirectory(Side& side, const QString& path) {
    FtpSession& session = side.session();
    // A server may refuse to remove the directory it stands in.
    if (SamePath(side.currentPath(), path)) {
        session.DoCommand(QStringLiteral("CDUP"));
        if (!FtpReplies::IsErrorReply(session.lastReply()))
            side.setCurrentPath(DirectoryPart(WithoutTrailingSeparator(path)));
    }
    session.RemoveDir(path);
    RemoteFileOps::RemoveTreeNode(side, path);
}

void RemoteDeletion::nonRecursive(Side& side) {
    TransferRunState& run = m_app.runState();
    for (int row = m_queue.count() - 1; row >= 0; --row) {
        const DeleteItem item = m_queue.item(row);
        if (item.isFile()) {
            if (run.StopRequested) {
                m_app.queueRunner().ActionStopped(false);
                return;
            }
            side.session().Delete(item.path);
        } else {
            removeDirectory(side, item.path);
        }
        m_queue.removeAt(row);
    }
}

bool RemoteDeletion::filesPass(Side& side, bool stopOnRefusal) {
    TransferRunState& run = m_app.runState();
    for (int row = m_queue.count() - 1; row >= 0; --row) {
        if (row >= m_queue.count() || !m_queue.item(row).isFile())
            continue;
        if (run.StopRequested) {
            m_app.queueRunner().ActionStopped(false);
            return false;
        }
        side.session().Delete(m_queue.item(row).path);
        if (stopOnRefusal && side.session().lastReply().startsWith('5'))
            run.StopRequested = true;
        m_queue.removeAt(row);
    }
    return true;
}

bool RemoteDeletion::recursive(Side& side) {
    TransferRunState& run = m_app.runState();
    while (!m_queue.isEmpty()) {
        if (run.StopRequested) {
            m_app.queueRunner().ActionStopped(false);
            return false;
        }
        if (!filesPass(side, true))
            return false;
        if (m_queue.isEmpty())
            break;
        const QString dir = m_queue.item(0).path;
        if (dir.count(QLatin1Char('/')) + dir.count(QLatin1Char('\\')) > MaxDepth) {
            stop(QStringLiteral("Delete stopped: ") + dir + QStringLiteral(" is nested too deep"));
            continue;
        }
        if (m_listings >= m_listingLimit) {
            stop(QStringLiteral("Delete stopped: the server listed more than %1 directories")
                     .arg(m_listingLimit));
            continue;
        }
        if (!enterFresh(side, dir)) {
            stop(QStringLiteral("Delete stopped: cannot enter ") + dir);
            continue;
        }
        const QStringList names = listedNames(side);
        if (!names.isEmpty() && names == m_lastListing.value(dir)) {
            stop(QStringLiteral("Delete stopped: ") + dir +
                 QStringLiteral(" still lists what was deleted from it"));
            continue;
        }
        m_lastListing.insert(dir, names);
        const QString cur = EnsureTrailingSeparator(side.currentPath());
        for (const DirEntry& entry : side.listing().entries()) {
            if (entry.kind == EntryKind::Parent || entry.name == u"." || entry.name == u"..")
                continue;
            // A name that leads elsewhere would delete outside this tree.
            if (!enqueue(cur, entry, true))
                run.StopRequested = true;
        }
        if (!filesPass(side, true))
            return false;
        if (names.isEmpty()) {
            removeDirectory(side, dir);
            if (side.session().lastReply().startsWith('5'))
                run.StopRequested = true;
            if (run.StopRequested) {
                m_app.queueRunner().ActionStopped(false);
                return false;
            }
            m_queue.removeAt(0);
        }
    }
    return true;
}
