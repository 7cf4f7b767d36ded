#include "app/QtDesktopServices.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QUrl>

#ifdef KORVANE_HAVE_CANBERRA
#include <canberra.h>
#endif

QtDesktopServices::QtDesktopServices() = default;

QtDesktopServices::~QtDesktopServices() {
#ifdef KORVANE_HAVE_CANBERRA
    if (m_context)
        ca_context_destroy(m_context);
#endif
}

const char* QtDesktopServices::EventSoundId(SoundKind kind) {
    switch (kind) {
    case SoundKind::Asterisk:
        return "dialog-information";
    case SoundKind::Exclamation:
        return "dialog-warning";
    case SoundKind::Question:
        return "dialog-question";
    case SoundKind::Stop:
        return "dialog-error";
    default:
        return "";
    }
}

namespace {
// Opening the library without any output makes the sound system print errors
// on every start; a machine without a sound card or server stays quiet.
bool HasAudioOutput() {
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && (QFileInfo::exists(runtime + QLatin1String("/pulse/native")) ||
                               QFileInfo::exists(runtime + QLatin1String("/pipewire-0"))))
        return true;
    return !QDir(QStringLiteral("/dev/snd"))
                .entryList({QStringLiteral("pcmC*")}, QDir::System)
                .isEmpty();
}
} // namespace

bool QtDesktopServices::ensureContext() {
#ifdef KORVANE_HAVE_CANBERRA
    if (m_context)
        return true;
    if (m_contextFailed)
        return false;
    if (!HasAudioOutput()) {
        m_contextFailed = true;
        return false;
    }
    ca_context* context = nullptr;
    if (ca_context_create(&context) != CA_SUCCESS) {
        m_contextFailed = true;
        return false;
    }
    ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Korvane", nullptr);
    // No audio device: stay silent from now on instead of retrying each time.
    if (ca_context_open(context) != CA_SUCCESS) {
        ca_context_destroy(context);
        m_contextFailed = true;
        return false;
    }
    m_context = context;
    return true;
#else
    return false;
#endif
}

void QtDesktopServices::playSystemSound(SoundKind kind) {
    if (kind == SoundKind::Beep) {
        beep();
        return;
    }
    const char* id = EventSoundId(kind);
    if (!*id || !ensureContext())
        return;
#ifdef KORVANE_HAVE_CANBERRA
    ca_context_play(m_context, 0, CA_PROP_EVENT_ID, id, nullptr);
#endif
}

void QtDesktopServices::playWaveFile(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path) || !ensureContext())
        return;
#ifdef KORVANE_HAVE_CANBERRA
    const QByteArray file = QFile::encodeName(path);
    // Plays in the library's own thread; the call returns at once.
    ca_context_play(m_context, 0, CA_PROP_MEDIA_FILENAME, file.constData(),
                    CA_PROP_CANBERRA_CACHE_CONTROL, "volatile", nullptr);
#endif
}

void QtDesktopServices::beep() {
    QApplication::beep();
}

bool QtDesktopServices::openFile(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool QtDesktopServices::startProgram(const QString& program, const QStringList& arguments) {
    return QProcess::startDetached(program, arguments);
}

void QtDesktopServices::setClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

bool QtDesktopServices::isApplicationActive() const {
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}
