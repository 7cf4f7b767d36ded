#include "app/preferences/PatternListEditor.h"

#include "app/PatternList.h"
#include "app/preferences/PreferencesControls.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

PatternListEditor::PatternListEditor(const QString& namePrefix, QWidget* parent)
    : QWidget(parent), m_list(new QListWidget(this)),
      m_field(MakeLineEdit(namePrefix + QStringLiteral("Edit"), this)),
      m_add(MakeButton(QStringLiteral("&Add"), namePrefix + QStringLiteral("AddButton"), this)),
      m_remove(MakeButton(QStringLiteral("&Remove"), namePrefix + QStringLiteral("RemoveButton"),
                          this)) {
    setObjectName(namePrefix + QStringLiteral("Editor"));
    m_list->setObjectName(namePrefix + QStringLiteral("List"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->installEventFilter(this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_field, 0, 0);
    grid->addWidget(m_add, 0, 1);
    grid->addWidget(m_list, 1, 0, 2, 1);
    grid->addWidget(m_remove, 1, 1, Qt::AlignTop);

    connect(m_add, &QPushButton::clicked, this, &PatternListEditor::addFieldText);
    connect(m_remove, &QPushButton::clicked, this, &PatternListEditor::removeSelected);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &PatternListEditor::editPattern);
}

void PatternListEditor::setPatterns(const QStringList& patterns) {
    m_patterns = SortedPatterns(patterns);
    refresh(-1);
}

void PatternListEditor::addFieldText() {
    const QString pattern = m_field->text().trimmed();
    // The file keeps no more than are read back; more would vanish on reload.
    if (pattern.isEmpty() || m_patterns.size() >= MaxPatterns)
        return;
    m_patterns.append(pattern);
    m_patterns = SortedPatterns(m_patterns);
    m_field->clear();
    refresh(int(m_patterns.indexOf(pattern)));
}

void PatternListEditor::removeSelected() {
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_patterns.size() || !m_list->currentItem()->isSelected())
        return;
    m_patterns.removeAt(row);
    refresh(qMin(row, int(m_patterns.size()) - 1));
}

void PatternListEditor::editPattern(QListWidgetItem* item) {
    const int row = m_list->row(item);
    if (row < 0)
        return;
    // Taken out of the list so that "&Add" puts back the edited pattern
    // rather than a second copy.
    m_field->setText(m_patterns.takeAt(row));
    m_field->setFocus();
    refresh(-1);
}

bool PatternListEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeSelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PatternListEditor::refresh(int selectRow) {
    m_list->clear();
    m_list->addItems(m_patterns);
    if (selectRow >= 0 && selectRow < m_list->count())
        m_list->setCurrentRow(selectRow);
}
