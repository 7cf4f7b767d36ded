#pragma once

#include "app/SideState.h"

#include <QList>
#include <QLocale>
#include <QModelIndex>
#include <QString>

#include <vector>

class App;

// An item of a local pane offered for upload.
struct LocalItem {
    QString path; // full local path
    bool isDirectory = false;
    qint64 sizeKb = 0; // as the local list shows it
};

// An upload's size column: whole kilobytes, as the local list counts them.
QString UploadSizeText(qint64 sizeKb, const QLocale& locale);

// Turns pane items into queue entries: site-to-site and downloads from a
// side's remote list, site-to-site from its tree, uploads from a local pane.
class QueueAdding {
public:
    enum class Mode { SiteToSite, Download };

    explicit QueueAdding(App& app) : m_app(app) {}

    // The side's selected entries (or all of them) in list order. askName
    // asks a new target name for each file (Transfer As). False when nothing
    // could be added because a current directory is unknown.
    bool AddToQueue(SideId side, bool all, Mode mode, bool askName = false);
    // "&Transfer", "Transfer &As" and "Local &Download" of a pane: queue the
    // selection, then run the queue. Transfer As needs a file as the first
    // selected row.
    void QueueAndTransfer(SideId side, Mode mode, bool askName = false);
    // The tree's "&Transfer": its node, then the run.
    void QueueTreeAndTransfer(SideId side);
    // Items of the local pane of side `from`, to the other side's server.
    void AddUploads(SideId from, const std::vector<LocalItem>& items);
    // The side's selected tree node, as a directory to copy to the other
    // side's current directory or to targetOverride.
    void QueueTreeSelection(SideId side, const QString& targetOverride = {});

private:
    // Asks PWD (twice at most) when a side's directory is not known.
    bool knowsCurrentDirectory(SideId side);

    App& m_app;
};
