#pragma once

#include "app/SideState.h"
#include "commands/CommandMenuLayout.h"
#include "commands/CommandTable.h"

#include <QObject>

class App;
class Side;

// The defined commands of the running program: the table and its file, the
// "&Commands" menu's entries, and running a defined or a raw command on the
// active side's session.
class CustomCommands : public QObject {
    Q_OBJECT
public:
    explicit CustomCommands(App& app, QObject* parent = nullptr);

    CommandTable& table() { return m_table; }
    QString filePath() const;

    // At start-up; a file that cannot be read is reported and left alone.
    void LoadCommands();
    // The editor's "&Close": the table is written and the menu rebuilt.
    // False (and reported) when the file could not be written.
    bool SaveCommands();
    // The custom entries, from the file as saved, for as many numbers as
    // the table holds.
    QList<CommandMenuEntry> BuildCommandsMenu() const;

    // "&Raw Command" and the custom entries work only on a connected side.
    bool CommandsEnabled();
    // A custom entry was chosen: the command it names runs, its prompts
    // asked, its tokens filled, on the active side.
    void RunCommand(const QString& caption, const QString& parentCaption,
                    const QString& grandParentCaption);
    // "&Raw Command": one line, sent as typed.
    void RawCommand();

Q_SIGNALS:
    void menuRebuildRequested();

private:
    // One entry's name, owner and group, taken before anything is sent.
    struct EntryFields {
        QString name, owner, group;
    };
    QList<EntryFields> selectedEntries(Side& side) const;
    // Sends one line and shows the reply lines still waiting. Refused,
    // with a red line, while the session waits for another command's reply.
    bool send(Side& side, const QString& line);

    App& m_app;
    CommandTable m_table;
};
