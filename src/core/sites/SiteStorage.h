#pragma once

#include "sites/SiteRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A site's INI section name: "[" stored as the byte 0xFE and "]" as 0xFF, so
// a name cannot close the section header; the rest is UTF-8.
QByteArray SiteSectionName(const QString& displayName);
// The display name back from a section name.
QString SiteDisplayName(const QByteArray& sectionName);

// Notes as stored: lines trimmed, line breaks as ";", no trailing ";".
QString EncodeNotes(const QString& notes);
// Every ";" back to CR LF.
QString DecodeNotes(const QString& stored);

// The saved sites in Korvane.ini: the "_Sites_" index ("s0", "s1", ... up to
// the first empty key) and one section per site. Nothing is cached: every
// call reads the file again, every change rewrites it atomically.
class SiteStorage {
public:
    static constexpr int MaxSites = 3001;

    explicit SiteStorage(QString iniPath);

    // The index's names as display names, in index order.
    QStringList SiteNames() const;
    // The host a section holds ("IP"), empty when no such site.
    QString HostOf(const QString& name) const;
    // Missing keys take their defaults (port "21", options "3").
    SiteRecord LoadSite(const QString& name) const;
    // "&Save": adds the name to the index unless present (ignoring case) and
    // writes the section with the password scrambled. False when not written.
    bool SaveSite(const SiteRecord& site);
    // Removes the index entry (the index is rewritten without gaps) and the section.
    bool DeleteSite(const QString& name);
    // Removes the old name and saves the site under its new name.
    bool RenameSite(const QString& oldName, const SiteRecord& renamed);
    // "&Save Path": the site's remote directory.
    bool SavePath(const QString& name, const QString& path);

private:
    QString m_iniPath;
};
