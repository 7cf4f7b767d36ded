#pragma once

#include "commands/CommandMenuLayout.h"

#include <QObject>
#include <QPointer>

class App;
class CommandEditorDialog;
class QAction;
class QMenu;
class QWidget;

// Binds the main window's "&Commands" menu to the defined commands: keeps
// its custom entries as the core lays them out, runs the chosen ones,
// opens the editor ("&Define") and sends raw commands.
class CommandsMenu : public QObject {
    Q_OBJECT
public:
    // menu holds the fixed items, "Blank1" last; mainWindow owns the editor.
    CommandsMenu(App& app, QMenu* menu, QWidget* mainWindow);

    void Rebuild();
    // "&Raw Command" and every entry after it follow the active side's connection.
    void UpdateEnabled();
    void OpenEditor();
    // The open editor, if any.
    CommandEditorDialog* editor() const;

private:
    void addEntries(QMenu* menu, const QList<CommandMenuEntry>& entries);
    QList<QAction*> customActions() const;

    App& m_app;
    QMenu* m_menu;
    QWidget* m_mainWindow;
    QPointer<CommandEditorDialog> m_editor;
};
