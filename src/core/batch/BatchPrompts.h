#pragma once

#include "app/UserPrompts.h"

#include <functional>

// Questions during an unattended run: nobody is there to answer, so every
// question is declined and every message goes to standard error.
class BatchPrompts : public UserPrompts {
public:
    using Printer = std::function<void(const QString&)>;
    explicit BatchPrompts(Printer printError) : m_printError(std::move(printError)) {}

    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    bool confirm(const QString& text) override {
        m_printError(text + QStringLiteral(" - answered No (unattended run)"));
        return false;
    }
    void information(const QString& text) override { m_printError(text); }
    void error(const QString& text) override { m_printError(text); }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(const QString&, const QString&, const QString&,
                         const QString&) override {
        return {};
    }
    QString folder(const QString&, const QString&) override { return {}; }
    std::optional<FontDescription> chooseFont(const QString&, const FontDescription&) override {
        return std::nullopt;
    }
    // Nothing present is replaced without a person saying so.
    FileExistsChoice fileExists(const FileExistsQuestion& question) override {
        m_printError(question.localPath + QStringLiteral(" exists - skipped (unattended run)"));
        return FileExistsChoice::Skip;
    }
    std::optional<PermissionBoxes> chooseAttributes(const PermissionBoxes&) override {
        return std::nullopt;
    }

private:
    Printer m_printError;
};
