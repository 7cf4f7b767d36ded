#pragma once

#include <QLocale>
#include <QString>

// What to do with a download whose local file exists; the values are the
// file-exists dialog's results.
enum class FileExistsChoice { Overwrite = 1, Resume = 2, Rename = 3, Skip = 4 };

// What the file-exists dialog shows.
struct FileExistsQuestion {
    QString localPath;
    qint64 localSize = 0;
    QString remoteSizeText; // the queue entry's size column
    bool wait = false;      // "Wait": count down, then overwrite

    // "Filename: /home/u/a.bin"
    QString filenameText() const { return QStringLiteral("Filename: ") + localPath; }
    // "1,024 bytes"
    QString localSizeText(const QLocale& locale) const {
        return locale.toString(localSize) + QStringLiteral(" bytes");
    }
    QString remoteSizeLabel() const { return remoteSizeText + QStringLiteral(" bytes"); }
};

// The dialog's countdown: from 45, one tick a second; below 1 the dialog
// chooses Overwrite by itself.
class FileExistsCountdown {
public:
    static constexpr int StartSeconds = 45;

    // One tick: the label's new text, "Waiting 44 seconds." after the first.
    QString Tick() {
        --m_left;
        return QStringLiteral("Waiting %1 seconds.").arg(m_left);
    }
    bool expired() const { return m_left < 1; }
    int secondsLeft() const { return m_left; }

private:
    int m_left = StartSeconds;
};
