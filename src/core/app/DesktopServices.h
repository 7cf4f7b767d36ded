#pragma once

#include "SoundKind.h"

#include <QString>
#include <QStringList>

// What the logic needs from the desktop. The GUI implements it with Qt and the
// sound library; tests record the calls instead.
class DesktopServices {
public:
    virtual ~DesktopServices() = default;

    // One of the icon sounds (Asterisk, Exclamation, Question, Stop).
    virtual void playSystemSound(SoundKind kind) = 0;
    // Returns at once; the file plays in the background.
    virtual void playWaveFile(const QString& path) = 0;
    virtual void beep() = 0;
    virtual bool openFile(const QString& path) = 0;
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual bool isApplicationActive() const = 0;
};

// Plays an event's configured sound; unknown kinds play nothing.
void PlayEventSound(DesktopServices& services, const QString& waveFile, SoundKind soundKind);
