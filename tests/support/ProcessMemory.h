#pragma once

#include <QByteArray>
#include <QFile>

// A field of /proc/self/status in KiB ("VmHWM", "VmRSS"); -1 when absent.
// Tests and benchmarks read the process's memory through this.
inline long ProcessStatusKiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').first().toLong();
    }
    return -1;
}
