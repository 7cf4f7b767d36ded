#pragma once

#include <QList>
#include <QString>

class App;

// Which of the queue's pop-up items can run, from the queue and its selection.
struct QueueMenuState {
    bool transfer = false;
    bool editTarget = false;
    bool deleteEntry = false;
    bool moveUp = false;
    bool moveDown = false;
    bool clearQueue = false;
};

// What the user does with the queue itself: edit, delete, move, clear,
// inspect, save and load. The queue view only forwards.
class QueueCommands {
public:
    explicit QueueCommands(App& app) : m_app(app) {}

    // transferEnabled: the item's state before the menu opens.
    QueueMenuState MenuState(const QList<int>& selectedRows, bool transferEnabled) const;

    void EditTarget(int row);
    void DeleteEntries(const QList<int>& rows);
    // The entry's new row, or -1 when it stays.
    int MoveUp(int row);
    int MoveDown(int row);
    void ClearQueue();
    void QueueInfo();
    void SaveQueue();
    void LoadQueue();
    // Loads a queue file behind the entries there are; false with the
    // reason reported (and given in error) when not all of it could be read.
    bool LoadQueueFile(const QString& path, QString* error = nullptr);

    // Both Transfer buttons: enabled when something is queued and no run
    // holds the sides.
    void TransferButtonRule();

private:
    bool runActive() const;

    App& m_app;
};
