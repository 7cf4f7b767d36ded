#include "transfer/DirectoryExpansion.h"

#include "app/App.h"
#include "app/RemotePath.h"
#include "listing/ListingParser.h"
#include "listing/SkipRules.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"

#include <QDir>
#include <QLocale>

namespace {

// "/" when the side's directory uses it, else "\" (a Windows server).
QChar SeparatorOf(const Side& side) {
    return side.currentPath().contains(QLatin1Char('/')) ? QLatin1Char('/') : QLatin1Char('\\');
}

bool Refused553(const FtpSession& session) {
    return session.lastReply().startsWith("553");
}

// Deeper than any real tree: a link pointing back up would expand forever.
constexpr qsizetype MaxDepth = 128;

} // namespace

void DirectoryExpansion::log(const QString& text, Colour colour) {
    m_app.statusLog().AddStatusLine(text, colour);
}

std::vector<DirectoryExpansion::LocalFolderItem>
DirectoryExpansion::LocalFolderItems(const QString& folder) {
    std::vector<LocalFolderItem> items;
    const QFileInfoList infos =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot,
                                   QDir::DirsFirst | QDir::Name | QDir::IgnoreCase);
    items.reserve(size_t(infos.size()));
    for (const QFileInfo& info : infos)
        items.push_back({info.fileName(), info.isDir(), info.isDir() ? 0 : info.size()});
    return items;
}

bool DirectoryExpansion::enterRemoteSource(Side& source, const QString& dir) {
    if (dir.compare(source.currentPath(), Qt::CaseInsensitive) == 0)
        return true;
    source.session().ChangeDir(dir);
    m_app.listing().ReadCurrentDirectory(source.id());
    // A refused CWD leaves the pane on the old directory: queueing what it
    // shows would copy the wrong files.
    return dir.compare(source.currentPath(), Qt::CaseInsensitive) == 0;
}

std::vector<QueueEntry> DirectoryExpansion::remoteEntries(Side& source, Side& destination,
                                                          const QueueEntry& head, Mode mode) {
    const SkipOptions options = m_app.skipOptions();
    const PatternSet skipList(m_app.skipList());
    const QString here = source.currentPath();
    const QString target = EnsureTrailingSeparator(head.TargetPath);
    const QString siteToSiteParent = target + LastPathComponent(here);
    const Direction direction =
        mode == Mode::SiteToSite
            ? (source.isLeft() ? Direction::FxpLeftToRight : Direction::FxpRightToLeft)
            : (source.isLeft() ? Direction::DownloadFromLeft : Direction::DownloadFromRight);
    std::vector<QueueEntry> entries;
    for (const DirEntry& row : source.listing().entries()) {
        if (row.kind == EntryKind::Parent || row.name == u"." || row.name == u"..")
            continue;
        if (MatchesSkipList(row.name, row.kind, row.sizeText, false, options, skipList))
            continue;
        if (!IsPlainName(row.name)) {
            log(RefusedNameLine(row.name), clRed);
            m_app.runState().abandoned.append(here + row.name);
            continue;
        }
        const bool file = row.kind == EntryKind::File;
        QueueEntry entry{here + row.name, QString(), row.sizeText, int(row.kind), direction};
        if (mode == Mode::Download)
            entry.TargetPath = target + row.name;
        else if (file)
            entry.TargetPath = siteToSiteParent + SeparatorOf(destination) + row.name;
        else
            entry.TargetPath = siteToSiteParent;
        if (!m_app.queue().IsQueued(entry.SourcePath, entry.TargetPath))
            entries.push_back(std::move(entry));
    }
    return entries;
}

void DirectoryExpansion::expandUpload(const QString& dir, SideId localSide,
                                      const QueueEntry& head) {
    // The left pane's local list uploads to the right server, and back.
    Side& destination = m_app.side(OtherSide(localSide));
    m_app.side(localSide).setLocalPath(dir);
    const QString parent = EnsureTrailingSeparator(head.TargetPath) + LastPathComponent(dir);
    destination.session().MakeDir(parent);
    if (Refused553(destination.session()))
        return;
    destination.session().ChangeDir(parent);
    if (m_app.runState().StopRequested)
        return;
    const Direction direction =
        localSide == SideId::Left ? Direction::UploadToRight : Direction::UploadToLeft;
    const QChar separator = SeparatorOf(destination);
    const QLocale locale;
    std::vector<QueueEntry> entries;
    for (const LocalFolderItem& item : LocalFolderItems(dir)) {
        QueueEntry entry{dir + item.name, parent, UploadSizeText((item.size + 1023) / 1024, locale),
                         item.isDirectory ? 1 : 3, direction};
        if (!item.isDirectory)
            entry.TargetPath += separator + item.name;
        entries.push_back(std::move(entry));
    }
    m_app.runState().ExpandInsertCount = int(entries.size());
    m_app.queue().insertBehindHead(entries);
}

void DirectoryExpansion::ExpandQueuedDirectory(const QString& dirPath, SideId sourceSide,
                                               Mode mode) {
    TransferRunState& run = m_app.runState();
    if (run.StopRequested || m_app.queue().isEmpty())
        return;
    const QString dir = EnsureTrailingSeparator(dirPath);
    const QueueEntry head = m_app.queue().entry(0);
    run.ExpandInsertCount = 0;
    if (dir.count(QLatin1Char('/')) + dir.count(QLatin1Char('\\')) > MaxDepth) {
        log(QStringLiteral("Directory Skipped: ") + dir +
                QStringLiteral(" (nested too deep; a link may point back up)"),
            clRed);
        run.abandoned.append(dir);
        return;
    }
    if (mode == Mode::Upload) {
        expandUpload(dir, sourceSide, head);
        return;
    }
    // The contents would go into this folder: one that is a link would take
    // them wherever it points.
    if (mode == Mode::Download && QFileInfo(head.TargetPath).isSymLink()) {
        log(QStringLiteral("Directory Skipped: ") + head.TargetPath +
                QStringLiteral(" (a link is in its place; it is not followed)"),
            clRed);
        run.abandoned.append(dir);
        return;
    }
    Side& source = m_app.side(sourceSide);
    Side& destination = m_app.side(OtherSide(sourceSide));
    if (!enterRemoteSource(source, dir)) {
        log(QStringLiteral("Directory Skipped: ") + dir, clRed);
        run.abandoned.append(dir);
        return;
    }
    if (run.StopRequested)
        return;
    const std::vector<QueueEntry> entries = remoteEntries(source, destination, head, mode);
    run.ExpandInsertCount = int(entries.size());
    m_app.queue().insertBehindHead(entries);
    if (entries.empty() && m_app.settings().skipEmptyDirs) {
        log(QStringLiteral("Empty Dir: ") + LastPathComponent(head.SourcePath), clPurple);
        run.LastCreatedDir.clear();
        return;
    }
    if (mode == Mode::Download) {
        QDir().mkdir(head.TargetPath);
        return;
    }
    const QString newDir =
        EnsureTrailingSeparator(head.TargetPath) + LastPathComponent(head.SourcePath);
    destination.session().MakeDir(newDir);
    // Any other refusal (550: it exists) still lets us enter it.
    if (Refused553(destination.session()))
        return;
    run.LastCreatedDir = newDir;
    run.LastCreatedDirSide = destination.id();
    destination.session().ChangeDir(newDir);
}

void DirectoryExpansion::removeCreatedDirectory() {
    TransferRunState& run = m_app.runState();
    Side& side = m_app.side(run.LastCreatedDirSide);
    FtpSession& session = side.session();
    if (!session.isConnected())
        return;
    const QString parent = DirectoryPart(run.LastCreatedDir);
    side.state().SkipRefreshOnCwd = true;
    try {
        session.ChangeDir(parent);
        // No refresh follows; the path the side knows must still be true.
        if (!FtpReplies::IsErrorReply(session.lastReply()))
            side.setCurrentPath(parent);
        session.RemoveDir(run.LastCreatedDir);
    } catch (const NetError&) {
        // Clean-up is a courtesy: a failure here changes nothing copied.
    }
}

void DirectoryExpansion::CleanUpBefore(const QueueEntry& head) {
    TransferRunState& run = m_app.runState();
    if (run.FilesSinceDirStart != 0 || run.LastCreatedDir.isEmpty() || !m_app.settings().cleanUp ||
        head.TargetPath.contains(run.LastCreatedDir))
        return;
    removeCreatedDirectory();
}

void DirectoryExpansion::FinalCleanUp() {
    TransferRunState& run = m_app.runState();
    if (run.FilesSinceDirStart == 0 && !run.LastCreatedDir.isEmpty() && m_app.settings().cleanUp)
        removeCreatedDirectory();
    run.FilesSinceDirStart = 0;
}
