#pragma once

#include "app/UserPrompts.h"

class QWidget;

// The user's questions as Qt dialogs over the window the user is working in.
class QtUserPrompts : public UserPrompts {
public:
    // The fallback parent when no window of the program is active.
    void setParentWindow(QWidget* parent) { m_parent = parent; }

    std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                    const QString& defaultText) override;
    bool confirm(const QString& text) override;
    void information(const QString& text) override;
    void error(const QString& text) override;
    QString openFileName(const QString& caption, const QString& directory,
                         const QString& filter) override;
    QString saveFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& defaultSuffix = {}) override;
    QString folder(const QString& caption, const QString& directory) override;
    std::optional<FontDescription> chooseFont(const QString& caption,
                                              const FontDescription& current) override;
    FileExistsChoice fileExists(const FileExistsQuestion& question) override;
    std::optional<PermissionBoxes> chooseAttributes(const PermissionBoxes& initial) override;

private:
    QWidget* dialogParent() const;

    QWidget* m_parent = nullptr;
};
