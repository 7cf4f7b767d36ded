#pragma once

#include "app/UserPrompts.h"

#include <QQueue>
#include <QStringList>

// Answers questions from queues the test fills, and records what was asked.
// An empty queue answers like a cancelled dialog (No, nothing, empty).
class ScriptedUserPrompts : public UserPrompts {
public:
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

    QQueue<std::optional<QString>> inputAnswers;
    QQueue<bool> confirmAnswers;
    QQueue<QString> fileAnswers;
    // Everything asked or shown, as "kind:text".
    QStringList asked;
};
