#include "app/Side.h"

#include "net/AsyncSocket.h"
#include "net/FtpSession.h"

Side::Side(SideId id, QObject* parent)
    : QObject(parent), m_id(id), m_session(new FtpSession(this)),
      m_listingSocket(new AsyncSocket(this)) {
    setObjectName(isLeft() ? QStringLiteral("LeftSide") : QStringLiteral("RightSide"));
    m_session->setObjectName(isLeft() ? QStringLiteral("NMFTP1") : QStringLiteral("NMFTP2"));
    m_listingSocket->setObjectName(isLeft() ? QStringLiteral("LSocketList")
                                            : QStringLiteral("RSocketList"));
    m_idleTimer.setObjectName(isLeft() ? QStringLiteral("LIdleTimer")
                                       : QStringLiteral("RIdleTimer"));

    // Not connected: only Connect, Abort and the local-view toggle work.
    for (SideButton b :
         {SideButton::Disconnect, SideButton::Stop, SideButton::Transfer, SideButton::Refresh,
          SideButton::FilterDupes, SideButton::TwoDayFilterDupes})
        ButtonOf(m_buttons, b).enabled = false;
    // The two-day filter shows only when the extra options are on.
    ButtonOf(m_buttons, SideButton::TwoDayFilterDupes).visible = false;
}

Side::~Side() = default;

void Side::setCurrentPath(const QString& path) {
    if (path == m_state.CurrentPath)
        return;
    m_state.CurrentPath = path;
    Q_EMIT currentPathChanged(path);
}

void Side::clearRemoteView() {
    endListing();
    m_rawListing.clear();
    m_listing.clear();
    m_tree.clear();
    m_pathHistory.clear();
    searchPosition = 0;
    Q_EMIT remoteViewCleared();
    Q_EMIT pathHistoryChanged();
}

void Side::beginListing() {
    m_state.ListingActive = true;
    m_listing.beginListing();
    m_tree.beginUpdate();
    Q_EMIT listingStarted();
}

bool Side::endListing() {
    if (!m_state.ListingActive)
        return false;
    m_state.ListingActive = false;
    m_listing.endListing();
    m_tree.endUpdate();
    Q_EMIT listingEnded();
    return true;
}

void Side::listingShown(bool fitColumns) {
    const QModelIndex node = m_tree.FindPath(m_state.CurrentPath,
                                             DirectoryTreeModel::TreeSeparator(m_state.CurrentPath));
    if (node.isValid()) {
        m_treeSelection.setCurrentIndex(node, QItemSelectionModel::ClearAndSelect);
        Q_EMIT treeNodeShown(node);
    }
    if (fitColumns)
        Q_EMIT fitColumnsRequested();
}

QList<int> Side::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : m_listSelection.selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void Side::AddPathHistory(const QString& path) {
    m_pathHistory.prepend(path);
    // The tenth entry goes, as the box always did; the list stays short.
    if (m_pathHistory.size() > 10)
        m_pathHistory.removeAt(9);
    Q_EMIT pathHistoryChanged();
}

void Side::setHeaderText(const QString& text) {
    if (text == m_headerText)
        return;
    m_headerText = text;
    Q_EMIT headerTextChanged(text);
}

void Side::setSummaryText(const QString& text) {
    if (text == m_summaryText)
        return;
    m_summaryText = text;
    Q_EMIT summaryTextChanged(text);
}

void Side::setStatusBarText(const QString& text) {
    if (text == m_statusBarText)
        return;
    m_statusBarText = text;
    Q_EMIT statusBarTextChanged(text);
}

void Side::setButton(SideButton which, const ButtonState& state) {
    ButtonState& current = ButtonOf(m_buttons, which);
    if (current.enabled == state.enabled && current.visible == state.visible &&
        current.imageIndex == state.imageIndex)
        return;
    current = state;
    Q_EMIT buttonChanged(which);
}

void Side::setButtonEnabled(SideButton which, bool enabled) {
    ButtonState state = button(which);
    state.enabled = enabled;
    setButton(which, state);
}

void Side::setButtonVisible(SideButton which, bool visible) {
    ButtonState state = button(which);
    state.visible = visible;
    setButton(which, state);
}

void Side::setButtonImage(SideButton which, int imageIndex) {
    ButtonState state = button(which);
    state.imageIndex = imageIndex;
    setButton(which, state);
}

void Side::setLocalView(bool local) {
    if (local == m_localView)
        return;
    m_localView = local;
    // The local folder's path belongs to the local view only; the remote
    // summary is filled again by the next selection.
    setSummaryText(local ? m_localPath : QString());
    Q_EMIT localViewChanged(local);
}

void Side::LocalFolderFilled(const QString& path) {
    if (m_localView)
        setSummaryText(path);
}

void Side::setLocalPath(const QString& path) {
    if (path == m_localPath)
        return;
    m_localPath = path;
    Q_EMIT localPathChanged(path);
}
