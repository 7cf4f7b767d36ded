#pragma once

#include "app/Colour.h"
#include "app/SideState.h"
#include "remote/DeleteQueueModel.h"

#include <QHash>
#include <QStringList>

class App;
class Side;

// "De&lete": the selected entries of a side's list, or its tree's selected
// directory, are collected in the delete queue and removed from the server,
// either each with one command or recursively: a directory is entered,
// listed afresh and emptied depth-first, and removed once a listing shows it
// empty. Stop, a refusal (recursive) or a lost session end it and leave the
// rest in place.
class RemoteDeletion {
public:
    explicit RemoteDeletion(App& app) : m_app(app) {}

    DeleteQueueModel& queue() { return m_queue; }

    // Asks first; fromTree when the side's tree has the keyboard focus.
    void Delete1Click(SideId side, bool fromTree);

    // A server that lists a deleted name again, or lists without end, stops
    // the deletion instead of holding it forever.
    void setListingLimit(int listings) { m_listingLimit = listings; }

private:
    // False when nothing could be collected or the deletion was stopped.
    bool DeleteItems(Side& side, bool fromTree);
    bool collect(Side& side, bool fromTree, QString& returnPath);
    void nonRecursive(Side& side);
    bool recursive(Side& side);
    // Deletes every file of the queue, last first; false when stopped.
    bool filesPass(Side& side, bool stopOnRefusal);
    // CWD and a listing read afresh; false when the side is not in dir then.
    bool enterFresh(Side& side, const QString& dir);
    // The side's directory with its separator; PWD asked (twice) when unknown.
    QString currentDirectory(Side& side);
    // The names of the pane's listing, "." and ".." left out.
    QStringList listedNames(Side& side) const;
    // Queues path + the entry; false for a name that is not one plain
    // component, which is refused.
    bool enqueue(const QString& directory, const DirEntry& entry, bool atTop);
    void removeDirectory(Side& side, const QString& path);
    void stop(const QString& why);
    void log(const QString& text, Colour colour);

    App& m_app;
    DeleteQueueModel m_queue;
    QHash<QString, QStringList> m_lastListing;
    int m_listings = 0;
    int m_listingLimit = 100000;
};
