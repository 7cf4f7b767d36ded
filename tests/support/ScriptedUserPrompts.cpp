#include "ScriptedUserPrompts.h"

std::optional<QString> ScriptedUserPrompts::inputBox(const QString& caption, const QString& prompt,
                                                     const QString&) {
    asked << QStringLiteral("input:") + caption + QLatin1Char('|') + prompt;
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

QString ScriptedUserPrompts::openFileName(const QString& caption, const QString&, const QString&) {
    asked << QStringLiteral("open:") + caption;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString ScriptedUserPrompts::saveFileName(const QString& caption, const QString&, const QString&) {
    asked << QStringLiteral("save:") + caption;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString ScriptedUserPrompts::folder(const QString& caption, const QString&) {
    asked << QStringLiteral("folder:") + caption;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}
