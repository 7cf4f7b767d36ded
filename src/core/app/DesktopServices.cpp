#include "DesktopServices.h"

void PlayEventSound(DesktopServices& services, const QString& waveFile, SoundKind soundKind) {
    switch (soundKind) {
    case SoundKind::Asterisk:
    case SoundKind::Exclamation:
    case SoundKind::Question:
    case SoundKind::Stop:
        services.playSystemSound(soundKind);
        break;
    case SoundKind::Beep:
        services.beep();
        break;
    case SoundKind::WavFile:
        // An unset file would only make the player report an error.
        if (!waveFile.isEmpty())
            services.playWaveFile(waveFile);
        break;
    default:
        break;
    }
}
