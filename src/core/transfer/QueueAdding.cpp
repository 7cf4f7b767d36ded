#include "transfer/QueueAdding.h"

#include "app/App.h"
#include "app/RemotePath.h"
#include "app/UserPrompts.h"
#include "listing/ListingParser.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"

#include <QLocale>

bool QueueAdding::knowsCurrentDirectory(SideId id) {
    Side& side = m_app.side(id);
    for (int attempt = 0; attempt < 2 && side.currentPath().isEmpty(); ++attempt) {
        try {
            side.setCurrentPath(EnsureTrailingSeparator(side.session().CurrentDir()));
        } catch (const NetError&) {
            // The status window shows why; the second attempt may still work.
        }
    }
    return !side.currentPath().isEmpty();
}

bool QueueAdding::AddToQueue(SideId id, bool all, Mode mode, bool askName) {
    Side& side = m_app.side(id);
    Side& other = m_app.side(OtherSide(id));
    const bool local = mode == Mode::Download;
    if (!local && (!knowsCurrentDirectory(id) || !knowsCurrentDirectory(OtherSide(id)))) {
        m_app.prompts().information(QStringLiteral("Unable to determine Current directory"));
        return false;
    }
    // A download goes to the folder the other pane's local list shows.
    QString localFolder = other.localPath();
    if (!localFolder.endsWith(u'/'))
        localFolder += u'/';
    const SkipOptions options = m_app.skipOptions();
    const PatternSet skipList(m_app.skipList());
    const Direction direction =
        local ? (side.isLeft() ? Direction::DownloadFromLeft : Direction::DownloadFromRight)
              : (side.isLeft() ? Direction::FxpLeftToRight : Direction::FxpRightToLeft);
    QList<int> rows = side.selectedRows();
    if (all) {
        rows.clear();
        for (int row = 0; row < side.listing().count(); ++row)
            rows.append(row);
    }
    QueueModel& queue = m_app.queue();
    for (int row : rows) {
        const DirEntry entry = side.listing().entry(row);
        if (entry.kind == EntryKind::Parent || entry.name == u"." || entry.name == u"..")
            continue;
        if (MatchesSkipList(entry.name, entry.kind, entry.sizeText, local, options, skipList))
            continue;
        if (!IsPlainName(entry.name)) {
            m_app.statusLog().AddStatusLine(RefusedNameLine(entry.name), clRed);
            continue;
        }
        const bool file = entry.kind == EntryKind::File;
        QString targetName = entry.name;
        if (file && askName) {
            const auto typed = m_app.prompts().inputBox(QStringLiteral("Save As"),
                                                        QStringLiteral("Filename"), entry.name);
            if (typed && !typed->isEmpty())
                targetName = *typed;
        }
        QString target;
        if (local)
            target = localFolder + targetName;
        else
            target = file ? other.currentPath() + targetName : other.currentPath();
        const QString source = side.currentPath() + entry.name;
        if (queue.IsQueued(source, target))
            continue;
        queue.append(QueueEntry{source, target, entry.sizeText, int(entry.kind), direction});
        side.listing().setCut(row, true);
        if (!file)
            side.tree().setCut(side.tree().FindPath(source, DirectoryTreeModel::TreeSeparator(source)),
                               true);
    }
    m_app.queueCommands().TransferButtonRule();
    return true;
}

QString UploadSizeText(qint64 sizeKb, const QLocale& locale) {
    return FormatSizeText(sizeKb * 1024, locale);
}

void QueueAdding::AddUploads(SideId from, const std::vector<LocalItem>& items) {
    // The left pane's local list uploads to the right server, and back.
    const Side& remote = m_app.side(OtherSide(from));
    const Direction direction =
        from == SideId::Left ? Direction::UploadToRight : Direction::UploadToLeft;
    const QLocale locale;
    for (const LocalItem& item : items) {
        const QString size = UploadSizeText(item.sizeKb, locale);
        if (item.isDirectory)
            m_app.queue().append(QueueEntry{item.path.endsWith(u'/') ? item.path : item.path + u'/',
                                            remote.currentPath(), size, 1, direction});
        else
            m_app.queue().append(QueueEntry{item.path,
                                            remote.currentPath() + FileNamePart(item.path), size,
                                            3, direction});
    }
    m_app.queueCommands().TransferButtonRule();
}

void QueueAdding::QueueTreeSelection(SideId id, const QString& targetOverride) {
    Side& side = m_app.side(id);
    const QModelIndex node = side.treeSelection().currentIndex();
    if (!node.isValid())
        return;
    const QString target = EnsureTrailingSeparator(
        targetOverride.isEmpty() ? m_app.side(OtherSide(id)).currentPath() : targetOverride);
    const QString source = side.tree().NodePath(node);
    if (!m_app.queue().IsQueued(source, target)) {
        m_app.queue().append(QueueEntry{source, target, QString(), 1,
                                        side.isLeft() ? Direction::FxpLeftToRight
                                                      : Direction::FxpRightToLeft});
        side.tree().setCut(node, true);
    }
    m_app.queueCommands().TransferButtonRule();
}

void QueueAdding::QueueAndTransfer(SideId id, Mode mode, bool askName) {
    Side& side = m_app.side(id);
    if (askName) {
        const QList<int> rows = side.selectedRows();
        if (side.listing().count() == 0 || rows.isEmpty() ||
            side.listing().entry(rows.first()).kind != EntryKind::File)
            return;
    }
    AddToQueue(id, false, mode, askName);
    m_app.queueRunner().Transfer1Click();
}

void QueueAdding::QueueTreeAndTransfer(SideId id) {
    QueueTreeSelection(id);
    m_app.queueRunner().Transfer1Click();
}
