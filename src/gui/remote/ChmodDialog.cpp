#include "remote/ChmodDialog.h"

#include "widgets/DialogPlacement.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ChmodDialog::ChmodDialog(const PermissionBoxes& initial, QWidget* mainWindow)
    : QDialog(mainWindow) {
    setObjectName(QStringLiteral("FrmAttrib"));
    setWindowTitle(QStringLiteral("File Attributes"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    int number = 0;
    for (const char* group : {"Owner", "Group", "Public"}) {
        auto* box = new QGroupBox(QString::fromLatin1(group), this);
        auto* column = new QVBoxLayout(box);
        for (const char* right : {"Read", "Write", "Execute"}) {
            auto* check = new QCheckBox(QString::fromLatin1(right), box);
            check->setObjectName(QStringLiteral("CheckBox%1").arg(number + 1));
            check->setChecked(initial.checked[size_t(number)]);
            connect(check, &QCheckBox::clicked, this, &ChmodDialog::showMode);
            m_boxes[size_t(number++)] = check;
            column->addWidget(check);
        }
        groups->addWidget(box);
    }
    layout->addLayout(groups);
    m_mode = new QLabel(QStringLiteral("000"), this);
    m_mode->setObjectName(QStringLiteral("Panel1"));
    m_mode->setAlignment(Qt::AlignCenter);
    m_mode->setFrameShape(QFrame::Panel);
    layout->addWidget(m_mode);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setDefault(true);
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    showMode();
    adjustSize();
    CentreOver(this, mainWindow);
}

PermissionBoxes ChmodDialog::boxes() const {
    PermissionBoxes result;
    for (size_t i = 0; i < m_boxes.size(); ++i)
        result.checked[i] = m_boxes[i]->isChecked();
    return result;
}

void ChmodDialog::showMode() {
    m_mode->setText(boxes().ModeText());
}
