#include "commands/CommandEditorDialog.h"

#include "app/App.h"
#include "commands/CommandEditor.h"
#include "commands/CommandImportDialog.h"
#include "commands/MoveCommandDialog.h"
#include "widgets/DialogPlacement.h"

#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QPushButton* NamedButton(const QString& text, const char* name) {
    auto* button = new QPushButton(text);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

CommandEditorDialog::CommandEditorDialog(App& app, QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::WindowStaysOnTopHint), m_app(app),
      m_editor(
          new CommandEditor(app.customCommands().table(), app.prompts(), app.services(), this)) {
    setObjectName(QStringLiteral("Form6"));
    setWindowTitle(QStringLiteral("Define Commands"));
    setModal(false);
    build();
    wire();
    render();
}

CommandEditorDialog::~CommandEditorDialog() = default;

void CommandEditorDialog::build() {
    m_groups = new QComboBox;
    m_groups->setObjectName(QStringLiteral("GroupBox"));
    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("CommandList"));
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    m_caption = new QLineEdit;
    m_caption->setObjectName(QStringLiteral("CaptionEdit"));
    m_command = new QPlainTextEdit;
    m_command->setObjectName(QStringLiteral("CommandEdit"));
    m_subMenu = new QLineEdit;
    m_subMenu->setObjectName(QStringLiteral("SubMenuEdit"));
    m_shortcut = new QLineEdit;
    m_shortcut->setObjectName(QStringLiteral("ShortcutEdit"));
    m_shortcut->setMaxLength(1);
    m_shortcut->setMaximumWidth(40);
    m_apply = NamedButton(QStringLiteral("&Add"), "AddButton");

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("&Group"), m_groups);
    fields->addRow(QStringLiteral("&Caption"), m_caption);
    fields->addRow(QStringLiteral("Co&mmand"), m_command);
    fields->addRow(QStringLiteral("&Sub Menu"), m_subMenu);
    fields->addRow(QStringLiteral("&Shortcut:   Ctrl-Shift +"), m_shortcut);

    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(fields, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_apply);
    buttons->addWidget(NamedButton(QStringLiteral("&Delete"), "DeleteButton"));
    buttons->addWidget(NamedButton(QStringLiteral("Add Group"), "AddGroupButton"));
    buttons->addWidget(NamedButton(QStringLiteral("Delete Group"), "DeleteGroupButton"));
    buttons->addStretch();
    buttons->addWidget(NamedButton(QStringLiteral("&Help"), "HelpButton"));
    buttons->addWidget(NamedButton(QStringLiteral("&Import"), "ImportButton"));
    buttons->addWidget(NamedButton(QStringLiteral("&Close"), "CloseButton"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    auto* deleteItem = new QAction(QStringLiteral("&Delete"), m_list);
    deleteItem->setObjectName(QStringLiteral("DeleteCommand1"));
    auto* moveItem = new QAction(QStringLiteral("&Move"), m_list);
    moveItem->setObjectName(QStringLiteral("MoveCommand1"));
    m_list->addActions({deleteItem, moveItem});
    resize(560, 360);
}

void CommandEditorDialog::wire() {
    CommandEditor& e = *m_editor;
    auto button = [this](const char* name) {
        return findChild<QPushButton*>(QString::fromLatin1(name));
    };
    connect(&e, &CommandEditor::changed, this, &CommandEditorDialog::render);
    connect(m_groups, &QComboBox::activated, this,
            [this, &e](int index) { e.SelectGroup(m_groups->itemText(index)); });
    connect(m_list, &QListWidget::currentTextChanged, &e, &CommandEditor::SelectCommand);
    connect(m_caption, &QLineEdit::textEdited, &e, &CommandEditor::EditCaption);
    connect(m_command, &QPlainTextEdit::textChanged, this,
            [this, &e] { e.EditCommand(m_command->toPlainText()); });
    connect(m_subMenu, &QLineEdit::textEdited, &e, &CommandEditor::EditSubMenu);
    connect(m_shortcut, &QLineEdit::textEdited, &e, &CommandEditor::EditShortcut);
    connect(m_apply, &QPushButton::clicked, &e, &CommandEditor::Apply);
    connect(button("DeleteButton"), &QPushButton::clicked, &e, &CommandEditor::DeleteCommand);
    connect(button("AddGroupButton"), &QPushButton::clicked, &e, &CommandEditor::AddGroup);
    connect(button("DeleteGroupButton"), &QPushButton::clicked, &e, &CommandEditor::DeleteGroup);
    connect(button("HelpButton"), &QPushButton::clicked, &e, &CommandEditor::ShowHelp);
    connect(button("ImportButton"), &QPushButton::clicked, this, &CommandEditorDialog::openImport);
    connect(button("CloseButton"), &QPushButton::clicked, this, &QDialog::accept);
    const QList<QAction*> listMenu = m_list->actions();
    connect(listMenu.at(0), &QAction::triggered, &e, &CommandEditor::DeleteCommand);
    connect(listMenu.at(1), &QAction::triggered, this, &CommandEditorDialog::moveSelected);
}

void CommandEditorDialog::render() {
    const CommandEditor& e = *m_editor;
    // What we set here must not come back as the user's edits.
    const QSignalBlocker groups(m_groups), list(m_list), command(m_command);
    m_groups->clear();
    m_groups->addItems(e.groups());
    m_groups->setCurrentIndex(int(e.groups().indexOf(e.shownGroup())));
    m_list->clear();
    m_list->addItems(e.captions());
    const QList<QListWidgetItem*> selected =
        m_list->findItems(e.selectedCaption(), Qt::MatchExactly);
    if (!e.selectedCaption().isEmpty() && !selected.isEmpty())
        m_list->setCurrentItem(selected.first());
    // Fields being typed in keep their cursor.
    if (m_caption->text() != e.caption())
        m_caption->setText(e.caption());
    if (m_command->toPlainText() != e.commandText())
        m_command->setPlainText(e.commandText());
    if (m_subMenu->text() != e.subMenu())
        m_subMenu->setText(e.subMenu());
    if (m_shortcut->text() != e.shortcut())
        m_shortcut->setText(e.shortcut());
    m_subMenu->setEnabled(e.subMenuEnabled());
    m_apply->setText(e.buttonMode() == CommandEditor::ButtonMode::Update ? QStringLiteral("&Update")
                                                                         : QStringLiteral("&Add"));
    m_apply->setEnabled(e.buttonEnabled());
}

CommandImportDialog* CommandEditorDialog::importDialog() const {
    return m_import;
}

void CommandEditorDialog::openImport() {
    if (m_import) {
        m_import->raise();
        m_import->activateWindow();
        return;
    }
    m_import = new CommandImportDialog(m_app, *m_editor, this);
    m_import->setAttribute(Qt::WA_DeleteOnClose);
    m_import->show();
    CentreOver(m_import, this);
}

void CommandEditorDialog::moveSelected() {
    if (m_editor->selectedCaption().isEmpty())
        return;
    MoveCommandDialog dialog(m_editor->groups(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_editor->MoveCommand(dialog.destination());
}

void CommandEditorDialog::done(int result) {
    // Every way out saves: the changes are in the table already.
    if (!m_saved) {
        m_saved = true;
        hide();
        m_app.customCommands().SaveCommands();
    }
    QDialog::done(result);
}
