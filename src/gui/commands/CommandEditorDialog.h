#pragma once

#include <QDialog>
#include <QPointer>

class App;
class CommandEditor;
class CommandImportDialog;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// "Define Commands": shows the core's CommandEditor and forwards every
// control to it. Closing it in any way saves the commands and rebuilds the
// "&Commands" menu.
class CommandEditorDialog : public QDialog {
    Q_OBJECT
public:
    CommandEditorDialog(App& app, QWidget* mainWindow);
    ~CommandEditorDialog() override;

    CommandEditor& editor() { return *m_editor; }
    CommandImportDialog* importDialog() const;
    void openImport();
    // The list menu's "&Move": the "Move" dialog, then the core.
    void moveSelected();

    void done(int result) override;

private:
    void build();
    void wire();
    void render();

    App& m_app;
    CommandEditor* m_editor;
    QPointer<CommandImportDialog> m_import;
    QComboBox* m_groups = nullptr;
    QListWidget* m_list = nullptr;
    QLineEdit* m_caption = nullptr;
    QPlainTextEdit* m_command = nullptr;
    QLineEdit* m_subMenu = nullptr;
    QLineEdit* m_shortcut = nullptr;
    QPushButton* m_apply = nullptr;
    bool m_saved = false;
};
