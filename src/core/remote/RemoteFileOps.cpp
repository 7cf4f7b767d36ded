#include "remote/RemoteFileOps.h"

#include "app/App.h"
#include "app/RemotePath.h"
#include "app/UserPrompts.h"
#include "net/FtpSession.h"

#include <QDir>
#include <QFileInfo>
#include <QPersistentModelIndex>

std::optional<QString> RemoteFileOps::ask(const QString& caption, const QString& prompt,
                                          const QString& text) {
    return m_app.prompts().inputBox(caption, prompt, text);
}

QString RemoteFileOps::selectedName(Side& side) {
    const QList<int> rows = side.selectedRows();
    if (rows.isEmpty())
        return {};
    const DirEntry& entry = side.listing().entry(rows.first());
    return entry.kind == EntryKind::Parent ? QString() : entry.name;
}

QModelIndex RemoteFileOps::selectedNode(Side& side) {
    const QModelIndex node = side.treeSelection().currentIndex();
    // The root is the server itself: it cannot be renamed or moved.
    if (!node.isValid() || !node.parent().isValid())
        return {};
    return node;
}

void RemoteFileOps::RemoveTreeNode(Side& side, const QString& path) {
    DirectoryTreeModel& tree = side.tree();
    const QModelIndex node =
        tree.FindPath(path, DirectoryTreeModel::TreeSeparator(side.currentPath()));
    if (node.isValid())
        tree.RemoveNode(node);
}

void RemoteFileOps::Rename(SideId id, PaneFocus focus) {
    Side& side = m_app.side(id);
    FtpSession& session = side.session();
    if (focus == PaneFocus::List) {
        const QString name = selectedName(side);
        if (name.isEmpty())
            return;
        const auto answer = ask(QStringLiteral("Rename"), QStringLiteral("To"), name);
        if (!answer || answer->isEmpty() || *answer == name)
            return;
        const QString oldPath = side.currentPath() + name;
        session.Rename(name, *answer);
        RemoveTreeNode(side, oldPath);
    } else if (focus == PaneFocus::Tree) {
        const QPersistentModelIndex node = selectedNode(side);
        if (!node.isValid())
            return;
        const QString path = side.tree().NodePath(node);
        const auto answer = ask(QStringLiteral("Rename"), QStringLiteral("To"), path);
        if (!answer || answer->isEmpty() || *answer == path)
            return;
        session.Rename(path, *answer);
        if (node.isValid())
            side.tree().RemoveNode(node);
    } else {
        return;
    }
    m_app.listing().RefreshDirectory(id, false);
}

void RemoteFileOps::Move(SideId id, PaneFocus focus) {
    Side& side = m_app.side(id);
    FtpSession& session = side.session();
    if (focus == PaneFocus::List) {
        const QString name = selectedName(side);
        if (name.isEmpty() || name == u"..")
            return;
        const QString path = side.currentPath() + name;
        const auto answer = ask(QStringLiteral("Move"), QStringLiteral("To"), path);
        if (!answer || answer->isEmpty())
            return;
        // Sent as typed: a full path moves the entry to another directory.
        session.DoCommand(QStringLiteral("RNFR ") + name);
        RemoveTreeNode(side, path);
        session.DoCommand(QStringLiteral("RNTO ") + *answer);
    } else if (focus == PaneFocus::Tree) {
        const QPersistentModelIndex node = selectedNode(side);
        if (!node.isValid())
            return;
        const QString path = side.tree().NodePath(node);
        const auto answer = ask(QStringLiteral("Move"), QStringLiteral("To"), path);
        if (!answer || answer->isEmpty() || *answer == path)
            return;
        session.DoCommand(QStringLiteral("RNFR ") + path);
        if (node.isValid())
            side.tree().RemoveNode(node);
        session.DoCommand(QStringLiteral("RNTO ") + *answer);
    } else {
        return;
    }
    m_app.listing().RefreshDirectory(id, false);
}

void RemoteFileOps::Chmod(SideId id, PaneFocus focus) {
    Side& side = m_app.side(id);
    QString target;
    PermissionBoxes initial;
    if (focus == PaneFocus::Tree) {
        const QModelIndex node = side.treeSelection().currentIndex();
        if (!node.isValid())
            return;
        target = side.tree().NodePath(node);
    } else {
        const QList<int> rows = side.selectedRows();
        if (rows.isEmpty())
            return;
        const DirEntry& entry = side.listing().entry(rows.first());
        target = entry.name;
        initial = PermissionBoxes::FromAttributes(entry.attributes);
    }
    const std::optional<PermissionBoxes> boxes = m_app.prompts().chooseAttributes(initial);
    if (!boxes)
        return;
    side.session().DoCommand(QStringLiteral("SITE CHMOD ") + boxes->ModeText() +
                             QLatin1Char(' ') + target);
    // The list shows the new attributes at once.
    m_app.listing().RefreshDirectory(id, false);
}

void RemoteFileOps::MakeDirectory(SideId id) {
    const auto name = ask(QStringLiteral("Make Directory"), QStringLiteral("Name of Directory"), {});
    if (!name || name->isEmpty())
        return;
    FtpSession& session = m_app.side(id).session();
    session.MakeDir(*name);
    session.ChangeDir(*name);
}

void RemoteFileOps::ChangeDirectory(SideId id) {
    Side& side = m_app.side(id);
    const auto path =
        ask(QStringLiteral("Change Directory"), QStringLiteral("Name of Directory"),
            side.currentPath());
    if (!path || path->isEmpty() || *path == side.currentPath())
        return;
    side.session().ChangeDir(*path);
}

void RemoteFileOps::CopyDirectory(SideId id) {
    QString path = m_app.side(id).currentPath();
    path.chop(1);
    const QString name = FileNamePart(path);
    // The root has no name to copy.
    if (name.isEmpty())
        return;
    FtpSession& other = m_app.side(OtherSide(id)).session();
    other.MakeDir(name);
    other.ChangeDir(name);
}

void RemoteFileOps::MakeLocalDirectory(SideId id) {
    Side& side = m_app.side(id);
    const auto name = ask(QStringLiteral("Make Directory"), QStringLiteral("Name of Directory"), {});
    if (!name || name->isEmpty())
        return;
    if (!QDir(side.localPath()).mkdir(*name))
        m_app.prompts().error(QStringLiteral("Cannot create directory"));
    side.refreshLocalFolder();
}

void RemoteFileOps::ChangeLocalDirectory(SideId id) {
    Side& side = m_app.side(id);
    const auto path = ask(QStringLiteral("Change Directory"), QStringLiteral("Enter new directory"),
                          side.localPath());
    if (!path || path->isEmpty())
        return;
    if (QFileInfo(*path).isDir())
        side.setLocalPath(*path);
    else
        m_app.statusLog().AddStatusLine(QStringLiteral("No such folder: ") + *path, clRed);
}
