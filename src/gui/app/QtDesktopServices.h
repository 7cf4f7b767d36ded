#pragma once

#include "app/DesktopServices.h"

// The desktop as Qt and libcanberra offer it. Sounds are silent where there is
// no sound library or no audio device: a missing sound is never an error.
class QtDesktopServices : public DesktopServices {
public:
    QtDesktopServices();
    ~QtDesktopServices() override;
    QtDesktopServices(const QtDesktopServices&) = delete;
    QtDesktopServices& operator=(const QtDesktopServices&) = delete;

    void playSystemSound(SoundKind kind) override;
    void playWaveFile(const QString& path) override;
    void beep() override;
    bool openFile(const QString& path) override;
    bool startProgram(const QString& program, const QStringList& arguments) override;
    void setClipboardText(const QString& text) override;
    bool isApplicationActive() const override;

    // The freedesktop sound-theme name of an icon sound, or empty.
    static const char* EventSoundId(SoundKind kind);

private:
    // Created on the first sound, so programs that never play one never open audio.
    bool ensureContext();

    struct ca_context* m_context = nullptr;
    bool m_contextFailed = false;
};
