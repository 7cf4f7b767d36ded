#include "app/QtUserPrompts.h"

#include "app/FontConversion.h"
#include "remote/ChmodDialog.h"
#include "transfer/FileExistsDialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

// The dialog asking, when there is one, else the active window: a dialog
// parented to the main window could open behind the Preferences dialog or
// the stay-on-top text viewer that asked.
QWidget* QtUserPrompts::dialogParent() const {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return m_parent;
}

std::optional<QString> QtUserPrompts::inputBox(const QString& caption, const QString& prompt,
                                               const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(dialogParent(), caption, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

bool QtUserPrompts::confirm(const QString& text) {
    return QMessageBox::question(dialogParent(), QApplication::applicationName(), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) != QMessageBox::No;
}

void QtUserPrompts::information(const QString& text) {
    QMessageBox::information(dialogParent(), QApplication::applicationName(), text);
}

void QtUserPrompts::error(const QString& text) {
    QMessageBox::critical(dialogParent(), QApplication::applicationName(), text);
}

QString QtUserPrompts::openFileName(const QString& caption, const QString& directory,
                                    const QString& filter) {
    return QFileDialog::getOpenFileName(dialogParent(), caption, directory, filter);
}

QString QtUserPrompts::saveFileName(const QString& caption, const QString& directory,
                                    const QString& filter, const QString& defaultSuffix) {
    // The static getSaveFileName cannot take a default suffix.
    QFileDialog dialog(dialogParent(), caption, directory, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtUserPrompts::folder(const QString& caption, const QString& directory) {
    return QFileDialog::getExistingDirectory(dialogParent(), caption, directory);
}

std::optional<FontDescription> QtUserPrompts::chooseFont(const QString& caption,
                                                         const FontDescription& current) {
    QWidget* parent = dialogParent();
    const QFont base = parent ? parent->font() : QApplication::font();
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, ToQFont(current, base), parent, caption);
    if (!ok)
        return std::nullopt;
    return ToFontDescription(font, current.colour);
}

FileExistsChoice QtUserPrompts::fileExists(const FileExistsQuestion& question) {
    // Centred over the main window, whatever window happens to be active.
    FileExistsDialog dialog(question, m_parent);
    dialog.exec();
    const int result = dialog.result();
    // Closed some other way (Escape): nothing is replaced.
    return result >= 1 && result <= 4 ? FileExistsChoice(result) : FileExistsChoice::Skip;
}

std::optional<PermissionBoxes> QtUserPrompts::chooseAttributes(const PermissionBoxes& initial) {
    ChmodDialog dialog(initial, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.boxes();
}
