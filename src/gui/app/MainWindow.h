#pragma once

#include <QMainWindow>

// The program's one top-level window: two sides, the queue and the status pane.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};
