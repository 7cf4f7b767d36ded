#pragma once

#include "app/Colour.h"
#include "app/SideButtons.h"
#include "app/SideState.h"
#include "listing/DirectoryCache.h"
#include "listing/DirectoryTree.h"
#include "listing/ListingModel.h"

#include <QItemSelectionModel>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <array>

class AsyncSocket;
class FtpSession;

// One of the two sides: its FTP session, its listing socket, its keep-alive
// timer, its state flags and what the window shows of it. Every per-side
// operation takes a Side, so no logic exists twice.
class Side : public QObject {
    Q_OBJECT
public:
    explicit Side(SideId id, QObject* parent = nullptr);
    ~Side() override;

    SideId id() const { return m_id; }
    bool isLeft() const { return m_id == SideId::Left; }
    FtpSession& session() { return *m_session; }
    AsyncSocket& listingSocket() { return *m_listingSocket; }
    QTimer& idleTimer() { return m_idleTimer; }
    SideState& state() { return m_state; }
    const SideState& state() const { return m_state; }

    // Blue for the left side's lines in the status window, green for the right.
    Colour statusColour() const { return isLeft() ? clBlue : clGreen; }
    // The status-bar panel that carries the side's short status text.
    int statusPanel() const { return isLeft() ? 0 : 1; }

    // The remote listing, its tree and what the views select in them.
    ListingModel& listing() { return m_listing; }
    QItemSelectionModel& listSelection() { return m_listSelection; }
    DirectoryTreeModel& tree() { return m_tree; }
    QItemSelectionModel& treeSelection() { return m_treeSelection; }
    DirectoryCache& cache() { return m_cache; }
    // The lines of the last listing, for the raw viewer.
    QStringList& rawListing() { return m_rawListing; }
    // Rows of the selected entries, in list order.
    QList<int> selectedRows() const;

    // The path box's drop-down: newest first.
    const QStringList& pathHistory() const { return m_pathHistory; }
    void AddPathHistory(const QString& path);

    // Where Find Next goes on: the row after the last one found.
    int searchPosition = 0;
    // One toggle per sortable column: the last click sorted it descending.
    std::array<bool, 5> sortToggles{};

    // The server's current directory, as the path box shows it.
    QString currentPath() const { return m_state.CurrentPath; }
    void setCurrentPath(const QString& path);

    // The remote list, tree and path box are emptied (the connection ended).
    void clearRemoteView();
    // A listing loads: the views show it once it is complete.
    void beginListing();
    // Ends a listing's loading, if one is loading; true when it was.
    bool endListing();
    // The refresh is done: views fit their columns (when connected) and
    // show the tree down to the current directory.
    void listingShown(bool fitColumns);

    // What the window shows of this side.
    QString headerText() const { return m_headerText; }
    void setHeaderText(const QString& text);
    QString summaryText() const { return m_summaryText; }
    void setSummaryText(const QString& text);
    QString statusBarText() const { return m_statusBarText; }
    void setStatusBarText(const QString& text);
    const SideButtonStates& buttons() const { return m_buttons; }
    const ButtonState& button(SideButton which) const { return ButtonOf(m_buttons, which); }
    void setButtonEnabled(SideButton which, bool enabled);
    void setButtonVisible(SideButton which, bool visible);
    void setButtonImage(SideButton which, int imageIndex);

    // The side shows the local disk instead of its remote listing. The
    // summary shows the local folder while it does, and is emptied when the
    // side goes back to its remote listing.
    bool localView() const { return m_localView; }
    void setLocalView(bool local);
    // The local pane's folder.
    QString localPath() const { return m_localPath; }
    void setLocalPath(const QString& path);
    // The local pane has loaded its folder: the summary shows its path while
    // the side shows the local disk.
    void LocalFolderFilled(const QString& path);
    // Something was written into the local folder: the pane reads it again.
    void refreshLocalFolder() { Q_EMIT localFolderRefreshRequested(); }
    // The remote list takes no clicks while a file is fetched for viewing.
    bool listEnabled() const { return m_listEnabled; }
    void setListEnabled(bool enabled) {
        m_listEnabled = enabled;
        Q_EMIT listEnabledChanged(enabled);
    }

Q_SIGNALS:
    void currentPathChanged(const QString& path);
    void remoteViewCleared();
    void listingStarted();
    void listingEnded();
    // The view fits the list's columns to the new listing.
    void fitColumnsRequested();
    // The view opens the tree down to this node and shows it selected.
    void treeNodeShown(const QModelIndex& node);
    void pathHistoryChanged();
    void headerTextChanged(const QString& text);
    void summaryTextChanged(const QString& text);
    void statusBarTextChanged(const QString& text);
    void buttonChanged(SideButton which);
    void localViewChanged(bool local);
    void localPathChanged(const QString& path);
    void localFolderRefreshRequested();
    void listEnabledChanged(bool enabled);

private:
    void setButton(SideButton which, const ButtonState& state);

    SideId m_id;
    FtpSession* m_session;
    AsyncSocket* m_listingSocket;
    QTimer m_idleTimer;
    SideState m_state;
    ListingModel m_listing;
    QItemSelectionModel m_listSelection{&m_listing};
    DirectoryTreeModel m_tree;
    QItemSelectionModel m_treeSelection{&m_tree};
    DirectoryCache m_cache;
    QStringList m_rawListing;
    QStringList m_pathHistory;
    QString m_headerText;
    QString m_summaryText;
    QString m_statusBarText;
    SideButtonStates m_buttons;
    bool m_localView = false;
    bool m_listEnabled = true;
    QString m_localPath;
};
