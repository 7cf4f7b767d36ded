#include "commands/CommandImportDialog.h"

#include "app/App.h"
#include "commands/CommandImport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CommandImportDialog::CommandImportDialog(App& app, CommandEditor& editor, QWidget* parent)
    : QDialog(parent), m_app(app), m_import(std::make_unique<CommandImport>(
                                       app.customCommands().table(), editor, app.prompts())),
      m_rows(new QTreeWidget) {
    setObjectName(QStringLiteral("FrmImport"));
    setWindowTitle(QStringLiteral("Import Custom Commands"));
    m_rows->setObjectName(QStringLiteral("ImportList"));
    m_rows->setRootIsDecorated(false);
    m_rows->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_rows->setColumnCount(CommandImport::ColumnCount);
    m_rows->header()->setSectionsClickable(true);
    m_rows->header()->setSortIndicatorShown(false);

    auto* open = new QPushButton(QStringLiteral("Open"));
    open->setObjectName(QStringLiteral("OpenButton"));
    auto* importButton = new QPushButton(QStringLiteral("Import Selected"));
    importButton->setObjectName(QStringLiteral("ImportSelectedButton"));
    auto* close = new QPushButton(QStringLiteral("&Close"));
    close->setObjectName(QStringLiteral("CloseButton"));
    for (QPushButton* b : {open, importButton, close})
        b->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(open);
    buttons->addWidget(importButton);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_rows);
    layout->addLayout(buttons);
    resize(620, 380);

    connect(open, &QPushButton::clicked, this, [this] {
        if (m_import->OpenFile(m_app.paths().directory()))
            render();
    });
    connect(importButton, &QPushButton::clicked, this, &CommandImportDialog::importSelected);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_rows->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_import->SortBy(column);
        render();
    });
    render();
}

CommandImportDialog::~CommandImportDialog() = default;

void CommandImportDialog::render() {
    m_rows->setHeaderLabels(m_import->headers());
    m_rows->clear();
    QList<QTreeWidgetItem*> items;
    for (int row = 0; row < m_import->rows().size(); ++row) {
        auto* item = new QTreeWidgetItem;
        for (int column = 0; column < CommandImport::ColumnCount; ++column)
            item->setText(column, m_import->cellText(row, column));
        items << item;
    }
    m_rows->addTopLevelItems(items);
}

void CommandImportDialog::importSelected() {
    QList<int> rows;
    for (int row = 0; row < m_rows->topLevelItemCount(); ++row)
        if (m_rows->topLevelItem(row)->isSelected())
            rows << row;
    m_import->ImportRows(rows);
}
