#pragma once

#include <QObject>

class App;
class QMenu;
class QTreeView;

// Binds the queue list ("LvQueue") and its pop-up to the App's queue and
// forwards the queue commands.
class QueueView : public QObject {
    Q_OBJECT
public:
    QueueView(App& app, QTreeView& view, QMenu& menu, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<int> selectedRows() const;
    int currentRow() const;
    void selectRow(int row);
    void fitColumns();
    void updateMenu();

    App& m_app;
    QTreeView& m_view;
    QMenu& m_menu;
};
