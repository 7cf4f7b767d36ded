#include "sites/SiteStorage.h"

#include "app/IniFile.h"
#include "sites/PasswordScrambler.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace {

const QByteArray IndexSection = QByteArrayLiteral("_Sites_");

QByteArray IndexKey(int i) {
    return 's' + QByteArray::number(i);
}

// The same rule as the INI file's own section matching: only ASCII folds.
bool SameSection(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = char(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = char(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

// The program keeps its settings in "_Main_", "_Sites_" and the like; a site
// of such a name would write into them, and deleting it would wipe them.
bool IsProgramSection(const QByteArray& section) {
    const QByteArray name = section.trimmed();
    return name.isEmpty() || (name.size() >= 2 && name.startsWith('_') && name.endsWith('_'));
}

QList<QByteArray> ReadIndex(const IniFile& ini) {
    QList<QByteArray> names;
    for (int i = 0; i < SiteStorage::MaxSites; ++i) {
        const QByteArray value = ini.readValue(IndexSection, IndexKey(i));
        if (value.isEmpty())
            break;
        names.append(value);
    }
    return names;
}

// Removes the section's index entries, closing the gap, and the section.
void RemoveSite(IniFile& ini, const QByteArray& section) {
    const QList<QByteArray> index = ReadIndex(ini);
    QList<QByteArray> kept;
    for (const QByteArray& name : index) {
        if (!SameSection(name, section))
            kept.append(name);
    }
    if (kept.size() != index.size()) {
        for (int i = 0; i < kept.size(); ++i)
            ini.writeValue(IndexSection, IndexKey(i), kept[i]);
        for (qsizetype i = kept.size(); i < index.size(); ++i)
            ini.deleteKey(IndexSection, IndexKey(int(i)));
    }
    ini.eraseSection(section);
}

bool HasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// Checked before anything is written, so that a site is stored whole or not
// at all. leaving is a section that goes away first (the old name of a rename).
bool CanWriteSite(const IniFile& ini, const SiteRecord& site, const QByteArray& leaving = {}) {
    const QByteArray section = SiteSectionName(site.name);
    if (IsProgramSection(section) || !ini.isReadable())
        return false;
    // The file keeps no blanks around a section name: such a site could not be read back.
    if (site.name != site.name.trimmed())
        return false;
    for (const QString* value : {&site.name, &site.host, &site.user, &site.port, &site.remotePath,
                                 &site.localPath, &site.options}) {
        if (HasLineBreak(*value))
            return false;
    }
    // A site past the end of a full index would never be listed.
    qsizetype count = 0;
    for (const QByteArray& name : ReadIndex(ini)) {
        if (SameSection(name, section))
            return true;
        if (leaving.isEmpty() || !SameSection(name, leaving))
            ++count;
    }
    return count < SiteStorage::MaxSites;
}

void WriteSite(IniFile& ini, const SiteRecord& site) {
    const QByteArray section = SiteSectionName(site.name);
    const QList<QByteArray> index = ReadIndex(ini);
    const bool listed = std::any_of(index.begin(), index.end(), [&](const QByteArray& name) {
        return SameSection(name, section);
    });
    if (!listed)
        ini.writeValue(IndexSection, IndexKey(int(index.size())), section);
    ini.writeString(section, "IP", site.host);
    ini.writeString(section, "User", site.user);
    ini.writeString(section, "Pass", ScramblePassword('E', site.password));
    ini.writeString(section, "Port", site.port);
    ini.writeString(section, "Path", site.remotePath);
    ini.writeString(section, "LocalPath", site.localPath);
    ini.writeString(section, "Notes", EncodeNotes(site.notes));
    ini.writeString(section, "Options", site.options);
    ini.writeBool(section, "Anonymous", site.anonymous);
}

} // namespace

QByteArray SiteSectionName(const QString& displayName) {
    QByteArray bytes = displayName.toUtf8();
    for (char& c : bytes) {
        if (c == '[')
            c = char(0xFE);
        else if (c == ']')
            c = char(0xFF);
    }
    return bytes;
}

QString SiteDisplayName(const QByteArray& sectionName) {
    QByteArray bytes = sectionName;
    for (char& c : bytes) {
        if (uchar(c) == 0xFE)
            c = '[';
        else if (uchar(c) == 0xFF)
            c = ']';
    }
    // A leading U+FEFF belongs to the name; it is no byte order mark.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString name = utf8.decode(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : name;
}

QString EncodeNotes(const QString& notes) {
    static const QRegularExpression LineBreak(QStringLiteral("\r\n|\n|\r"));
    QStringList lines = notes.split(LineBreak);
    // A final line break ends the last line; it does not start another.
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines)
        line = line.trimmed();
    QString stored = lines.join(QLatin1Char(';'));
    if (stored.endsWith(QLatin1Char(';')))
        stored.chop(1);
    return stored;
}

QString DecodeNotes(const QString& stored) {
    QString notes = stored;
    return notes.replace(QLatin1Char(';'), QStringLiteral("\r\n"));
}

SiteStorage::SiteStorage(QString iniPath) : m_iniPath(std::move(iniPath)) {}

QStringList SiteStorage::SiteNames() const {
    QStringList names;
    for (const QByteArray& section : ReadIndex(IniFile(m_iniPath)))
        names.append(SiteDisplayName(section));
    return names;
}

QString SiteStorage::HostOf(const QString& name) const {
    const QByteArray section = SiteSectionName(name);
    if (IsProgramSection(section))
        return {};
    return IniFile(m_iniPath).readString(section, "IP");
}

SiteRecord SiteStorage::LoadSite(const QString& name) const {
    SiteRecord site;
    site.name = name;
    const QByteArray section = SiteSectionName(name);
    if (IsProgramSection(section))
        return site;
    const IniFile ini(m_iniPath);
    site.host = ini.readString(section, "IP");
    site.user = ini.readString(section, "User");
    const std::optional<QString> password =
        PasswordScrambler::Restore(ini.readString(section, "Pass"));
    if (password) {
        site.password = *password;
    } else {
        site.problem = QStringLiteral("The stored password of site %1 cannot be read; enter it "
                                      "again in the Site Manager.")
                           .arg(name);
    }
    // An empty port or options value could not be used to connect either.
    site.port = ini.readString(section, "Port");
    if (site.port.isEmpty())
        site.port = QStringLiteral("21");
    site.options = ini.readString(section, "Options");
    if (site.options.isEmpty())
        site.options = QStringLiteral("3");
    site.remotePath = ini.readString(section, "Path");
    site.localPath = ini.readString(section, "LocalPath");
    site.notes = DecodeNotes(ini.readString(section, "Notes"));
    site.anonymous = ini.readBool(section, "Anonymous", false);
    return site;
}

bool SiteStorage::SaveSite(const SiteRecord& site) {
    IniFile ini(m_iniPath);
    if (!CanWriteSite(ini, site))
        return false;
    ini.beginUpdate();
    WriteSite(ini, site);
    return ini.endUpdate();
}

bool SiteStorage::DeleteSite(const QString& name) {
    const QByteArray section = SiteSectionName(name);
    if (IsProgramSection(section))
        return false;
    IniFile ini(m_iniPath);
    ini.beginUpdate();
    RemoveSite(ini, section);
    return ini.endUpdate();
}

bool SiteStorage::RenameSite(const QString& oldName, const SiteRecord& renamed) {
    const QByteArray oldSection = SiteSectionName(oldName);
    const QByteArray newSection = SiteSectionName(renamed.name);
    IniFile ini(m_iniPath);
    if (IsProgramSection(oldSection) || !CanWriteSite(ini, renamed, oldSection))
        return false;
    // Renaming onto another saved site would silently replace that site.
    if (!SameSection(oldSection, newSection) && ini.sectionExists(newSection))
        return false;
    ini.beginUpdate();
    RemoveSite(ini, oldSection);
    WriteSite(ini, renamed);
    return ini.endUpdate();
}

bool SiteStorage::SavePath(const QString& name, const QString& path) {
    const QByteArray section = SiteSectionName(name);
    IniFile ini(m_iniPath);
    // A quick-connect session has no saved site to hold its path.
    if (IsProgramSection(section) || !ini.sectionExists(section))
        return false;
    return ini.writeString(section, "Path", path);
}
