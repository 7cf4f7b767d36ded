#include "RecordingDesktopServices.h"

void RecordingDesktopServices::playSystemSound(SoundKind kind) {
    calls << QStringLiteral("playSystemSound:%1").arg(int(kind));
}

void RecordingDesktopServices::playWaveFile(const QString& path) {
    calls << QStringLiteral("playWaveFile:") + path;
}

void RecordingDesktopServices::beep() {
    calls << QStringLiteral("beep");
}

bool RecordingDesktopServices::openFile(const QString& path) {
    calls << QStringLiteral("openFile:") + path;
    return openFileResult;
}

bool RecordingDesktopServices::startProgram(const QString& program, const QStringList& arguments) {
    QStringList parts{program};
    parts += arguments;
    calls << QStringLiteral("startProgram:") + parts.join(QLatin1Char(' '));
    return startProgramResult;
}

void RecordingDesktopServices::setClipboardText(const QString& text) {
    calls << QStringLiteral("setClipboardText");
    clipboardText = text;
}

bool RecordingDesktopServices::isApplicationActive() const {
    ++activeQueries;
    return applicationActive;
}

QStringList RecordingDesktopServices::soundCalls() const {
    QStringList sounds;
    for (const QString& call : calls) {
        if (call.startsWith(QLatin1String("play")) || call == QLatin1String("beep"))
            sounds << call;
    }
    return sounds;
}
