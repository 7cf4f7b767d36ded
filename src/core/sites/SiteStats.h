#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

// What the "Site Stats" page shows, as text.
struct SiteStatsView {
    QString totalConnects;   // "Total Logins", "0" when missing
    QString lastConnect;     // "Last Login" as date and time, or "none"
    QString filesUploaded;   // "Total Sent Files"
    QString filesDownloaded; // "Total Recv Files"
    QString bytesUploaded;   // "Total Sent Bytes", whole number without separators
    QString bytesDownloaded; // "Total Recv Bytes"
    QString totalBytes;      // "Bytes" of "Total"
    QString totalSince;      // "Since" of "Total", or "none"
};

// Per-site statistics in Stats.dat: one section per site (under its
// SiteSectionName) and the grand total in "Total".
class SiteStats {
public:
    enum class Kind { Login = 0, Sent = 1, Received = 2 };

    explicit SiteStats(QString path);
    // Whatever is still held goes to the file.
    ~SiteStats();
    SiteStats(const SiteStats&) = delete;
    SiteStats& operator=(const SiteStats&) = delete;

    // Counts a login, or a file sent to or received from the site. An empty
    // site name does nothing.
    bool UpdateSiteStats(const QString& siteName, Kind kind, qint64 bytes,
                         const QDateTime& now = QDateTime::currentDateTime());
    // A file copied site to site: sent to one, received from the other.
    // Copies of small files come faster than the file can be rewritten, so
    // they are held and written together once the oldest held is a second
    // old, at Flush and before any other use of the file.
    bool RecordCopy(const QString& targetSite, const QString& sourceSite, qint64 bytes,
                    const QDateTime& now = QDateTime::currentDateTime());
    // Writes the copies held; false when the file could not be written (they
    // stay held for the next try).
    bool Flush();
    // Dates show in the locale's short date and long time format.
    SiteStatsView Read(const QString& siteName, const QLocale& locale = QLocale::system());
    bool ResetSite(const QString& siteName);
    bool ResetTotal();
    // A renamed site keeps its statistics.
    bool MoveSite(const QString& oldName, const QString& newName);

private:
    // Copies between one pair of sites not written yet.
    struct HeldCopies {
        QString targetSite;
        QString sourceSite;
        qint64 files = 0;
        qint64 bytes = 0;
        QDateTime first;
    };

    QString m_path;
    QList<HeldCopies> m_held;
};
