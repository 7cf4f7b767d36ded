#include "ScriptedUserPrompts.h"

std::optional<QString> ScriptedUserPrompts::inputBox(const QString& caption, const QString& prompt,
                                                     const QString& defaultText) {
    asked << QStringLiteral("input:") + caption + QLatin1Char('|') + prompt;
    inputDefaults << defaultText;
    return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.dequeue();
}

bool ScriptedUserPrompts::confirm(const QString& text) {
    asked << QStringLiteral("confirm:") + text;
    return !confirmAnswers.isEmpty() && confirmAnswers.dequeue();
}

void ScriptedUserPrompts::information(const QString& text) {
    asked << QStringLiteral("information:") + text;
}

void ScriptedUserPrompts::error(const QString& text) {
    asked << QStringLiteral("error:") + text;
}

QString ScriptedUserPrompts::answerFile(FileQuestion question) {
    asked << question.kind + QLatin1Char(':') + question.caption;
    fileQuestions << std::move(question);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString ScriptedUserPrompts::openFileName(const QString& caption, const QString& directory,
                                          const QString& filter) {
    return answerFile({QStringLiteral("open"), caption, directory, filter, {}});
}

QString ScriptedUserPrompts::saveFileName(const QString& caption, const QString& directory,
                                          const QString& filter, const QString& defaultSuffix) {
    return answerFile({QStringLiteral("save"), caption, directory, filter, defaultSuffix});
}

QString ScriptedUserPrompts::folder(const QString& caption, const QString& directory) {
    return answerFile({QStringLiteral("folder"), caption, directory, {}, {}});
}

std::optional<FontDescription> ScriptedUserPrompts::chooseFont(const QString& caption,
                                                               const FontDescription& current) {
    asked << QStringLiteral("font:") + caption;
    fontsOffered << current;
    std::optional<FontDescription> answer =
        fontAnswers.isEmpty() ? std::nullopt : fontAnswers.dequeue();
    if (answer)
        answer->colour = current.colour;
    return answer;
}

FileExistsChoice ScriptedUserPrompts::fileExists(const FileExistsQuestion& question) {
    asked << QStringLiteral("fileExists:") + question.localPath;
    fileExistsQuestions << question;
    return fileExistsAnswers.isEmpty() ? FileExistsChoice::Skip : fileExistsAnswers.dequeue();
}

std::optional<PermissionBoxes> ScriptedUserPrompts::chooseAttributes(const PermissionBoxes& initial) {
    asked << QStringLiteral("attributes:") + initial.ModeText();
    attributeQuestions << initial;
    return attributeAnswers.isEmpty() ? std::optional(initial) : attributeAnswers.dequeue();
}
