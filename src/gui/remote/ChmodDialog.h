#pragma once

#include "remote/PermissionBoxes.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLabel;

// "File Attributes": nine boxes for Owner, Group and Public, and the mode
// they make, recomputed on every click.
class ChmodDialog : public QDialog {
    Q_OBJECT
public:
    ChmodDialog(const PermissionBoxes& initial, QWidget* mainWindow);

    PermissionBoxes boxes() const;

private:
    void showMode();

    std::array<QCheckBox*, 9> m_boxes{};
    QLabel* m_mode = nullptr;
};
