#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;

// "Move": picks the group a command moves to; the editor does the move.
class MoveCommandDialog : public QDialog {
    Q_OBJECT
public:
    MoveCommandDialog(const QStringList& groups, QWidget* parent);

    QString destination() const;

private:
    QComboBox* m_destination;
};
