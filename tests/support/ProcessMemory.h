#pragma once

#include <QByteArray>
#include <QFile>

// Sanitizers add shadow memory and keep freed blocks in quarantine, so peak
// bounds are doubled there: still well below what an unbounded buffer takes.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KORVANE_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KORVANE_SANITIZED 1
#endif
#endif
#ifdef KORVANE_SANITIZED
constexpr long MemoryBoundScale = 2;
#else
constexpr long MemoryBoundScale = 1;
#endif

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
