#include "sites/PasvBox.h"

#include <QCheckBox>

namespace {

const char* const AltListProperty = "altList";

void UpdateHint(QCheckBox* box) {
    if (box->checkState() != Qt::PartiallyChecked) {
        box->setToolTip(QString());
        return;
    }
    box->setToolTip(box->property(AltListProperty).toBool()
                        ? QStringLiteral("As in Preferences: PASV on")
                        : QStringLiteral("As in Preferences: PASV off"));
}

} // namespace

QCheckBox* MakePasvBox(const QString& caption, bool altList) {
    auto* box = new QCheckBox(caption);
    box->setTristate(true);
    box->setProperty(AltListProperty, altList);
    QObject::connect(box, &QCheckBox::stateChanged, box, [box] { UpdateHint(box); });
    box->setCheckState(Qt::PartiallyChecked);
    UpdateHint(box);
    return box;
}

void SetPasvMode(QCheckBox* box, int mode) {
    box->setCheckState(mode == 1 ? Qt::Unchecked : mode == 2 ? Qt::Checked : Qt::PartiallyChecked);
}

int PasvMode(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Unchecked:
        return 1;
    case Qt::Checked:
        return 2;
    default:
        return 3;
    }
}
