// The main window's site commands: the Connect drop-down, quick connect,
// the site manager and "&Save Path".
#include "app/App.h"
#include "app/MainWindow.h"
#include "app/UserPrompts.h"
#include "sites/QuickConnect.h"
#include "sites/QuickConnectDialog.h"
#include "sites/SiteManagerDialog.h"
#include "sites/SiteMenuLayout.h"

#include <QAction>
#include <QMenu>

void MainWindow::wireSiteCommands() {
    connect(action("QuickConnect1"), &QAction::triggered, this,
            [this] { m_app.RunGuarded([this] { openQuickConnect(); }); });
    connect(action("SiteManager1"), &QAction::triggered, this, [this] { openSiteManager(); });
    connect(action("SavePath1"), &QAction::triggered, this, [this] {
        Side& side = m_app.side(m_app.activeSide());
        if (!side.headerText().isEmpty() &&
            !m_app.siteStorage().SavePath(side.headerText(), side.currentPath()))
            m_app.statusLog().AddStatusLine(
                QStringLiteral("Unable to save the path of ") + side.headerText(), clRed);
    });
    connect(action("Refresh3"), &QAction::triggered, this, [this] {
        const SideId id = m_app.activeSide();
        if (m_app.side(id).button(SideButton::Refresh).enabled)
            m_app.RunGuarded([this, id] { m_app.listing().RefreshDirectory(id, false); });
    });
    connect(action("DupeAfterRefresh1"), &QAction::triggered, this,
            [this](bool on) { m_app.connections().setDupeAfterRefresh(on); });
}

void MainWindow::rebuildSiteMenu() {
    // Everything after "Quick Connect" and its separator is rebuilt.
    const QList<QAction*> items = m_popSite->actions();
    for (qsizetype i = 2; i < items.size(); ++i) {
        m_popSite->removeAction(items.at(i));
        if (QMenu* sub = items.at(i)->menu())
            sub->deleteLater();
        items.at(i)->deleteLater();
    }
    auto connectTo = [this](const QString& name) {
        return [this, name] {
            m_app.RunGuarded(
                [this, name] { m_app.connections().ConnectSavedSite(name, m_app.connectMenuSide()); });
        };
    };
    const QList<SiteMenuEntry> entries =
        BuildSiteMenu(m_app.siteStorage().SiteNames(), m_app.settings().itemCount);
    for (const SiteMenuEntry& entry : entries) {
        switch (entry.kind) {
        case SiteMenuEntry::Kind::ColumnBreak:
            // Qt menus have no column breaks: a separator marks the column.
            m_popSite->addSeparator();
            break;
        case SiteMenuEntry::Kind::Site:
            // Queued: the connect waits for the server, not inside the menu.
            connect(m_popSite->addAction(entry.caption), &QAction::triggered, this,
                    connectTo(entry.caption), Qt::QueuedConnection);
            break;
        case SiteMenuEntry::Kind::Group: {
            QMenu* sub = m_popSite->addMenu(entry.caption);
            // Members merged across letter case keep their own full names.
            for (qsizetype i = 0; i < entry.members.size(); ++i)
                connect(sub->addAction(entry.members.at(i)), &QAction::triggered, this,
                        connectTo(entry.memberNames.value(i)), Qt::QueuedConnection);
            break;
        }
        }
    }
}

void MainWindow::openQuickConnect() {
    const SideId side = m_app.connectMenuSide();
    QuickConnectDialog dialog(m_app.siteStorage(), m_app.quickConnectHistory(), m_app.settings(),
                              this);
    for (const QString& problem : dialog.loadProblems())
        m_app.statusLog().AddStatusLine(problem, clRed);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QuickConnectResult result =
        ResolveQuickConnect(dialog.fields(), m_app.siteStorage(), m_app.settings().email);
    if (!result.connect)
        return;
    if (result.addToHistory &&
        !m_app.quickConnectHistory().Add(result.entry, dialog.loadedHistory()))
        m_app.statusLog().AddStatusLine(QStringLiteral("Unable to write History.dat"), clRed);
    m_app.connections().ConnectToSite(result.request, side);
}

void MainWindow::openSiteManager() {
    if (m_siteManager) {
        m_siteManager->raise();
        m_siteManager->activateWindow();
        return;
    }
    auto* manager = new SiteManagerDialog(m_app, this);
    manager->setAttribute(Qt::WA_DeleteOnClose);
    m_siteManager = manager;
    manager->show();
}
