#pragma once

#include <QObject>

class App;
class Side;
class SidePanel;
class QTreeView;

// Binds one side's list, tree and path box to the side's models and
// forwards what the user does there to the list navigation.
class RemoteViews : public QObject {
    Q_OBJECT
public:
    RemoteViews(App& app, SidePanel& panel);

    // Column widths for the side's listing, as the column rules say.
    void FitColumns();
    // Shows or hides the optional columns as the column menu has them.
    void showColumns();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bindList();
    void bindTree();
    void bindPathBox();
    void run(const std::function<void()>& command);

    App& m_app;
    SidePanel& m_panel;
    Side& m_side;
    QTreeView* m_list;
    QTreeView* m_tree;
};
