#include "app/QtUserPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

std::optional<QString> QtUserPrompts::inputBox(const QString& caption, const QString& prompt,
                                               const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

bool QtUserPrompts::confirm(const QString& text) {
    return QMessageBox::question(m_parent, QApplication::applicationName(), text,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) != QMessageBox::No;
}

void QtUserPrompts::information(const QString& text) {
    QMessageBox::information(m_parent, QApplication::applicationName(), text);
}

void QtUserPrompts::error(const QString& text) {
    QMessageBox::critical(m_parent, QApplication::applicationName(), text);
}

QString QtUserPrompts::openFileName(const QString& caption, const QString& directory,
                                    const QString& filter) {
    return QFileDialog::getOpenFileName(m_parent, caption, directory, filter);
}

QString QtUserPrompts::saveFileName(const QString& caption, const QString& directory,
                                    const QString& filter) {
    return QFileDialog::getSaveFileName(m_parent, caption, directory, filter);
}

QString QtUserPrompts::folder(const QString& caption, const QString& directory) {
    return QFileDialog::getExistingDirectory(m_parent, caption, directory);
}
