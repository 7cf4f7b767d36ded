#pragma once

#include "app/Colour.h"
#include "app/SideState.h"
#include "transfer/QueueEntry.h"

#include <QString>

#include <vector>

class App;
class Side;

// Turns the queue's head directory into entries right behind it, and
// creates the directory on the destination, so a tree is copied depth-first
// with each directory made before its contents arrive.
class DirectoryExpansion {
public:
    enum class Mode { SiteToSite, Download, Upload };

    explicit DirectoryExpansion(App& app) : m_app(app) {}

    // sourceSide: the side whose remote list (site to site, download) or
    // local list (upload) holds the directory.
    void ExpandQueuedDirectory(const QString& dirPath, SideId sourceSide, Mode mode);
    // Before a site-to-site directory entry: the directory the previous
    // expansion created is removed again, on the server it was made on, when
    // it received no file and the new entry lies outside it.
    void CleanUpBefore(const QueueEntry& head);
    // At the end of a run: the last created directory, if it stayed empty.
    void FinalCleanUp();

    // A local folder's items as its list shows them: folders first, then
    // files, each by name without regard to case; hidden items left out.
    struct LocalFolderItem {
        QString name;
        bool isDirectory = false;
        qint64 size = 0;
    };
    static std::vector<LocalFolderItem> LocalFolderItems(const QString& folder);

private:
    bool enterRemoteSource(Side& source, const QString& dir);
    std::vector<QueueEntry> remoteEntries(Side& source, Side& destination, const QueueEntry& head,
                                          Mode mode);
    void expandUpload(const QString& dir, SideId localSide, const QueueEntry& head);
    void removeCreatedDirectory();
    void log(const QString& text, Colour colour);

    App& m_app;
};
