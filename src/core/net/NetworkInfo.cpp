#include "net/PumpingSocket.h"

#include <QSysInfo>

#include <sys/resource.h>

// The six lines describing the network stack; the third one is what the
// program logs first at start-up.
QStringList PumpingSocket::WSInfo() {
    const QString version = QStringLiteral("%1.%2").arg(QT_VERSION_MAJOR).arg(QT_VERSION_MINOR);
    rlimit files{};
    const long maxSockets =
        getrlimit(RLIMIT_NOFILE, &files) == 0 ? long(files.rlim_cur) : long(1024);
    return {
        QStringLiteral("Version= ") + version,
        QStringLiteral("High Version= ") + version,
        QStringLiteral("Description= Qt %1 Network on %2 %3 (TCP/IP sockets)")
            .arg(QString::fromLatin1(qVersion()), QSysInfo::kernelType(),
                 QSysInfo::kernelVersion()),
        QStringLiteral("System= Running"),
        QStringLiteral("Max Sockets= %1").arg(maxSockets),
        QStringLiteral("Max Udp pack size= 65507"),
    };
}
