#include "commands/MoveCommandDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

MoveCommandDialog::MoveCommandDialog(const QStringList& groups, QWidget* parent)
    : QDialog(parent), m_destination(new QComboBox) {
    setObjectName(QStringLiteral("Form9"));
    setWindowTitle(QStringLiteral("Move"));
    m_destination->setObjectName(QStringLiteral("DestinationGroup"));
    m_destination->addItems(groups);
    m_destination->setCurrentIndex(0);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("OkButton"));
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("CancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Destination Group"), m_destination);
    layout->addRow(buttons);
}

QString MoveCommandDialog::destination() const {
    return m_destination->currentText();
}
