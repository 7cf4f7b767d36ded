#pragma once

#include <QDialog>

#include <memory>

class App;
class CommandEditor;
class CommandImport;
class QTreeWidget;

// "Import Custom Commands": lists another commands file's rows through the
// core's CommandImport and imports the selected ones into the editor's table.
class CommandImportDialog : public QDialog {
    Q_OBJECT
public:
    CommandImportDialog(App& app, CommandEditor& editor, QWidget* parent);
    ~CommandImportDialog() override;

    CommandImport& import() { return *m_import; }

private:
    void render();
    void importSelected();

    App& m_app;
    std::unique_ptr<CommandImport> m_import;
    QTreeWidget* m_rows;
};
