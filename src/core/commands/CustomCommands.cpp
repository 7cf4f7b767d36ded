#include "commands/CustomCommands.h"

#include "app/App.h"
#include "app/UserPrompts.h"
#include "commands/CommandText.h"
#include "commands/TokenLine.h"
#include "net/FtpReplies.h"
#include "net/FtpSession.h"

CustomCommands::CustomCommands(App& app, QObject* parent) : QObject(parent), m_app(app) {}

QString CustomCommands::filePath() const {
    return m_app.paths().filePath(QStringLiteral("command.dat"));
}

void CustomCommands::LoadCommands() {
    const QString error = m_table.LoadCommands(filePath());
    if (!error.isEmpty())
        m_app.statusLog().AddStatusLine(error, clRed);
}

bool CustomCommands::SaveCommands() {
    const QString error = m_table.SaveCommands(filePath());
    if (!error.isEmpty())
        m_app.statusLog().AddStatusLine(error, clRed);
    Q_EMIT menuRebuildRequested();
    return error.isEmpty();
}

QList<CommandMenuEntry> CustomCommands::BuildCommandsMenu() const {
    const CommandTable::FileRead read = CommandTable::ReadNumbered(filePath(), int(m_table.size()));
    if (!read.error.isEmpty())
        m_app.statusLog().AddStatusLine(read.error, clRed);
    return LayOutCommandsMenu(read.records, m_app.settings().itemCount);
}

bool CustomCommands::CommandsEnabled() {
    return m_app.side(m_app.activeSide()).session().isConnected();
}

QList<CustomCommands::EntryFields> CustomCommands::selectedEntries(Side& side) const {
    QList<EntryFields> fields;
    for (int row : side.selectedRows()) {
        const DirEntry& entry = side.listing().entry(row);
        // ".." is no entry of the directory: a command never acts on it.
        if (entry.kind != EntryKind::Parent)
            fields.append({entry.name, entry.owner, entry.group});
    }
    return fields;
}

bool CustomCommands::send(Side& side, const QString& line) {
    FtpSession& session = side.session();
    if (session.isInOperation()) {
        // Our line would be answered by the reply another command waits for.
        m_app.statusLog().AddStatusLine(
            QStringLiteral("Command not sent: the side is still waiting for a reply"), clRed);
        return false;
    }
    session.DoCommand(line);
    // Lines beyond the reply (a second reply of the command) are shown now.
    while (session.receiveBuffer().hasLine())
        m_app.statusLog().AddStatusLine(FtpReplies::LineText(session.receiveBuffer().takeLine()),
                                        side.statusColour());
    return true;
}

void CustomCommands::RunCommand(const QString& caption, const QString& parentCaption,
                                const QString& grandParentCaption) {
    const CommandRecord* record = m_table.FindCommand(caption, parentCaption, grandParentCaption);
    if (!record)
        return;
    // Copied: the editor may change the table while a prompt is open. The
    // side is the one active now, wherever the focus goes meanwhile.
    const QString command = record->command;
    Side& side = m_app.side(m_app.activeSide());
    QStringList answers;
    for (const QString& part : CommandText::SplitParts(command)) {
        TokenLine line(part);
        // Each answer fills one "%d" for good, so this ends with the part.
        for (TokenLine::Prompt prompt = line.FirstPrompt(); prompt.found;
             prompt = line.FirstPrompt()) {
            if (answers.size() >= TokenLine::MaxAnswers) {
                m_app.statusLog().AddStatusLine(
                    QStringLiteral("Command %1 stopped: it asks more than %2 questions")
                        .arg(caption)
                        .arg(TokenLine::MaxAnswers),
                    clRed);
                return;
            }
            const std::optional<QString> answer =
                m_app.prompts().inputBox(QStringLiteral("Command"), prompt.text, QString());
            if (!answer || answer->isEmpty())
                return;
            answers << *answer;
            line.AnswerFirstPrompt(*answer);
        }
        line.FillNumberedAnswers(answers);
        // An empty part (from ";;" or a blank line) has nothing to send.
        if (line.text().trimmed().isEmpty())
            continue;
        const QList<EntryFields> entries = selectedEntries(side);
        if (entries.isEmpty() || !line.hasEntryTokens()) {
            if (!send(side, line.text()))
                return;
            continue;
        }
        for (const EntryFields& entry : entries) {
            TokenLine copy = line;
            copy.FillEntry(entry.name, entry.owner, entry.group);
            if (!send(side, copy.text()))
                return;
        }
    }
}

void CustomCommands::RawCommand() {
    const std::optional<QString> line = m_app.prompts().inputBox(
        QStringLiteral("Send Raw"), QStringLiteral("Raw Command"), QString());
    if (!line || line->isEmpty())
        return;
    send(m_app.side(m_app.activeSide()), *line);
}
