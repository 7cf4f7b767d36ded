#pragma once

#include <QFont>
#include <QString>

#include <functional>
#include <optional>

class QWidget;

// What a save dialog is asked for. Filters use Qt's form: "Log File (*.log)".
struct SaveFileRequest {
    QString caption;
    QString directory;
    QString filter;
    QString defaultSuffix;
};

// Modal dialogs behind std::function so that tests answer without blocking.
// An empty name or no font means the user cancelled.
using SaveFileNameProvider = std::function<QString(QWidget* parent, const SaveFileRequest&)>;
using FontProvider = std::function<std::optional<QFont>(QWidget* parent, const QFont& current)>;

QString AskSaveFileName(QWidget* parent, const SaveFileRequest& request);
std::optional<QFont> AskFont(QWidget* parent, const QFont& current);
