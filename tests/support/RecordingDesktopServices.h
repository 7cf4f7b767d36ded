#pragma once

#include "app/DesktopServices.h"

#include <QList>
#include <QString>
#include <QStringList>

// Records every call, in order, as "name" or "name:argument" in `calls`.
class RecordingDesktopServices : public DesktopServices {
public:
    void playSystemSound(SoundKind kind) override;
    void playWaveFile(const QString& path) override;
    void beep() override;
    bool openFile(const QString& path) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    void setClipboardText(const QString& text) override;
    bool isApplicationActive() const override;

    // Sound calls only, for tests that look at what was heard.
    QStringList soundCalls() const;

    QStringList calls;
    QString clipboardText;
    bool applicationActive = true;
    bool openFileResult = true;
    bool startProgramResult = true;
    mutable int activeQueries = 0;
};
