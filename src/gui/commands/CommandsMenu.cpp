#include "commands/CommandsMenu.h"

#include "app/App.h"
#include "commands/CommandEditorDialog.h"
#include "net/FtpSession.h"
#include "widgets/DialogPlacement.h"

#include <QAction>
#include <QMenu>

namespace {

// Ctrl+Shift and the character; Qt's key codes of printable characters
// are their upper-case code points.
QKeySequence ShortcutOf(const QString& character) {
    if (character.isEmpty())
        return {};
    return QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier,
                                        Qt::Key(character.at(0).toUpper().unicode())));
}

void EnableAll(QAction* action, bool enabled) {
    action->setEnabled(enabled);
    if (QMenu* sub = action->menu())
        for (QAction* child : sub->actions())
            EnableAll(child, enabled);
}

} // namespace

CommandsMenu::CommandsMenu(App& app, QMenu* menu, QWidget* mainWindow)
    : QObject(mainWindow), m_app(app), m_menu(menu), m_mainWindow(mainWindow) {
    CustomCommands& commands = m_app.customCommands();
    auto action = [mainWindow](const char* name) {
        return mainWindow->findChild<QAction*>(QString::fromLatin1(name));
    };
    connect(action("Define1"), &QAction::triggered, this, &CommandsMenu::OpenEditor);
    connect(
        action("RawCommand1"), &QAction::triggered, this,
        [this] { m_app.RunGuarded([this] { m_app.customCommands().RawCommand(); }); },
        Qt::QueuedConnection);
    connect(&commands, &CustomCommands::menuRebuildRequested, this, &CommandsMenu::Rebuild);
    connect(m_menu, &QMenu::aboutToShow, this, &CommandsMenu::UpdateEnabled);
    connect(&m_app, &App::activeSideChanged, this, &CommandsMenu::UpdateEnabled);
    for (Side* side : {&m_app.left(), &m_app.right()}) {
        connect(&side->session(), &PumpingSocket::connected, this, &CommandsMenu::UpdateEnabled);
        connect(&side->session(), &PumpingSocket::disconnected, this, &CommandsMenu::UpdateEnabled);
    }
    Rebuild();
}

QList<QAction*> CommandsMenu::customActions() const {
    // Everything after the hidden template item is ours.
    const QList<QAction*> all = m_menu->actions();
    qsizetype first = all.size();
    for (qsizetype i = 0; i < all.size(); ++i)
        if (all.at(i)->objectName() == u"Blank1")
            first = i + 1;
    return all.mid(first);
}

void CommandsMenu::Rebuild() {
    for (QAction* action : customActions()) {
        m_menu->removeAction(action);
        if (QMenu* sub = action->menu())
            sub->deleteLater();
        else
            action->deleteLater();
    }
    addEntries(m_menu, m_app.customCommands().BuildCommandsMenu());
    UpdateEnabled();
}

void CommandsMenu::addEntries(QMenu* menu, const QList<CommandMenuEntry>& entries) {
    for (const CommandMenuEntry& entry : entries) {
        switch (entry.kind) {
        case CommandMenuEntry::Kind::ColumnBreak:
            // Qt menus have no column breaks: a separator marks the column.
            menu->addSeparator();
            break;
        case CommandMenuEntry::Kind::Group:
        case CommandMenuEntry::Kind::SubMenu:
            // Parented to the window, so the menu's own items are found by name.
            addEntries(menu->addMenu(entry.caption), entry.children);
            break;
        case CommandMenuEntry::Kind::Command: {
            auto* action = new QAction(entry.caption, menu);
            action->setShortcut(ShortcutOf(entry.shortcut));
            menu->addAction(action);
            // Queued: the command waits for the server, not inside the menu.
            connect(
                action, &QAction::triggered, this,
                [this, entry] {
                    m_app.RunGuarded([this, entry] {
                        m_app.customCommands().RunCommand(entry.caption, entry.parentCaption,
                                                          entry.grandParentCaption);
                    });
                },
                Qt::QueuedConnection);
            break;
        }
        }
    }
}

void CommandsMenu::UpdateEnabled() {
    const bool enabled = m_app.customCommands().CommandsEnabled();
    bool fromRaw = false;
    for (QAction* action : m_menu->actions()) {
        fromRaw = fromRaw || action->objectName() == u"RawCommand1";
        if (fromRaw)
            EnableAll(action, enabled);
    }
}

CommandEditorDialog* CommandsMenu::editor() const {
    return m_editor;
}

void CommandsMenu::OpenEditor() {
    if (m_editor) {
        m_editor->raise();
        m_editor->activateWindow();
        return;
    }
    m_editor = new CommandEditorDialog(m_app, m_mainWindow);
    m_editor->setAttribute(Qt::WA_DeleteOnClose);
    m_editor->show();
    CentreOver(m_editor, m_mainWindow);
}
