#include "transfer/QueueView.h"

#include "app/App.h"

#include <QAction>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeView>

#include <algorithm>

namespace {
QAction* Item(const QMenu& menu, const char* name) {
    return menu.findChild<QAction*>(QString::fromLatin1(name));
}
} // namespace

QueueView::QueueView(App& app, QTreeView& view, QMenu& menu, QObject* parent)
    : QObject(parent), m_app(app), m_view(view), m_menu(menu) {
    m_view.setModel(&m_app.queue());
    m_view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view.setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view.setUniformRowHeights(true);
    m_view.header()->setSectionsClickable(false);
    m_view.setColumnWidth(0, 120);
    m_view.setColumnWidth(1, 130);
    m_view.setColumnWidth(2, 70);
    m_view.installEventFilter(this);
    connect(&m_app.queue(), &QAbstractItemModel::rowsInserted, this, &QueueView::fitColumns);
    // The items' keys work only while their item is enabled, so the state
    // follows the queue and the selection, not just the menu's opening.
    connect(&m_menu, &QMenu::aboutToShow, this, &QueueView::updateMenu);
    connect(m_view.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &QueueView::updateMenu);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(&m_app.queue(), signal, this, &QueueView::updateMenu);
    connect(&m_app.queue(), &QAbstractItemModel::modelReset, this, &QueueView::updateMenu);

    QueueCommands& commands = m_app.queueCommands();
    auto on = [this](const char* name, const std::function<void()>& handler) {
        if (QAction* a = Item(m_menu, name))
            connect(a, &QAction::triggered, this, [this, handler] { m_app.RunGuarded(handler); });
    };
    on("Transfer3", [this] { m_app.queueRunner().Transfer1Click(); });
    connect(&m_app.queueRunner(), &QueueRunner::queueMenuTransferChanged, this,
            &QueueView::updateMenu);
    on("EditTarget1", [this, &commands] { commands.EditTarget(currentRow()); });
    on("DeleteEntry1", [this, &commands] { commands.DeleteEntries(selectedRows()); });
    on("MoveUp1", [this, &commands] { selectRow(commands.MoveUp(currentRow())); });
    on("MoveDown1", [this, &commands] { selectRow(commands.MoveDown(currentRow())); });
    on("QueueInfo1", [&commands] { commands.QueueInfo(); });
    on("SaveQueue1", [&commands] { commands.SaveQueue(); });
    on("LoadQueue1", [&commands] { commands.LoadQueue(); });
    on("ClearQueue1", [&commands] { commands.ClearQueue(); });
    // The menu's keys work while the queue has the focus.
    for (QAction* action : m_menu.actions()) {
        if (!action->shortcut().isEmpty()) {
            action->setShortcutContext(Qt::WidgetShortcut);
            m_view.addAction(action);
        }
    }
}

QList<int> QueueView::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& index : m_view.selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int QueueView::currentRow() const {
    const QModelIndex current = m_view.currentIndex();
    if (current.isValid())
        return current.row();
    const QList<int> rows = selectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

void QueueView::selectRow(int row) {
    if (row < 0)
        return;
    const QModelIndex index = m_app.queue().index(row, 0);
    m_view.selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_view.scrollTo(index);
}

void QueueView::fitColumns() {
    m_view.resizeColumnToContents(0);
    m_view.resizeColumnToContents(1);
}

void QueueView::updateMenu() {
    const QueueMenuState state = m_app.queueCommands().MenuState(
        selectedRows(), m_app.queueRunner().queueMenuTransferEnabled());
    const std::pair<const char*, bool> items[] = {
        {"Transfer3", state.transfer},     {"EditTarget1", state.editTarget},
        {"DeleteEntry1", state.deleteEntry}, {"MoveUp1", state.moveUp},
        {"MoveDown1", state.moveDown},     {"ClearQueue1", state.clearQueue},
        {"QueueInfo1", true},              {"SaveQueue1", true},
        {"LoadQueue1", true}};
    for (auto [name, enabled] : items)
        if (QAction* a = Item(m_menu, name))
            a->setEnabled(enabled);
}

bool QueueView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_view && event->type() == QEvent::KeyRelease &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        const QList<int> rows = selectedRows();
        m_app.RunGuarded([this, rows] { m_app.queueCommands().DeleteEntries(rows); });
        return true;
    }
    return QObject::eventFilter(watched, event);
}
