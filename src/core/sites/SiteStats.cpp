#include "sites/SiteStats.h"

#include "app/IniFile.h"
#include "sites/SiteStorage.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QByteArray TotalSection = QByteArrayLiteral("Total");
const QByteArray TotalBytes = QByteArrayLiteral("Bytes");
const QByteArray TotalSince = QByteArrayLiteral("Since");
const QByteArray Logins = QByteArrayLiteral("Total Logins");
const QByteArray LastLogin = QByteArrayLiteral("Last Login");
const QByteArray SentFiles = QByteArrayLiteral("Total Sent Files");
const QByteArray SentBytes = QByteArrayLiteral("Total Sent Bytes");
const QByteArray RecvFiles = QByteArrayLiteral("Total Recv Files");
const QByteArray RecvBytes = QByteArrayLiteral("Total Recv Bytes");
const QList<QByteArray> SiteKeys = {Logins, LastLogin, SentFiles, SentBytes, RecvFiles, RecvBytes};

// Written without the locale, so a changed locale can still read it.
const QString StoredDateFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

// Older files hold byte counts as floating-point text ("1.5E10" too).
qint64 ReadCount(const IniFile& ini, const QByteArray& section, const QByteArray& key) {
    const QByteArray text = ini.readValue(section, key).trimmed();
    bool ok = false;
    qint64 count = text.toLongLong(&ok);
    if (!ok) {
        double real = text.toDouble(&ok);
        if (!ok)
            real = QLocale::system().toDouble(QString::fromUtf8(text), &ok);
        // 9.2e18 is just below the largest qint64.
        count = ok && std::isfinite(real) ? qint64(std::clamp(std::round(real), 0.0, 9.2e18)) : 0;
    }
    return qMax<qint64>(count, 0);
}

// Both not negative; counts stop at the largest qint64 instead of wrapping.
qint64 AddClamped(qint64 count, qint64 amount) {
    return count > std::numeric_limits<qint64>::max() - amount
               ? std::numeric_limits<qint64>::max()
               : count + amount;
}

void AddTo(IniFile& ini, const QByteArray& section, const QByteArray& key, qint64 amount) {
    ini.writeValue(section, key, QByteArray::number(AddClamped(ReadCount(ini, section, key), amount)));
}

QString DateTimeFormat(const QLocale& locale) {
    return locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.timeFormat(QLocale::LongFormat);
}

// "none" when missing; a value that cannot be read shows a fixed 1990 date.
QString ShowDate(const IniFile& ini, const QByteArray& section, const QByteArray& key,
                 const QLocale& locale) {
    if (!ini.keyExists(section, key))
        return QStringLiteral("none");
    const QString text = ini.readString(section, key);
    QDateTime when = QDateTime::fromString(text, StoredDateFormat);
    if (!when.isValid())
        when = QLocale::system().toDateTime(text, DateTimeFormat(QLocale::system()));
    if (!when.isValid())
        when = QLocale::system().toDateTime(text, QLocale::ShortFormat);
    if (!when.isValid())
        when = QDateTime(QDate(1990, 1, 11), QTime(11, 11, 11));
    return locale.toString(when, DateTimeFormat(locale));
}

QString ShowCount(const IniFile& ini, const QByteArray& section, const QByteArray& key) {
    return QString::number(ReadCount(ini, section, key));
}

// A site named "Total" shares its section with the grand total, so only the
// given keys go, and the section when nothing else is left in it.
void RemoveKeys(IniFile& ini, const QByteArray& section, const QList<QByteArray>& keys) {
    for (const QByteArray& key : keys)
        ini.deleteKey(section, key);
    if (ini.sectionExists(section) && ini.readSection(section).isEmpty())
        ini.eraseSection(section);
}

bool SameSection(const QByteArray& a, const QByteArray& b) {
    return a.toLower() == b.toLower();
}

} // namespace

SiteStats::SiteStats(QString path) : m_path(std::move(path)) {}

SiteStats::~SiteStats() {
    Flush();
}

namespace {

void Count(IniFile& ini, const QString& siteName, SiteStats::Kind kind, qint64 bytes,
           const QDateTime& now, qint64 files = 1) {
    if (siteName.isEmpty())
        return;
    const QByteArray section = SiteSectionName(siteName);
    bytes = qMax<qint64>(bytes, 0);
    switch (kind) {
    case SiteStats::Kind::Login:
        AddTo(ini, section, Logins, 1);
        ini.writeString(section, LastLogin, now.toString(StoredDateFormat));
        break;
    case SiteStats::Kind::Sent:
        AddTo(ini, section, SentFiles, files);
        AddTo(ini, section, SentBytes, bytes);
        if (ReadCount(ini, TotalSection, TotalBytes) == 0)
            ini.writeString(TotalSection, TotalSince, now.toString(StoredDateFormat));
        AddTo(ini, TotalSection, TotalBytes, bytes);
        break;
    case SiteStats::Kind::Received:
        AddTo(ini, section, RecvFiles, files);
        AddTo(ini, section, RecvBytes, bytes);
        break;
    }
}

} // namespace

bool SiteStats::UpdateSiteStats(const QString& siteName, Kind kind, qint64 bytes,
                                const QDateTime& now) {
    if (siteName.isEmpty())
        return true;
    Flush();
    IniFile ini(m_path);
    ini.beginUpdate();
    Count(ini, siteName, kind, bytes, now);
    return ini.endUpdate();
}

bool SiteStats::RecordCopy(const QString& targetSite, const QString& sourceSite, qint64 bytes,
                           const QDateTime& now) {
    if (targetSite.isEmpty() && sourceSite.isEmpty())
        return true;
    auto held = std::find_if(m_held.begin(), m_held.end(), [&](const HeldCopies& h) {
        return h.targetSite == targetSite && h.sourceSite == sourceSite;
    });
    if (held == m_held.end())
        held = m_held.insert(m_held.end(), HeldCopies{targetSite, sourceSite, 0, 0, now});
    ++held->files;
    held->bytes = AddClamped(held->bytes, qMax<qint64>(bytes, 0));
    // A clock set back counts as time gone by too.
    const bool due = std::any_of(m_held.cbegin(), m_held.cend(), [&](const HeldCopies& h) {
        return qAbs(h.first.msecsTo(now)) >= 1000;
    });
    return !due || Flush();
}

bool SiteStats::Flush() {
    if (m_held.isEmpty())
        return true;
    IniFile ini(m_path);
    ini.beginUpdate();
    for (const HeldCopies& h : std::as_const(m_held)) {
        Count(ini, h.targetSite, Kind::Sent, h.bytes, h.first, h.files);
        Count(ini, h.sourceSite, Kind::Received, h.bytes, h.first, h.files);
    }
    if (!ini.endUpdate())
        return false;
    m_held.clear();
    return true;
}

SiteStatsView SiteStats::Read(const QString& siteName, const QLocale& locale) {
    Flush();
    const QByteArray section = SiteSectionName(siteName);
    const IniFile ini(m_path);
    SiteStatsView view;
    view.totalConnects = ShowCount(ini, section, Logins);
    view.lastConnect = ShowDate(ini, section, LastLogin, locale);
    view.filesUploaded = ShowCount(ini, section, SentFiles);
    view.filesDownloaded = ShowCount(ini, section, RecvFiles);
    view.bytesUploaded = ShowCount(ini, section, SentBytes);
    view.bytesDownloaded = ShowCount(ini, section, RecvBytes);
    view.totalBytes = ShowCount(ini, TotalSection, TotalBytes);
    view.totalSince = ShowDate(ini, TotalSection, TotalSince, locale);
    return view;
}

bool SiteStats::ResetSite(const QString& siteName) {
    Flush();
    IniFile ini(m_path);
    ini.beginUpdate();
    RemoveKeys(ini, SiteSectionName(siteName), SiteKeys);
    return ini.endUpdate();
}

bool SiteStats::ResetTotal() {
    Flush();
    IniFile ini(m_path);
    ini.beginUpdate();
    RemoveKeys(ini, TotalSection, {TotalBytes, TotalSince});
    return ini.endUpdate();
}

bool SiteStats::MoveSite(const QString& oldName, const QString& newName) {
    const QByteArray oldSection = SiteSectionName(oldName);
    const QByteArray newSection = SiteSectionName(newName);
    // A change of letter case only: the section already serves both names.
    if (SameSection(oldSection, newSection))
        return true;
    Flush();
    IniFile ini(m_path);
    ini.beginUpdate();
    // Values the old site lacks go too: the new name may have kept the
    // statistics of a site deleted earlier.
    for (const QByteArray& key : SiteKeys) {
        if (ini.keyExists(oldSection, key))
            ini.writeValue(newSection, key, ini.readValue(oldSection, key));
        else
            ini.deleteKey(newSection, key);
    }
    RemoveKeys(ini, oldSection, SiteKeys);
    return ini.endUpdate();
}
