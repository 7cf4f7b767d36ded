#include "app/SidePanel.h"

#include "app/Side.h"
#include "local/LocalPane.h"
#include "widgets/StandardIcons.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <utility>

namespace {

struct ButtonLook {
    SideButton which;
    int leftNumber;
    int rightNumber;
    const char* hint;
    QStyle::StandardPixmap icon;
};

// Toolbar order, the buttons' names on each side and their hints.
constexpr ButtonLook Looks[] = {
    {SideButton::Connect, 1, 9, "Connect", QStyle::SP_DriveNetIcon},
    {SideButton::Disconnect, 2, 10, "Disconnect", QStyle::SP_DialogCloseButton},
    {SideButton::Abort, 4, 12, "Abort", QStyle::SP_BrowserStop},
    {SideButton::Stop, 17, 18, "Stop Transfer or Delete", QStyle::SP_MediaStop},
    {SideButton::Transfer, 6, 14, "Transfer", QStyle::SP_ArrowForward},
    {SideButton::Refresh, 7, 15, "Refresh", QStyle::SP_BrowserReload},
    {SideButton::FilterDupes, 8, 16, "Filter duplicates", QStyle::SP_FileDialogContentsView},
    {SideButton::TwoDayFilterDupes, 21, 22, "2 day filter duplicates",
     QStyle::SP_FileDialogDetailedView},
    {SideButton::ToggleLocalView, 25, 26, "Toggle Local View", QStyle::SP_DirHomeIcon},
};

QString sideName(const Side& side, const char* left, const char* right) {
    return QString::fromLatin1(side.isLeft() ? left : right);
}

} // namespace

SidePanel::SidePanel(Side& side, QWidget* parent) : QWidget(parent), m_side(side) {
    setObjectName(sideName(side, "LeftPanel", "RightPanel"));
    m_header = new QLabel(this);
    m_header->setObjectName(sideName(side, "Panel3", "Panel4"));
    m_header->setAutoFillBackground(true);
    m_header->setFrameShape(QFrame::Panel);
    m_header->setFrameShadow(QFrame::Sunken);
    m_summary = new QLabel(this);
    m_summary->setObjectName(sideName(side, "Panel5", "Panel6"));
    m_summary->setFrameShape(QFrame::Panel);
    m_summary->setFrameShadow(QFrame::Sunken);
    m_summary->setMinimumWidth(0);
    m_summary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_header->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    buildToolBar();
    m_stack = new QStackedWidget(this);
    m_stack->addWidget(buildRemoteView());
    m_local = new LocalPane(sideName(side, "LlocalList", "RlocalList"), this);
    m_stack->addWidget(m_local);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_header);
    layout->addWidget(m_stack, 1);
    layout->addWidget(m_summary);

    for (QWidget* w : {static_cast<QWidget*>(m_summary), static_cast<QWidget*>(m_tree),
                       static_cast<QWidget*>(m_list), static_cast<QWidget*>(m_local->list()),
                       static_cast<QWidget*>(m_header)})
        w->installEventFilter(this);

    m_header->setText(side.headerText());
    m_summary->setText(side.summaryText());
    connect(&side, &Side::headerTextChanged, m_header, &QLabel::setText);
    connect(&side, &Side::summaryTextChanged, m_summary, &QLabel::setText);
    connect(&side, &Side::buttonChanged, this, &SidePanel::showButton);
    connect(&side, &Side::localViewChanged, this, &SidePanel::showLocalView);
    connect(&side, &Side::localPathChanged, m_local,
            [this](const QString& path) { m_local->setPath(path); });
    connect(m_local, &LocalPane::pathChanged, &side, &Side::setLocalPath);
    connect(m_local, &LocalPane::filled, &side, &Side::LocalFolderFilled);
    connect(&side, &Side::localFolderRefreshRequested, m_local, &LocalPane::refresh);
    connect(&side, &Side::listEnabledChanged, m_list, &QWidget::setEnabled);
    m_local->setPath(side.localPath());
    for (const ButtonLook& look : Looks)
        showButton(look.which);
    showLocalView(side.localView());
    setActive(false);
}

void SidePanel::buildToolBar() {
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(sideName(m_side, "ToolBar1", "ToolBar2"));
    m_toolBar->setIconSize(QSize(16, 16));
    for (const ButtonLook& look : Looks) {
        auto* button = new QToolButton(m_toolBar);
        button->setObjectName(QStringLiteral("ToolButton%1")
                                  .arg(m_side.isLeft() ? look.leftNumber : look.rightNumber));
        button->setToolTip(QString::fromLatin1(look.hint));
        // The buttons show only icons: screen readers say the hint instead.
        button->setAccessibleName(QString::fromLatin1(look.hint));
        button->setIcon(StandardIcon(look.icon));
        button->setAutoRaise(true);
        m_toolBar->addWidget(button);
        m_buttons[std::size_t(look.which)] = button;
        const SideButton which = look.which;
        connect(button, &QToolButton::clicked, this,
                [this, which] { Q_EMIT buttonClicked(which); });
    }
}

QWidget* SidePanel::buildRemoteView() {
    auto* remote = new QWidget(this);
    m_pathBox = new QComboBox(remote);
    m_pathBox->setObjectName(sideName(m_side, "lcb", "rcb"));
    m_pathBox->setEditable(true);
    m_pathBox->setAccessibleName(sideName(m_side, "Left path", "Right path"));
    m_treeSplit = new QSplitter(Qt::Horizontal, remote);
    m_treeSplit->setObjectName(sideName(m_side, "LTreeSplit", "RTreeSplit"));
    m_treeSplit->setChildrenCollapsible(true);
    m_tree = new QTreeView(m_treeSplit);
    m_tree->setObjectName(sideName(m_side, "LTree", "RTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setAccessibleName(sideName(m_side, "Left directory tree", "Right directory tree"));
    // Rows of one font and icon size: measuring each one again for every
    // change of the tree would cost more than the listing.
    m_tree->setUniformRowHeights(true);
    m_list = new QTreeView(m_treeSplit);
    m_list->setObjectName(sideName(m_side, "Llv", "Rlv"));
    m_list->setAccessibleName(sideName(m_side, "Left listing", "Right listing"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setUniformRowHeights(true);
    // Every column keeps the width the settings give it, the last one too.
    m_list->header()->setStretchLastSection(false);
    m_treeSplit->setSizes({0, 1});

    auto* layout = new QVBoxLayout(remote);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pathBox);
    layout->addWidget(m_treeSplit, 1);
    return remote;
}

void SidePanel::attachMenus(QMenu* listMenu, QMenu* treeMenu, QMenu* siteMenu, QMenu* localMenu) {
    auto popUpOn = [](QWidget* widget, QMenu* menu) {
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, menu,
                [widget, menu](const QPoint& at) { menu->popup(widget->mapToGlobal(at)); });
    };
    popUpOn(m_list, listMenu);
    popUpOn(m_tree, treeMenu);
    popUpOn(m_local->list(), localMenu);
    // A remote view's menu shortcuts work while it has the focus, but F5 there
    // stays the window's Refresh, which acts on the active side.
    for (auto [view, menu] : {std::pair<QWidget*, QMenu*>{m_list, listMenu}, {m_tree, treeMenu}}) {
        for (QAction* action : menu->actions()) {
            if (!action->shortcut().isEmpty() && action->shortcut() != QKeySequence(Qt::Key_F5)) {
                action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
                view->addAction(action);
            }
        }
    }
    // The local list claims its own menu's keys, F5 included (eventFilter).
    m_localMenu = localMenu;
    QToolButton* connectButton = button(SideButton::Connect);
    connectButton->setMenu(siteMenu);
    connectButton->setPopupMode(QToolButton::InstantPopup);
    // The drop-down is shared: the button about to open it decides which
    // side connects (seen in eventFilter, before the button opens the menu).
    connectButton->installEventFilter(this);
}

void SidePanel::setActive(bool active) {
    QPalette palette = m_header->palette();
    palette.setColor(QPalette::Window,
                     active ? QColor(255, 255, 0) : this->palette().color(QPalette::Button));
    m_header->setPalette(palette);
}

void SidePanel::showTree(bool shown) {
    const int total =
        m_treeSplit->orientation() == Qt::Horizontal ? m_treeSplit->width() : m_treeSplit->height();
    const int half = qMax(1, total / 2);
    m_treeSplit->setSizes(shown ? QList<int>{half, qMax(1, total - half)}
                                : QList<int>{0, qMax(1, total)});
}

void SidePanel::setTreeVertical(bool vertical) {
    // A vertical splitter bar puts the tree beside the list.
    m_treeSplit->setOrientation(vertical ? Qt::Horizontal : Qt::Vertical);
}

void SidePanel::showButton(SideButton which) {
    QToolButton* widget = button(which);
    const ButtonState& state = m_side.button(which);
    widget->setEnabled(state.enabled);
    // Hidden toolbar widgets are hidden through their toolbar action.
    for (QAction* action : m_toolBar->actions()) {
        if (m_toolBar->widgetForAction(action) == widget)
            action->setVisible(state.visible);
    }
    if (which == SideButton::Stop)
        widget->setIcon(StandardIcon(
            state.imageIndex == StopImageActive ? QStyle::SP_MediaPause : QStyle::SP_MediaStop));
}

void SidePanel::showLocalView(bool local) {
    m_stack->setCurrentIndex(local ? 1 : 0);
}

QAction* SidePanel::localMenuAction(const QKeyEvent* key) const {
    if (!m_localMenu)
        return nullptr;
    const QKeySequence pressed(key->keyCombination());
    for (QAction* action : m_localMenu->actions()) {
        if (action->isEnabled() && !action->shortcut().isEmpty() && action->shortcut() == pressed)
            return action;
    }
    return nullptr;
}

bool SidePanel::eventFilter(QObject* watched, QEvent* event) {
    const bool key = event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
    if (watched == m_local->list() && key) {
        // Claiming the override keeps a window shortcut on the same key from
        // taking it; the key press then comes here.
        if (QAction* action = localMenuAction(static_cast<QKeyEvent*>(event))) {
            if (event->type() == QEvent::KeyPress)
                action->trigger();
            event->accept();
            return true;
        }
    }
    if (watched == button(SideButton::Connect)) {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress)
            Q_EMIT connectMenuOpening();
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress)
        Q_EMIT activated();
    return QWidget::eventFilter(watched, event);
}
