#include "app/PreferencesPickers.h"

#include <QFileDialog>
#include <QMessageBox>

PreferencesPickers PreferencesPickers::Standard() {
    PreferencesPickers pickers;
    pickers.pickFolder = [](QWidget* parent, const QString& start) {
        return QFileDialog::getExistingDirectory(parent, QString(), start);
    };
    pickers.pickFile = [](QWidget* parent, const QString& start, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, QString(), start, filter);
    };
    pickers.pickFont = AskFont;
    pickers.showMessage = [](QWidget* parent, const QString& message) {
        QMessageBox::information(parent, QStringLiteral("Korvane"), message);
    };
    return pickers;
}
