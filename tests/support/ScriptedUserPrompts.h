#pragma once

#include "app/UserPrompts.h"

#include <QList>
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
    QString saveFileName(const QString& caption, const QString& directory, const QString& filter,
                         const QString& defaultSuffix = {}) override;
    QString folder(const QString& caption, const QString& directory) override;
    // Answers with the queued font in current's colour, as the dialog would.
    std::optional<FontDescription> chooseFont(const QString& caption,
                                              const FontDescription& current) override;
    // Answers from fileExistsAnswers; Skip when it is empty.
    FileExistsChoice fileExists(const FileExistsQuestion& question) override;
    // Answers from attributeAnswers; OK with the boxes unchanged when empty.
    std::optional<PermissionBoxes> chooseAttributes(const PermissionBoxes& initial) override;

    // The details of a file or folder question.
    struct FileQuestion {
        QString kind; // "open", "save" or "folder"
        QString caption;
        QString directory;
        QString filter;
        QString defaultSuffix;
    };

    QQueue<std::optional<QString>> inputAnswers;
    QQueue<bool> confirmAnswers;
    // Shared by file and folder pickers, in the order they are asked.
    QQueue<QString> fileAnswers;
    QQueue<std::optional<FontDescription>> fontAnswers;
    QQueue<FileExistsChoice> fileExistsAnswers;
    QList<FileExistsQuestion> fileExistsQuestions;
    // The text each input box was prefilled with, in order.
    QStringList inputDefaults;
    QQueue<std::optional<PermissionBoxes>> attributeAnswers;
    QList<PermissionBoxes> attributeQuestions;
    // Everything asked or shown, as "kind:text".
    QStringList asked;
    QList<FileQuestion> fileQuestions;
    // The current font of each font question.
    QList<FontDescription> fontsOffered;

private:
    QString answerFile(FileQuestion question);
};
