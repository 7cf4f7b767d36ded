#pragma once

#include "app/SideButtons.h"

#include <QWidget>

#include <array>

class LocalPane;
class QAction;
class QComboBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QSplitter;
class QStackedWidget;
class QToolBar;
class QToolButton;
class QTreeView;
class RemoteViews;
class Side;

// One side of the main window: toolbar, header, remote view (path box, tree
// and list) or the local pane, and the summary line. Built twice, once per
// side, from the same code; it shows its Side and forwards clicks.
class SidePanel : public QWidget {
    Q_OBJECT
public:
    SidePanel(Side& side, QWidget* parent = nullptr);

    Side& side() { return m_side; }
    QToolButton* button(SideButton which) const { return m_buttons[std::size_t(which)]; }
    QLabel* header() const { return m_header; }
    QLabel* summary() const { return m_summary; }
    QTreeView* list() const { return m_list; }
    QTreeView* tree() const { return m_tree; }
    QSplitter* treeSplit() const { return m_treeSplit; }
    QComboBox* pathBox() const { return m_pathBox; }
    LocalPane* localPane() const { return m_local; }
    QToolBar* toolBar() const { return m_toolBar; }
    // The remote list, tree and path box bound to the side's models.
    RemoteViews* remoteViews() const { return m_remoteViews; }
    void setRemoteViews(RemoteViews* views) { m_remoteViews = views; }

    // Paints the header as the active side's (yellow) or not.
    void setActive(bool active);
    // Shows the tree at half the width, or hides it.
    void showTree(bool shown);
    void setTreeVertical(bool vertical);
    void attachMenus(QMenu* listMenu, QMenu* treeMenu, QMenu* siteMenu, QMenu* localMenu);

Q_SIGNALS:
    // Any control of the side got the focus.
    void activated();
    void buttonClicked(SideButton which);
    void connectMenuOpening();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolBar();
    QWidget* buildRemoteView();
    void showButton(SideButton which);
    void showLocalView(bool local);
    // The local menu's item whose shortcut the key is, if it can run.
    QAction* localMenuAction(const QKeyEvent* key) const;

    Side& m_side;
    QToolBar* m_toolBar = nullptr;
    std::array<QToolButton*, SideButtonCount> m_buttons{};
    QLabel* m_header = nullptr;
    QLabel* m_summary = nullptr;
    QStackedWidget* m_stack = nullptr;
    QComboBox* m_pathBox = nullptr;
    QSplitter* m_treeSplit = nullptr;
    QTreeView* m_tree = nullptr;
    QTreeView* m_list = nullptr;
    LocalPane* m_local = nullptr;
    QMenu* m_localMenu = nullptr;
    RemoteViews* m_remoteViews = nullptr;
};
