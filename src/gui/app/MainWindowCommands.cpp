// The main window's command wiring: each menu item or button forwards to
// the App or to the widget it concerns.
#include "app/App.h"
#include "app/DesktopServices.h"
#include "app/MainWindow.h"
#include "app/PreferencesDialog.h"
#include "app/SidePanel.h"
#include "app/UserPrompts.h"
#include "commands/CommandsMenu.h"
#include "net/FtpSession.h"
#include "transfer/PaneMenuState.h"
#include "local/LocalPane.h"
#include "widgets/StatusPane.h"

#include <QAction>
#include <QMenu>
#include <QSplitter>
#include <QTreeView>

void MainWindow::wireCommands() {
    auto on = [this](const char* name, auto handler) {
        QAction* a = action(name);
        Q_ASSERT(a);
        connect(a, &QAction::triggered, this, [this, handler] { m_app.RunGuarded(handler); });
    };
    on("Hide1", [this] { hideToTray(); });
    on("Exit1", [this] { exitProgram(); });
    on("Exit2", [this] { exitProgram(); });
    on("Restore1", [this] { restoreFromTray(); });
    on("NewSession1", [this] { m_app.StartNewSession(); });
    on("Preferences1", [this] { openPreferences(); });
    on("Help2", [this] { m_app.OpenHelp(); });
    on("Whatsnewtxt1", [this] { m_app.OpenWhatsNew(); });
    on("CheckforUpdate1", [this] { m_app.updateCheck().CheckForUpdate(); });
    connect(&m_app.updateCheck(), &UpdateCheck::itemEnabledChanged, action("CheckforUpdate1"),
            &QAction::setEnabled);
    on("About1", [this] {
        m_app.prompts().information(
            App::RunningTitle() +
            QStringLiteral("\nTwo-pane FTP client with site-to-site transfer."));
    });
    on("ALL", [this] { m_app.ToggleAllOptions(); });
    on("Action2", [this] { m_statusPane->toggleErrorOnly(); });
    wireSettingsMenus();
    wireLayoutMenus();
    wireLocalMenu();
    wireSiteCommands();
    wireDirectoryCommands();
    wireQueueAdding();
    wireFileOperations();
    wireDupeFilter();
    new CommandsMenu(m_app, findChild<QMenu*>(QStringLiteral("Commands1Menu")), this);
}

void MainWindow::wireQueueAdding() {
    QueueAdding& adding = m_app.queueAdding();
    auto on = [this](const char* name, auto handler) {
        connect(action(name), &QAction::triggered, this,
                [this, handler] { m_app.RunGuarded(handler); });
    };
    on("Queue1", [this, &adding] {
        adding.AddToQueue(m_app.activeSide(), false, QueueAdding::Mode::SiteToSite);
    });
    on("LocalQueue1", [this, &adding] {
        adding.AddToQueue(m_app.activeSide(), false, QueueAdding::Mode::Download);
    });
    on("Queue3", [this, &adding] { adding.QueueTreeSelection(m_app.activeSide()); });
    using Mode = QueueAdding::Mode;
    on("Transfer1", [this, &adding] { adding.QueueAndTransfer(m_app.activeSide(), Mode::SiteToSite); });
    on("TransferAs1",
       [this, &adding] { adding.QueueAndTransfer(m_app.activeSide(), Mode::SiteToSite, true); });
    on("LocalDownload1",
       [this, &adding] { adding.QueueAndTransfer(m_app.activeSide(), Mode::Download); });
    on("LocalUpload1", [this] { m_app.localTransfer().UploadFile(m_app.activeSide()); });
    on("ViewFile1", [this] { m_app.localTransfer().ViewFile(m_app.activeSide()); });
    on("Transfer2", [this, &adding] { adding.QueueTreeAndTransfer(m_app.activeSide()); });
    on("Refresh1", [this] { m_app.listing().RefreshDirectory(m_app.activeSide(), false); });
    // The items' keys work only while enabled, so the state follows the
    // selection and the active side as well as the menus' opening.
    for (QMenu* menu : {m_popUp, m_popTree})
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updatePaneMenus);
    connect(&m_app, &App::activeSideChanged, this, &MainWindow::updatePaneMenus);
    for (Side* side : {&m_app.left(), &m_app.right()}) {
        connect(&side->listSelection(), &QItemSelectionModel::selectionChanged, this,
                &MainWindow::updatePaneMenus);
        connect(&side->treeSelection(), &QItemSelectionModel::currentChanged, this,
                &MainWindow::updatePaneMenus);
        connect(&side->session(), &PumpingSocket::disconnected, this, &MainWindow::updatePaneMenus);
        connect(side, &Side::listingEnded, this, &MainWindow::updatePaneMenus);
    }
}

void MainWindow::updatePaneMenus() {
    Side& side = m_app.side(m_app.activeSide());
    PaneSelection selection;
    const QList<int> rows = side.selectedRows();
    selection.listSelected = !rows.isEmpty();
    selection.treeSelected = side.treeSelection().currentIndex().isValid();
    selection.selectedIsFile =
        !rows.isEmpty() && side.listing().entry(rows.first()).kind == EntryKind::File;
    // Items whose commands are not built yet stay off.
    static const QStringList wired{QStringLiteral("Transfer1"), QStringLiteral("TransferAs1"),
                                   QStringLiteral("Transfer2"), QStringLiteral("LocalDownload1"),
                                   QStringLiteral("LocalUpload1"), QStringLiteral("ViewFile1"),
                                   QStringLiteral("Queue1"), QStringLiteral("LocalQueue1"),
                                   QStringLiteral("Queue3"), QStringLiteral("SavePath1"),
                                   QStringLiteral("Refresh1"), QStringLiteral("Move1"),
                                   QStringLiteral("Move2"), QStringLiteral("Rename1"),
                                   QStringLiteral("Rename2"), QStringLiteral("Attributes1"),
                                   QStringLiteral("chmod1"), QStringLiteral("Delete1"),
                                   QStringLiteral("Delete2"), QStringLiteral("MakeDirectory1"),
                                   QStringLiteral("MakeDirectory2"),
                                   QStringLiteral("ChangeDirectory1"),
                                   QStringLiteral("ChangeDirectory2"),
                                   QStringLiteral("CopyDirectory1")};
    const QHash<QString, bool> state = PaneMenuState(m_app, selection);
    for (const QString& name : wired)
        if (QAction* a = findChild<QAction*>(name))
            a->setEnabled(state.value(name));
}

void MainWindow::wireDirectoryCommands() {
    ListNavigation& nav = m_app.navigation();
    auto on = [this](const char* name, auto handler) {
        connect(action(name), &QAction::triggered, this,
                [this, handler] { m_app.RunGuarded(handler); });
    };
    on("Find1", [this, &nav] {
        const auto text =
            m_app.prompts().inputBox(QStringLiteral("Find"), QStringLiteral("Find what:"),
                                     nav.searchText());
        if (text && !text->isEmpty())
            nav.Find(*text);
    });
    on("FindNext1", [this, &nav] {
        if (nav.searchText().isEmpty())
            action("Find1")->trigger();
        else
            nav.FindNext();
    });
    on("ViewRawDirectory1", [this, &nav] {
        // One viewer at a time: an open one keeps what it shows.
        if (m_app.statusLog().viewerOpen())
            return;
        m_app.statusLog().setViewerOpen(true);
        const SideId id = m_app.activeSide();
        showTextViewer(nav.RawDirectoryCaption(id), nav.RawDirectoryText(id));
    });
    on("CopyDirectorytoClipboard1", [this, &nav] { nav.CopyDirectoryToClipboard(m_app.activeSide()); });
    on("ClearCache1", [&nav] { nav.ClearCache(); });
    const std::pair<const char*, int> columns[] = {{"Size1", ListingModel::SizeColumn},
                                                   {"Date1", ListingModel::DateColumn},
                                                   {"Owner1", ListingModel::OwnerColumn},
                                                   {"group1", ListingModel::GroupColumn},
                                                   {"Attrib1", ListingModel::AttribColumn}};
    for (auto [name, column] : columns)
        connect(action(name), &QAction::triggered, this,
                [&nav, column](bool on) { nav.SetColumnShown(column, on); });
}

void MainWindow::wireSettingsMenus() {
    // Each pair writes its key as the state of its first item.
    struct Pair {
        const char* first;
        const char* second;
        const char* key;
    };
    static const Pair pairs[] = {
        {"Idle1", "Disconnect1", ToggleKey::OnCompleteIdle},
        {"Skip1", "OverWrite1", ToggleKey::SkipFile},
        {"NonRecursive1", "Recursive1", ToggleKey::DeleteMethod},
        {"ExactMatch1", "PartialMatch1", ToggleKey::DupeMatch},
    };
    for (const Pair& pair : pairs) {
        const QByteArray key(pair.key);
        connect(action(pair.first), &QAction::triggered, this,
                [this, key] { m_app.WriteToggle(key, true); });
        connect(action(pair.second), &QAction::triggered, this,
                [this, key] { m_app.WriteToggle(key, false); });
    }
    struct Single {
        const char* name;
        const char* key;
    };
    static const Single singles[] = {
        {"AntiIdle1", ToggleKey::AntiIdle},
        {"CacheDirectories1", ToggleKey::Cache},
        {"AutoRefresh1", ToggleKey::AutoRefreshEnabled},
    };
    for (const Single& single : singles) {
        const QByteArray key(single.key);
        QAction* a = action(single.name);
        connect(a, &QAction::triggered, this, [this, key](bool on) { m_app.WriteToggle(key, on); });
    }
    // The skip list switch lasts for this session only.
    connect(action("SkipList1"), &QAction::triggered, this, [this](bool on) {
        m_app.setSkipActive(on);
        // The trees draw their marks from the switch; the lists follow their model.
        for (SidePanel* panel : {m_leftPanel, m_rightPanel})
            panel->tree()->viewport()->update();
    });
}

void MainWindow::wireLayoutMenus() {
    for (SidePanel* panel : {m_leftPanel, m_rightPanel}) {
        const bool left = panel->side().isLeft();
        const QByteArray key(left ? ToggleKey::LeftTree : ToggleKey::RightTree);
        connect(action(left ? "LeftTree1" : "RightTree1"), &QAction::triggered, this,
                [this, panel, key](bool on) {
                    m_app.WriteToggle(key, on);
                    panel->showTree(on);
                });
    }
    auto treeStyle = [this](bool vertical) {
        m_app.WriteToggle(ToggleKey::TreeStyle, vertical);
        for (SidePanel* panel : {m_leftPanel, m_rightPanel})
            panel->setTreeVertical(vertical);
    };
    connect(action("Vertical1"), &QAction::triggered, this, [treeStyle] { treeStyle(true); });
    connect(action("Horizontal1"), &QAction::triggered, this, [treeStyle] { treeStyle(false); });
    connect(action("VerticalLayout1"), &QAction::triggered, this, [this] { setBottomStyle(true); });
    connect(action("HorizontalLayout1"), &QAction::triggered, this,
            [this] { setBottomStyle(false); });
    connect(action("Status1"), &QAction::triggered, this, [this] { toggleStatusPane(true); });
    connect(action("Queue2"), &QAction::triggered, this, [this] { toggleStatusPane(false); });
}

void MainWindow::setBottomStyle(bool vertical) {
    m_app.WriteToggle(ToggleKey::StatusStyle, vertical);
    m_bottomSplit->setOrientation(vertical ? Qt::Horizontal : Qt::Vertical);
    const int total = vertical ? m_bottomSplit->width() : m_bottomSplit->height();
    m_bottomSplit->setSizes({total / 2, total - total / 2});
}

void MainWindow::toggleStatusPane(bool status) {
    PaneLayout& layout = m_app.paneLayout();
    const PaneSplits splits =
        status ? layout.toggleStatus(currentSplits()) : layout.toggleQueue(currentSplits());
    m_bottomSplit->setSizes({splits.bottom, splits.bottomSize - splits.bottom});
    m_clientSplit->setSizes({splits.client, splits.clientSize - splits.client});
    showPaneChecks();
}

void MainWindow::wireLocalMenu() {
    // The local pop-up acts on the local list of the side that has it open.
    auto localPane = [this]() -> LocalPane* { return sidePanel(m_app.activeSide())->localPane(); };
    connect(action("ParentDirectory1"), &QAction::triggered, this,
            [localPane] { localPane()->goToParent(); });
    connect(action("Refresh2"), &QAction::triggered, this, [localPane] { localPane()->refresh(); });
}

void MainWindow::runSideButton(SideId id, int button) {
    Side& side = m_app.side(id);
    switch (SideButton(button)) {
    case SideButton::ToggleLocalView:
        side.setLocalView(!side.localView());
        break;
    case SideButton::Abort:
        m_app.RunGuarded([this, id] { m_app.Abort(id); });
        break;
    case SideButton::Disconnect:
        m_app.RunGuarded([this, id] { m_app.connections().DisconnectClick(id); });
        break;
    case SideButton::Refresh:
        m_app.RunGuarded([this, id] { m_app.listing().RefreshDirectory(id, false); });
        break;
    case SideButton::Transfer:
        m_app.RunGuarded([this] { m_app.queueRunner().Transfer1Click(); });
        break;
    case SideButton::Stop:
        m_app.RunGuarded([this] { m_app.queueRunner().AbortClick(); });
        break;
    case SideButton::FilterDupes:
        m_app.RunGuarded([this] { m_app.dupeFilter().RemoveDupes1Click(); });
        break;
    case SideButton::TwoDayFilterDupes:
        m_app.setActiveSide(id);
        m_app.RunGuarded([this, id] { m_app.dupeFilter().TwoDayFilter(id); });
        side.setButtonEnabled(SideButton::TwoDayFilterDupes, true);
        break;
    default:
        break;
    }
}

void MainWindow::openPreferences() {
    if (m_preferences) {
        m_preferences->raise();
        m_preferences->activateWindow();
        return;
    }
    m_preferences = new PreferencesDialog(m_app.settings(), m_app.settingsStore(), m_app.services(),
                                          m_app.prompts(), this);
    m_preferences->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_preferences, &PreferencesDialog::preferencesSaved, this,
            [this](const Settings& before, const Settings&) { m_app.applyPreferences(before); });
    m_preferences->open();
}
