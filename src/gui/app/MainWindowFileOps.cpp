// The pane menus' file operations and the delete queue's view.
#include "app/App.h"
#include "app/MainWindow.h"
#include "app/SidePanel.h"

#include <QAction>
#include <QHeaderView>
#include <QStackedWidget>
#include <QTreeView>

void MainWindow::wireFileOperations() {
    auto on = [this](const char* name, auto handler) {
        connect(action(name), &QAction::triggered, this,
                [this, handler] { m_app.RunGuarded(handler); });
    };
    RemoteFileOps& ops = m_app.remoteFileOps();
    // Items of the list's menu act on the list, those of the tree's on the tree.
    const std::pair<const char*, PaneFocus> targets[] = {{"1", PaneFocus::List},
                                                         {"2", PaneFocus::Tree}};
    for (const auto& [suffix, focus] : targets) {
        const QByteArray tail(suffix);
        on(("Rename" + tail).constData(),
           [this, &ops, focus] { ops.Rename(m_app.activeSide(), focus); });
        on(("Move" + tail).constData(), [this, &ops, focus] { ops.Move(m_app.activeSide(), focus); });
        on(("Delete" + tail).constData(), [this, focus] {
            m_app.deletion().Delete1Click(m_app.activeSide(), focus == PaneFocus::Tree);
        });
        on(("MakeDirectory" + tail).constData(),
           [this, &ops] { ops.MakeDirectory(m_app.activeSide()); });
        on(("ChangeDirectory" + tail).constData(),
           [this, &ops] { ops.ChangeDirectory(m_app.activeSide()); });
    }
    on("Attributes1", [this, &ops] { ops.Chmod(m_app.activeSide(), PaneFocus::List); });
    on("chmod1", [this, &ops] { ops.Chmod(m_app.activeSide(), PaneFocus::Tree); });
    on("CopyDirectory1", [this, &ops] { ops.CopyDirectory(m_app.activeSide()); });
    on("MakeDirectory3", [this, &ops] { ops.MakeLocalDirectory(m_app.activeSide()); });
    on("ChangeDirectory3", [this, &ops] { ops.ChangeLocalDirectory(m_app.activeSide()); });

    DeleteQueueModel& deletions = m_app.deletion().queue();
    m_deleteView->setModel(&deletions);
    m_deleteView->setRootIsDecorated(false);
    m_deleteView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_deleteView->header()->setSectionsClickable(false);
    m_deleteView->setColumnWidth(0, 312);
    connect(&deletions, &DeleteQueueModel::shownChanged, this, [this](bool shown) {
        m_queueStack->setCurrentWidget(shown ? m_deleteView : m_queue);
        if (shown)
            m_deleteView->resizeColumnToContents(0);
        else
            m_deleteView->setColumnWidth(0, 312);
        updatePaneMenus();
    });
}
