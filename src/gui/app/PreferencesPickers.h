#pragma once

#include "widgets/FileDialogs.h"

#include <QString>

#include <functional>

class QWidget;

// The modal dialogs the Preferences dialog opens, behind std::function so that
// tests answer them without blocking. An empty name or no font means the user
// cancelled.
struct PreferencesPickers {
    using FolderPicker = std::function<QString(QWidget* parent, const QString& start)>;
    // filter uses Qt's form: "Wav File (*.wav)"; empty means any file.
    using FilePicker =
        std::function<QString(QWidget* parent, const QString& start, const QString& filter)>;
    using MessageSink = std::function<void(QWidget* parent, const QString& message)>;

    FolderPicker pickFolder;
    FilePicker pickFile;
    FontProvider pickFont;
    // Refusals and failures of "&OK".
    MessageSink showMessage;

    // The Qt dialogs and message box.
    static PreferencesPickers Standard();
};
