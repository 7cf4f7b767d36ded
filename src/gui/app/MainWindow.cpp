#include "app/MainWindow.h"

#include "app/App.h"
#include "app/DesktopServices.h"
#include "app/FontConversion.h"
#include "app/FontDescription.h"
#include "app/MainMenus.h"
#include "app/PreferencesDialog.h"
#include "app/SidePanel.h"
#include "app/TextViewerWindow.h"
#include "listing/RemoteViews.h"
#include "transfer/QueueDragDrop.h"
#include "transfer/QueueView.h"
#include "local/LocalPane.h"
#include "widgets/StatusConsole.h"
#include "widgets/StatusPane.h"
#include "widgets/StatusPanelLabel.h"
#include "widgets/StandardIcons.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QTreeView>

MainWindow::MainWindow(App& app, QWidget* parent) : QMainWindow(parent), m_app(app) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromLatin1(App::Title));
    // The program's own icon when the application has one (main.cpp).
    if (QApplication::windowIcon().isNull())
        setWindowIcon(StandardIcon(QStyle::SP_DriveNetIcon));
    m_app.create();
    buildPanes();
    buildMenus();
    buildStatusBar();
    buildTray();
    bindApp();
    wireCommands();
    applySettingsToWidgets();
    showActiveSide(m_app.activeSide());
    const WindowLayout defaults;
    resize(defaults.width, defaults.height);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildPanes() {
    m_leftPanel = new SidePanel(m_app.left(), this);
    m_rightPanel = new SidePanel(m_app.right(), this);
    for (SidePanel* panel : {m_leftPanel, m_rightPanel})
        panel->setRemoteViews(new RemoteViews(m_app, *panel));

    m_topSplit = new QSplitter(Qt::Horizontal);
    m_topSplit->setObjectName(QStringLiteral("TopSplit"));
    m_topSplit->addWidget(m_leftPanel);
    m_topSplit->addWidget(m_rightPanel);

    m_queue = new QTreeView;
    m_queue->setObjectName(QStringLiteral("LvQueue"));
    m_queue->setRootIsDecorated(false);
    m_statusPane = new StatusPane(m_app.statusLog(), m_app.services(), m_app.prompts());
    m_statusPane->setObjectName(QStringLiteral("StatusPane"));

    m_bottomSplit = new QSplitter(Qt::Horizontal);
    m_bottomSplit->setObjectName(QStringLiteral("BottomSplit"));
    // A deletion shows its queue in the transfer queue's place.
    m_deleteView = new QTreeView;
    m_deleteView->setObjectName(QStringLiteral("LVdelete"));
    m_deleteView->setUniformRowHeights(true);
    m_queueStack = new QStackedWidget;
    m_queueStack->setObjectName(QStringLiteral("QueueStack"));
    m_queueStack->addWidget(m_queue);
    m_queueStack->addWidget(m_deleteView);
    m_bottomSplit->addWidget(m_queueStack);
    m_bottomSplit->addWidget(m_statusPane);
    m_queue->setAccessibleName(QStringLiteral("Transfer queue"));
    m_deleteView->setAccessibleName(QStringLiteral("Delete queue"));

    m_clientSplit = new QSplitter(Qt::Vertical, this);
    m_clientSplit->setObjectName(QStringLiteral("ClientSplit"));
    m_clientSplit->addWidget(m_topSplit);
    m_clientSplit->addWidget(m_bottomSplit);
    for (QSplitter* split : {m_topSplit, m_bottomSplit, m_clientSplit}) {
        // A splitter's position is the first pane's size: growth goes to the second.
        split->setStretchFactor(0, 0);
        split->setStretchFactor(1, 1);
        split->setChildrenCollapsible(true);
        for (int i = 0; i < split->count(); ++i)
            split->widget(i)->setMinimumSize(0, 0);
    }
    setCentralWidget(m_clientSplit);
}

void MainWindow::buildMenus() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    for (const MainMenus::TopMenu& top : MainMenus::MainMenu()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(top.caption));
        menu->setObjectName(QString::fromLatin1(top.name) + QStringLiteral("Menu"));
        menu->menuAction()->setObjectName(QString::fromLatin1(top.name));
        BuildMenu(menu, top.items, this);
    }
    auto popup = [this](const char* name, const std::vector<MenuEntry>& items) {
        auto* menu = new QMenu(this);
        menu->setObjectName(QString::fromLatin1(name));
        BuildMenu(menu, items, this);
        return menu;
    };
    m_popUp = popup("PopUp", MainMenus::PopUp());
    m_popTree = popup("PopTree", MainMenus::PopTree());
    m_pmQueue = popup("PMQueue", MainMenus::PMQueue());
    m_popSite = popup("PopSite", MainMenus::PopSite());
    m_popupTray = popup("PopupTray", MainMenus::PopupTray());
    m_localPop = popup("LocalPop", MainMenus::LocalPop());

    // Keyboard-only actions live on the window itself.
    auto* actionList = new QMenu(this);
    actionList->setObjectName(QStringLiteral("ActionList1"));
    BuildMenu(actionList, MainMenus::ActionList(), this);
    addActions(actionList->actions());

    m_leftPanel->attachMenus(m_popUp, m_popTree, m_popSite, m_localPop);
    m_rightPanel->attachMenus(m_popUp, m_popTree, m_popSite, m_localPop);
    m_queue->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_queue, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_pmQueue->popup(m_queue->viewport()->mapToGlobal(at)); });
    new QueueView(m_app, *m_queue, *m_pmQueue, this);
    auto* drops = new QueueDragDrop(m_app, *m_leftPanel, *m_rightPanel, *m_queue, this);
    drops->setStartQueue([this] { m_app.queueRunner().Transfer1Click(); });
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar3"));
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < 3; ++i) {
        auto* panel = new StatusPanelLabel(bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        bar->addWidget(panel, i == 2 ? 1 : 0);
        m_statusPanels[std::size_t(i)] = panel;
    }
    // The progress gauge covers panel 2 while a transfer runs.
    m_gauge = new QProgressBar(m_statusPanels[2]);
    m_gauge->setObjectName(QStringLiteral("Gauge1"));
    m_gauge->setTextVisible(true);
    m_gauge->hide();
    m_statusPanels[2]->hide();
    for (SidePanel* sidePanel : {m_leftPanel, m_rightPanel}) {
        Side& side = sidePanel->side();
        StatusPanelLabel* panel = m_statusPanels[std::size_t(side.statusPanel())];
        panel->setText(side.statusBarText());
        connect(&side, &Side::statusBarTextChanged, panel, &StatusPanelLabel::setText);
    }
}

void MainWindow::buildTray() {
    m_tray = new QSystemTrayIcon(windowIcon(), this);
    m_tray->setObjectName(QStringLiteral("TrayIcon1"));
    m_tray->setToolTip(QString::fromLatin1(App::Title));
    m_tray->setContextMenu(m_popupTray);
    connect(m_tray, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger)
                    restoreFromTray();
            });
}

void MainWindow::bindApp() {
    connect(&m_app, &App::titleChanged, this, [this](const QString& title) {
        setWindowTitle(title);
        m_tray->setToolTip(title);
    });
    connect(&m_app, &App::trayTipChanged, m_tray, &QSystemTrayIcon::setToolTip);
    connect(&m_app, &App::activeSideChanged, this, &MainWindow::showActiveSide);
    connect(&m_app, &App::settingsLoaded, this, &MainWindow::applySettingsToWidgets);
    connect(&m_app, &App::onCompleteIdleChanged, this,
            [this](bool idle) { action(idle ? "Idle1" : "Disconnect1")->setChecked(true); });
    connect(&m_app, &App::allOptionsChanged, this,
            [this](bool visible) { action("N2DayFilterDupes1")->setVisible(visible); });
    for (SidePanel* panel : {m_leftPanel, m_rightPanel}) {
        const SideId id = panel->side().id();
        connect(panel, &SidePanel::activated, this, [this, id] { m_app.setActiveSide(id); });
        connect(panel, &SidePanel::connectMenuOpening, this, [this, id] {
            m_app.setConnectMenuSide(id);
            rebuildSiteMenu();
        });
        connect(panel, &SidePanel::buttonClicked, this,
                [this, id](SideButton which) { runSideButton(id, int(which)); });
    }
    connect(&m_app.statusLog(), &StatusLog::textViewerRequested, this, &MainWindow::showTextViewer);
    connect(&m_app.statusLog(), &StatusLog::hourglassCursorsResetRequested, this, [this] {
        for (SidePanel* panel : {m_leftPanel, m_rightPanel})
            panel->list()->unsetCursor();
    });
}

TextViewerWindow* MainWindow::textViewer() const {
    return m_viewer.data();
}

PreferencesDialog* MainWindow::preferencesDialog() const {
    return m_preferences.data();
}

QAction* MainWindow::action(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

QMenu* MainWindow::popupMenu(const char* name) const {
    return findChild<QMenu*>(QString::fromLatin1(name));
}

void MainWindow::showActiveSide(SideId side) {
    m_leftPanel->setActive(side == SideId::Left);
    m_rightPanel->setActive(side == SideId::Right);
}

void MainWindow::applySettingsToWidgets() {
    const Settings& s = m_app.settings();
    auto check = [this](const char* name, bool on) {
        if (QAction* a = action(name))
            a->setChecked(on);
    };
    check(s.onCompleteIdle ? "Idle1" : "Disconnect1", true);
    check(s.skipFile ? "Skip1" : "OverWrite1", true);
    check(s.deleteMethod ? "NonRecursive1" : "Recursive1", true);
    check(s.dupeMatch ? "ExactMatch1" : "PartialMatch1", true);
    check(s.treeStyle ? "Vertical1" : "Horizontal1", true);
    check(s.statusStyle ? "VerticalLayout1" : "HorizontalLayout1", true);
    check("AntiIdle1", s.antiIdle);
    check("SkipList1", s.skip);
    check("LeftTree1", s.leftTree);
    check("RightTree1", s.rightTree);
    check("CacheDirectories1", s.cache);
    check("AutoRefresh1", s.autoRefreshEnabled);
    // Reading the settings shows every column the file asks for.
    check("Size1", true);
    check("Date1", true);
    check("Owner1", s.owner);
    check("group1", s.group);
    check("Attrib1", s.attrib);
    action("N2DayFilterDupes1")->setVisible(s.all);
    for (const char* name : {"N26", "AutoRefresh1", "DupeAfterRefresh1"})
        action(name)->setVisible(m_app.autoRefreshItemsVisible());
    for (const char* name : {"N31", "Race1"})
        action(name)->setVisible(m_app.raceItemsVisible());
    for (SidePanel* panel : {m_leftPanel, m_rightPanel}) {
        panel->setTreeVertical(s.treeStyle);
        panel->remoteViews()->showColumns();
    }
    m_bottomSplit->setOrientation(s.statusStyle ? Qt::Horizontal : Qt::Vertical);

    // One font and text colour for the lists, trees, queue and error lines;
    // the status window has its own font and colours every line itself.
    FontDescription listFont;
    if (!s.font.isEmpty() && StringToFont(s.font, listFont)) {
        for (SidePanel* panel : {m_leftPanel, m_rightPanel}) {
            ApplyFontDescription(panel->list(), listFont);
            ApplyFontDescription(panel->tree(), listFont);
            ApplyFontDescription(panel->localPane()->list(), listFont);
        }
        ApplyFontDescription(m_queue, listFont);
        ApplyFontDescription(m_statusPane->errorWindow(), listFont);
    }
    FontDescription statusFont;
    if (!s.statusFont.isEmpty() && StringToFont(s.statusFont, statusFont))
        m_statusPane->console()->setFont(ToQFont(statusFont, m_statusPane->console()->font()));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    applyLayout(m_app.show());
    // Connecting waits for the servers: the window is drawn first.
    QTimer::singleShot(0, this, [this] {
        m_app.RunGuarded(
            [this] { m_app.RunCommandLineConnect(m_app.commandLine()); });
    });
}

void MainWindow::applyLayout(const WindowLayout& layout) {
    move(layout.left, layout.top);
    m_normalPos = QPoint(layout.left, layout.top);
    resize(layout.width, layout.height);
    // The splitters take their positions once the window has its size.
    auto place = [](QSplitter* split, int position) {
        const int total = split->orientation() == Qt::Horizontal ? split->width() : split->height();
        const int first = qBound(0, position, total);
        split->setSizes({first, qMax(0, total - first)});
    };
    if (layout.maximized)
        showMaximized();
    // Lay the window out now so the splitters know their final lengths.
    if (QLayout* windowLayout = this->layout()) {
        windowLayout->invalidate();
        windowLayout->activate();
    }
    place(m_clientSplit, layout.split3);
    place(m_topSplit, layout.split1);
    place(m_bottomSplit, layout.split2);
    m_leftPanel->showTree(m_app.settings().leftTree);
    m_rightPanel->showTree(m_app.settings().rightTree);

    m_app.paneLayout().adoptPositions(currentSplits());
    showPaneChecks();
    fitStatusBar();
}

PaneSplits MainWindow::currentSplits() const {
    const QList<int> bottom = m_bottomSplit->sizes();
    const QList<int> client = m_clientSplit->sizes();
    return {bottom.value(0), bottom.value(0) + bottom.value(1), client.value(0),
            client.value(0) + client.value(1)};
}

void MainWindow::showPaneChecks() {
    action("Status1")->setChecked(m_app.paneLayout().statusShown());
    action("Queue2")->setChecked(m_app.paneLayout().queueShown());
}

WindowLayout MainWindow::currentLayout() const {
    WindowLayout layout;
    // Position as the window was placed (frame included), size of the window.
    // normalGeometry() is the client area, which would move a window saved
    // maximised by its frame on every start.
    const QRect normal =
        isMaximized() ? QRect(m_normalPos, normalGeometry().size()) : QRect(pos(), size());
    layout.left = normal.x();
    layout.top = normal.y();
    layout.width = normal.width();
    layout.height = normal.height();
    layout.split1 = m_topSplit->sizes().value(0);
    layout.split2 = m_bottomSplit->sizes().value(0);
    layout.split3 = m_clientSplit->sizes().value(0);
    layout.maximized = isMaximized();
    return layout;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_exiting) {
        event->accept();
        return;
    }
    if (!m_app.CloseQuery()) {
        event->ignore();
        return;
    }
    exitProgram();
    event->accept();
}

void MainWindow::exitProgram() {
    if (m_exiting)
        return;
    m_exiting = true;
    m_app.Exit(currentLayout());
    m_tray->hide();
    if (m_viewer)
        m_viewer->close();
    close();
    QApplication::quit();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        m_normalPos = pos();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    fitStatusBar();
}

void MainWindow::fitStatusBar() {
    const int half = WindowLayout::DefaultSplit(width());
    const bool gaugeShown = m_statusPanels[2]->isVisible();
    m_statusPanels[0]->setFixedWidth(qMax(0, half));
    m_statusPanels[1]->setFixedWidth(gaugeShown ? 0 : qMax(0, half));
}

void MainWindow::showTextViewer(const QString& caption, const QString& text) {
    if (!m_viewer) {
        m_viewer =
            new TextViewerWindow(m_app.statusLog(), m_app.settingsStore(), m_app.prompts(), this);
        m_viewer->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_viewer->open(caption, text, this);
}

void MainWindow::hideToTray() {
    // Without a tray there would be no way back to a hidden window.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        showMinimized();
        return;
    }
    m_tray->show();
    hide();
}

void MainWindow::restoreFromTray() {
    // Back in the state it was hidden in: a maximised window stays maximised.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
    m_tray->hide();
}
