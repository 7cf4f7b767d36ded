#pragma once

#include "app/DataPaths.h"
#include "app/ErrorLog.h"
#include "app/PaneLayout.h"
#include "app/Settings.h"
#include "app/SettingsStore.h"
#include "app/Side.h"
#include "app/StatusLog.h"
#include "commands/CustomCommands.h"
#include "listing/ListNavigation.h"
#include "listing/SkipRules.h"
#include "listing/ListingRetrieval.h"
#include "services/IdentServer.h"
#include "services/UpdateCheck.h"
#include "sites/ConnectionLifecycle.h"
#include "sites/QuickConnect.h"
#include "sites/SiteStats.h"
#include "sites/SiteStorage.h"
#include "dupes/DupeFilter.h"
#include "remote/RemoteDeletion.h"
#include "remote/RemoteFileOps.h"
#include "transfer/LocalTransfer.h"
#include "transfer/QueueAdding.h"
#include "transfer/QueueCommands.h"
#include "transfer/QueueModel.h"
#include "transfer/QueueRunner.h"
#include "transfer/TransferTicker.h"
#include "transfer/TransferRunState.h"

#include <QAbstractItemModel>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class DesktopServices;

class UserPrompts;

// Everything that lives as long as the program: the two sides, the status
// log, the loaded settings and pattern lists, the shared timers and the
// window-wide state. The GUI binds to it and forwards user commands here.
class App : public QObject {
    Q_OBJECT
public:
    App(DataPaths paths, DesktopServices& services, UserPrompts& prompts,
        QObject* parent = nullptr);
    ~App() override;

    static constexpr const char* Title = "Korvane";
    static QString RunningTitle();

    Side& side(SideId id) { return id == SideId::Left ? *m_left : *m_right; }
    Side& left() { return *m_left; }
    Side& right() { return *m_right; }
    StatusLog& statusLog() { return m_statusLog; }
    ErrorLog& errorLog() { return m_errorLog; }
    SettingsStore& settingsStore() { return m_store; }
    const DataPaths& paths() const { return m_paths; }
    const Settings& settings() const { return m_settings; }
    const QStringList& skipList() const { return m_skipList; }
    const QStringList& favourites() const { return m_favourites; }
    DesktopServices& services() { return m_services; }
    UserPrompts& prompts() { return m_prompts; }
    PaneLayout& paneLayout() { return m_paneLayout; }
    QTimer& transferTimer() { return m_transferTimer; }
    ConnectionLifecycle& connections() { return *m_connections; }
    ListingRetrieval& listing() { return m_listing; }
    ListNavigation& navigation() { return m_navigation; }
    IdentServer& identServer() { return m_identServer; }
    UpdateCheck& updateCheck() { return m_updateCheck; }
    TransferRunState& runState() { return m_runState; }
    // The saved sites and their statistics; nothing of them is cached.
    SiteStorage siteStorage() const;
    SiteStats& siteStats() { return m_siteStats; }
    QuickConnectHistory quickConnectHistory() const;

    // Start-up, in the order the window runs it: create() when the window is
    // built, show() when it is first shown (returns the layout to apply).
    void create();
    WindowLayout show();
    // Reads every setting and both pattern lists and applies their effects.
    void LoadSettings();
    // After Preferences wrote the file: apply what changed, then reload.
    void applyPreferences(const Settings& before);

    // Connects the sides the command line names (left, then right after ";");
    // which sides it named.
    std::array<bool, 2> RunCommandLineConnect(const QStringList& arguments);
    // The arguments the window connects with once it is shown; empty for an
    // unattended run, which connects by itself.
    QStringList commandLine() const { return m_commandLine; }
    void setCommandLine(const QStringList& arguments) { m_commandLine = arguments; }
    // An unattended run: the window's layout and settings are not written back.
    bool batchMode() const { return m_batchMode; }
    void setBatchMode(bool on) { m_batchMode = on; }

    // Closing: whether the window may close; then the orderly exit.
    bool CloseQuery();
    void Exit(const WindowLayout& layout);
    bool closing() const { return m_closing; }

    // Window-wide state.
    SideId activeSide() const { return m_activeSide; }
    void setActiveSide(SideId side);
    SideId connectMenuSide() const { return m_connectMenuSide; }
    void setConnectMenuSide(SideId side) { m_connectMenuSide = side; }
    QString title() const { return m_title; }
    // Also sets the tray tip to the title.
    void setTitle(const QString& title);
    // The tray tip alone (during a transfer it differs from the title).
    void setTrayTip(const QString& tip) { Q_EMIT trayTipChanged(tip); }
    bool allOptionsVisible() const { return m_settings.all; }
    // The skip list's on/off for this session ("&Skip List" does not write it).
    bool skipActive() const { return m_settings.skip; }
    void setSkipActive(bool on);
    // What the skip and favourites tests read.
    SkipOptions skipOptions() const;
    // "Cache Directories": navigation replays listings seen before.
    bool cacheDirectories() const { return m_settings.cache; }
    // Sort column and direction of the lists: from the settings at start-up,
    // then changed by column clicks (not written back).
    SortOrder& listSortOrder() { return m_listSortOrder; }

    // Hidden menu items the settings file can reveal.
    bool autoRefreshItemsVisible() const { return m_settings.autoRefresh == 1; }
    bool raceItemsVisible() const { return m_settings.race == 1; }
    // "&Auto Refresh" is checked and usable.
    bool autoRefreshChecked() const {
        return m_settings.autoRefresh != 0 && m_settings.autoRefreshEnabled;
    }
    // "&Transfer Complete": "&Idle" (true) or "&Disconnect"; every login
    // returns it to Idle without writing the key.
    bool onCompleteIdle() const { return m_settings.onCompleteIdle; }
    void setOnCompleteIdle(bool idle);

    // Menu commands.
    // The side's Abort button: every wait of its session ends.
    void Abort(SideId side);
    void ToggleAllOptions();
    // Writes a menu toggle's key at once and keeps the loaded value in step.
    bool WriteToggle(const QByteArray& key, bool on);
    void OpenWhatsNew();
    void OpenHelp();
    void StartNewSession();
    // The side's local pane starts here: the download folder, else temp.
    QString startFolder() const;

    // The transfer queue.
    QueueModel& queue() { return m_queue; }
    QueueCommands& queueCommands() { return m_queueCommands; }
    QueueAdding& queueAdding() { return m_queueAdding; }
    TransferTicker& transferTicker() { return m_transferTicker; }
    QueueRunner& queueRunner() { return m_queueRunner; }
    LocalTransfer& localTransfer() { return m_localTransfer; }
    RemoteFileOps& remoteFileOps() { return m_remoteFileOps; }
    RemoteDeletion& deletion() { return m_deletion; }
    DupeFilter& dupeFilter() { return m_dupeFilter; }
    // The defined commands and the "&Commands" menu's own entries.
    CustomCommands& customCommands() { return m_customCommands; }
    bool queueIsEmpty() const { return m_queue.isEmpty(); }

    // Runs a user command; errors nobody caught go to the error log and
    // the status window instead of ending the program.
    void RunGuarded(const std::function<void()>& command);
    void ReportUnhandledError(const QString& className, const QString& message);

    QString whatsNewPath() const;
    QString helpPath() const;

Q_SIGNALS:
    void activeSideChanged(SideId side);
    void titleChanged(const QString& title);
    void trayTipChanged(const QString& tip);
    void allOptionsChanged(bool visible);
    void settingsLoaded();
    void onCompleteIdleChanged(bool idle);

private:
    void resetTransferDisplay();
    void applyStatusLogOptions();
    void applyIdentSettings(const Settings* before);
    void applyListSettings();
    void applyMarkColours();

    DataPaths m_paths;
    DesktopServices& m_services;
    UserPrompts& m_prompts;
    SettingsStore m_store;
    SiteStats m_siteStats;
    StatusLog m_statusLog;
    ErrorLog m_errorLog;
    Side* m_left;
    Side* m_right;
    Settings m_settings;
    QStringList m_skipList;
    QStringList m_favourites;
    PaneLayout m_paneLayout;
    QTimer m_transferTimer;
    ListingRetrieval m_listing{*this};
    ListNavigation m_navigation{*this};
    SortOrder m_listSortOrder;
    IdentServer m_identServer;
    UpdateCheck m_updateCheck{m_statusLog, m_settings};
    TransferRunState m_runState;
    ConnectionLifecycle* m_connections;
    QueueModel m_queue;
    QueueCommands m_queueCommands{*this};
    QueueAdding m_queueAdding{*this};
    TransferTicker m_transferTicker{*this};
    QueueRunner m_queueRunner{*this};
    LocalTransfer m_localTransfer{*this};
    RemoteFileOps m_remoteFileOps{*this};
    RemoteDeletion m_deletion{*this};
    DupeFilter m_dupeFilter{*this};
    CustomCommands m_customCommands{*this};
    SideId m_activeSide = SideId::Left;
    SideId m_connectMenuSide = SideId::Left;
    QString m_title = QString::fromLatin1(Title);
    bool m_closing = false;
    bool m_batchMode = false;
    QStringList m_commandLine;
};
