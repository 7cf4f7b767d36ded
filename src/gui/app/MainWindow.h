#pragma once

#include "app/PaneLayout.h"
#include "app/SideState.h"

#include <QMainWindow>
#include <QPointer>

#include <array>

class App;
class PreferencesDialog;
class QDialog;
class QMenu;
class QProgressBar;
class QSplitter;
class QStackedWidget;
class QSystemTrayIcon;
class QTreeView;
class SidePanel;
class StatusPane;
class StatusPanelLabel;
class TextViewerWindow;
struct WindowLayout;

// The program's one top-level window: the two sides, the transfer queue, the
// status pane and the status bar. It shows the App's state and forwards the
// user's commands to it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(App& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    App& app() { return m_app; }
    SidePanel* sidePanel(SideId side) const {
        return side == SideId::Left ? m_leftPanel : m_rightPanel;
    }
    StatusPane* statusPane() const { return m_statusPane; }
    QSplitter* clientSplit() const { return m_clientSplit; }
    QSplitter* topSplit() const { return m_topSplit; }
    QSplitter* bottomSplit() const { return m_bottomSplit; }
    QAction* action(const char* name) const;
    QMenu* popupMenu(const char* name) const;
    // The layout as it would be saved now.
    WindowLayout currentLayout() const;
    // The orderly exit, without the close question.
    void exitProgram();
    TextViewerWindow* textViewer() const;
    PreferencesDialog* preferencesDialog() const;

public Q_SLOTS:
    void openPreferences();
    void hideToTray();
    void restoreFromTray();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // Construction, by concern.
    void buildPanes();
    void buildMenus();
    void buildStatusBar();
    void buildTray();
    void bindApp();
    // Command wiring lives in MainWindowCommands.cpp.
    void wireCommands();
    void wireSettingsMenus();
    void wireLayoutMenus();
    void wireLocalMenu();
    void wireDirectoryCommands();
    void wireQueueAdding();
    // Rename, move, chmod, delete, make and change directory; the delete
    // queue's view in the transfer queue's place.
    void wireFileOperations();
    // The duplicate filter's menu items, actions and gauge.
    void wireDupeFilter();
    void updatePaneMenus();
    void runSideButton(SideId side, int button);
    // Sites and connections live in MainWindowSites.cpp.
    void wireSiteCommands();
    void rebuildSiteMenu();
    void openQuickConnect();
    void openSiteManager();

    void applyLayout(const WindowLayout& layout);
    PaneSplits currentSplits() const;
    void showPaneChecks();
    void applySettingsToWidgets();
    void showActiveSide(SideId side);
    void toggleStatusPane(bool status);
    void setBottomStyle(bool vertical);
    void showTextViewer(const QString& caption, const QString& text);
    void fitStatusBar();

    App& m_app;
    SidePanel* m_leftPanel = nullptr;
    SidePanel* m_rightPanel = nullptr;
    QSplitter* m_clientSplit = nullptr;
    QSplitter* m_topSplit = nullptr;
    QSplitter* m_bottomSplit = nullptr;
    QTreeView* m_queue = nullptr;
    QTreeView* m_deleteView = nullptr;
    QStackedWidget* m_queueStack = nullptr;
    StatusPane* m_statusPane = nullptr;
    std::array<StatusPanelLabel*, 3> m_statusPanels{};
    QProgressBar* m_gauge = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu* m_popUp = nullptr;
    QMenu* m_popTree = nullptr;
    QMenu* m_pmQueue = nullptr;
    QMenu* m_popSite = nullptr;
    QMenu* m_localPop = nullptr;
    QMenu* m_popupTray = nullptr;
    QPointer<TextViewerWindow> m_viewer;
    QPointer<PreferencesDialog> m_preferences;
    QPointer<QDialog> m_siteManager;
    bool m_shown = false;
    bool m_exiting = false;
    // Where the window's frame stood when it was last neither maximised nor
    // minimised; saved for a maximised window.
    QPoint m_normalPos;
};
