#pragma once

#include "app/UserPrompts.h"

class QWidget;

// The user's questions as Qt dialogs over the main window.
class QtUserPrompts : public UserPrompts {
public:
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                    const QString& defaultText) override;
    bool confirm(const QString& text) override;
    void information(const QString& text) override;
    void error(const QString& text) override;
    QString openFileName(const QString& caption, const QString& directory,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& directory,
                         const QString& filter) override;
    QString folder(const QString& caption, const QString& directory) override;

private:
    QWidget* m_parent = nullptr;
};
