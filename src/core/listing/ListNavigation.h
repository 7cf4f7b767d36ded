#pragma once

#include "app/SideState.h"
#include "listing/ColumnFit.h"

#include <QModelIndex>
#include <QObject>
#include <QString>
#include <QTimer>

class App;
class Side;

// What the user does in a side's list, tree and path box: moving between
// directories, sorting by a column, finding an entry, the raw listing, and
// the column menu. The views only forward; everything is decided here.
class ListNavigation : public QObject {
    Q_OBJECT
public:
    explicit ListNavigation(App& app);

    // Double click on an entry: files follow "On Double Click", directories
    // are entered unless a transfer or delete runs on the side.
    void ListDoubleClick(SideId side, int row);
    // Enter in the list: the selected directory is entered.
    void ListEnter(SideId side);
    void PathBoxEnter(SideId side, const QString& text);
    void TreeDoubleClick(SideId side, const QModelIndex& node);
    // The path of a tree node as the tree builds it ("unknown" for none).
    QString TreeNodePath(SideId side, const QModelIndex& node) const;
    void ColumnClick(SideId side, int column);
    // The Delete key in a list: the active side's delete command, when connected.
    void DeleteKey();

    // The active side's list, searched for a name containing text (any
    // case): from the top, or on from the last one found.
    bool Find(const QString& text);
    bool FindNext();
    QString searchText() const { return m_searchText; }

    // The last listing's lines, for the viewer and the clipboard.
    QString RawDirectoryText(SideId side) const;
    QString RawDirectoryCaption(SideId side) const;
    void CopyDirectoryToClipboard(SideId side);

    // Clicks and keys in a list restart it; when it fires, the active
    // side's summary follows the selection.
    QTimer& multiTimer() { return m_multiTimer; }
    void restartMultiTimer() { m_multiTimer.start(); }

    // The column menu: which optional columns both lists show.
    const ColumnChoice& columns() const { return m_columns; }
    void SetColumnShown(int column, bool shown);
    // The optional columns as the settings file has them.
    void ResetColumns(bool owner, bool group, bool attrib);
    void ClearCache();

Q_SIGNALS:
    // A file was double-clicked with "On Double Click" 1 or 2: queue it,
    // and start the queue when startQueue.
    void fileActivated(SideId side, int row, bool startQueue);
    void columnsChanged();
    void deleteRequested(SideId side);

private:
    void enterDirectory(Side& side, const QString& name, bool absolute);
    bool findFrom(Side& side, int start);

    App& m_app;
    QTimer m_multiTimer;
    QString m_searchText;
    ColumnChoice m_columns;
};
