#pragma once

#include "app/SideState.h"

#include <QModelIndex>
#include <QString>

class App;
class Side;

// Which of a side's views a command acts on: the one with the keyboard focus.
enum class PaneFocus { List, Tree, Other };

// The single-entry operations of a side's pop-up menus: rename, move, chmod,
// make and change directory on the server and on the local disk, and the
// copy of the current directory's name to the other side. A refused command
// shows in the side's status panel and the remaining steps still run.
class RemoteFileOps {
public:
    explicit RemoteFileOps(App& app) : m_app(app) {}

    void Rename(SideId side, PaneFocus focus);
    void Move(SideId side, PaneFocus focus);
    void Chmod(SideId side, PaneFocus focus);
    void MakeDirectory(SideId side);
    void ChangeDirectory(SideId side);
    void CopyDirectory(SideId side);
    void MakeLocalDirectory(SideId side);
    void ChangeLocalDirectory(SideId side);

    // The tree node of a remote path goes, when there is one.
    static void RemoveTreeNode(Side& side, const QString& path);

private:
    // The list's first selected entry's name; empty when there is none.
    static QString selectedName(Side& side);
    // The tree's selected node unless it is the root; invalid otherwise.
    static QModelIndex selectedNode(Side& side);
    std::optional<QString> ask(const QString& caption, const QString& prompt,
                               const QString& text);

    App& m_app;
};
