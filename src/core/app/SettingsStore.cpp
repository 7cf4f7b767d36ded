#include "SettingsStore.h"

#include "DesktopServices.h"
#include "IniFile.h"
#include "PatternList.h"

#include <QDir>

#include <variant>

namespace {

using Field =
    std::variant<QString Settings::*, int Settings::*, bool Settings::*, Colour Settings::*>;

struct Binding {
    const char* section;
    const char* key;
    Field field;
    bool editedByDialog;
};

// Table order is reading order.
const Binding Bindings[] = {
    {MainSection, "Email", &Settings::email, true},
    {MainSection, "ConnectTimeout", &Settings::connectTimeout, true},
    {MainSection, "RetryDelay", &Settings::retryDelay, true},
    {MainSection, "RetryCount", &Settings::retryCount, true},
    {MainSection, "Status Size", &Settings::statusSize, true},
    {MainSection, "Log Name", &Settings::logName, true},
    {MainSection, "Logging", &Settings::logging, true},
    {MainSection, "Download Directory", &Settings::downloadDirectory, true},
    {MainSection, "View", &Settings::viewWithShell, true},
    {MainSection, "File Viewer", &Settings::fileViewer, true},
    {MainSection, "Use Temp", &Settings::useTemp, true},
    {MainSection, "Anti-Idle", &Settings::antiIdle, true},
    {MainSection, "Idle Time", &Settings::idleTime, true},
    {MainSection, "Directories", &Settings::directories, true},
    {MainSection, "AutoSort", &Settings::autoSort, true},
    {MainSection, "Sort", &Settings::sort, true},
    {MainSection, "Owner", &Settings::owner, true},
    {MainSection, "Group", &Settings::group, true},
    {MainSection, "Attrib", &Settings::attrib, true},
    {MainSection, "Font", &Settings::font, true},
    {MainSection, "StatusFont", &Settings::statusFont, true},
    {MainSection, "Item Count", &Settings::itemCount, true},
    {MainSection, "On Double Click", &Settings::onDoubleClick, true},
    {MainSection, "On DragDrop", &Settings::onDragDrop, true},
    {MainSection, "On Local Duplicate", &Settings::onLocalDuplicate, true},
    {MainSection, "Wait", &Settings::wait, true},
    {MainSection, "Alt List", &Settings::altList, true},
    {MainSection, "Show214", &Settings::show214, true},
    {MainSection, "RestoreResume", &Settings::restoreResume, true},
    {MainSection, "CleanUp", &Settings::cleanUp, true},
    {MainSection, "List Method", &Settings::listMethod, true},
    {MainSection, "List Custom Text", &Settings::listCustomText, true},
    {MainSection, "Skip", &Settings::skip, true},
    {MainSection, "Skip null files", &Settings::skipNullFiles, true},
    {MainSection, "Skip Empty Dirs", &Settings::skipEmptyDirs, true},
    {MainSection, "Skip List Applies to Dirs", &Settings::skipListAppliesToDirs, true},
    {MainSection, "Show Skip", &Settings::showSkip, true},
    {MainSection, "SkipColor", &Settings::skipColour, true},
    {MainSection, "Favorites", &Settings::favorites, true},
    {MainSection, "FColor", &Settings::favoritesColour, true},
    {MainSection, "Identd Server", &Settings::identdServer, true},
    {MainSection, "Identd User", &Settings::identdUser, true},
    {MainSection, "Identd Only", &Settings::identdOnly, true},
    {MainSection, "Proxy", &Settings::proxy, true},
    {MainSection, "Proxy Host", &Settings::proxyHost, true},
    {MainSection, "Proxy Port", &Settings::proxyPort, true},
    {MainSection, ToggleKey::SkipFile, &Settings::skipFile, false},
    {MainSection, ToggleKey::OnCompleteIdle, &Settings::onCompleteIdle, false},
    {MainSection, ToggleKey::DeleteMethod, &Settings::deleteMethod, false},
    {MainSection, ToggleKey::DupeMatch, &Settings::dupeMatch, false},
    {MainSection, ToggleKey::TreeStyle, &Settings::treeStyle, false},
    {MainSection, ToggleKey::StatusStyle, &Settings::statusStyle, false},
    {MainSection, ToggleKey::LeftTree, &Settings::leftTree, false},
    {MainSection, ToggleKey::RightTree, &Settings::rightTree, false},
    {MainSection, ToggleKey::Cache, &Settings::cache, false},
    {MainSection, ToggleKey::AutoRefreshEnabled, &Settings::autoRefreshEnabled, false},
    {MainSection, "AutoRefresh", &Settings::autoRefresh, false},
    {MainSection, "Race", &Settings::race, false},
    {MainSection, "all", &Settings::all, false},
    {MainSection, "Update Host", &Settings::updateHost, false},
    {MainSection, "Update Port", &Settings::updatePort, false},
    {ConfirmSection, "ExitEmptyQueue", &Settings::exitEmptyQueue, true},
    {SoundsSection, "Connect Sound", &Settings::connectSound, true},
    {SoundsSection, "Disconnect Sound", &Settings::disconnectSound, true},
    {SoundsSection, "Error Sound", &Settings::errorSound, true},
    {SoundsSection, "Queue Sound", &Settings::queueSound, true},
    {SoundsSection, "Connect Wav", &Settings::connectWav, true},
    {SoundsSection, "Disconnect Wav", &Settings::disconnectWav, true},
    {SoundsSection, "Error Wav", &Settings::errorWav, true},
    {SoundsSection, "Queue Wav", &Settings::queueWav, true},
};

struct Reader {
    const IniFile& ini;
    const Binding& b;
    Settings& s;
    void operator()(QString Settings::*f) const { s.*f = ini.readString(b.section, b.key, s.*f); }
    void operator()(int Settings::*f) const { s.*f = ini.readInteger(b.section, b.key, s.*f); }
    void operator()(bool Settings::*f) const { s.*f = ini.readBool(b.section, b.key, s.*f); }
    void operator()(Colour Settings::*f) const {
        s.*f = Colour(ini.readInteger(b.section, b.key, int(s.*f)));
    }
};

struct Writer {
    IniFile& ini;
    const Binding& b;
    const Settings& s;
    bool operator()(QString Settings::*f) const { return ini.writeString(b.section, b.key, s.*f); }
    bool operator()(int Settings::*f) const { return ini.writeInteger(b.section, b.key, s.*f); }
    bool operator()(bool Settings::*f) const { return ini.writeBool(b.section, b.key, s.*f); }
    bool operator()(Colour Settings::*f) const {
        return ini.writeInteger(b.section, b.key, int(s.*f));
    }
};

WindowLayout ReadLayout(const IniFile& ini) {
    WindowLayout layout;
    layout.left = ini.readInteger(MainSection, "Left", layout.left);
    layout.top = ini.readInteger(MainSection, "Top", layout.top);
    layout.width = ini.readInteger(MainSection, "Width", layout.width);
    layout.height = ini.readInteger(MainSection, "Height", layout.height);
    layout.split3 = ini.readInteger(MainSection, "Split 3", layout.split3);
    const int half = WindowLayout::DefaultSplit(layout.width);
    layout.split1 = ini.readInteger(MainSection, "Split 1", half);
    layout.split2 = ini.readInteger(MainSection, "Split 2", half);
    layout.maximized = ini.readInteger(MainSection, "State", 0) == 1;
    return layout;
}

} // namespace

SettingsStore::SettingsStore(DataPaths paths) : m_paths(std::move(paths)) {}

QString SettingsStore::iniPath() const {
    return m_paths.filePath(QLatin1String(SettingsFileName));
}

QString SettingsStore::skipListPath() const {
    return m_paths.filePath(QLatin1String(SkipListFileName));
}

QString SettingsStore::favouritesPath() const {
    return m_paths.filePath(QLatin1String(FavouritesFileName));
}

Settings SettingsStore::ReadSettings() const {
    const IniFile ini(iniPath());
    Settings settings;
    for (const Binding& binding : Bindings)
        std::visit(Reader{ini, binding, settings}, binding.field);
    settings.layout = ReadLayout(ini);
    return settings;
}

LoadedSettings SettingsStore::LoadSettings() const {
    LoadedSettings loaded;
    loaded.settings = ReadSettings();
    loaded.skipList = LoadPatternList(skipListPath(), SkipListSection);
    loaded.favourites = LoadPatternList(favouritesPath(), FavouritesSection);
    return loaded;
}

QString SettingsStore::ValidateIdleTime(int seconds) {
    if (seconds >= 30)
        return {};
    return QStringLiteral("Ant-idle value to low. ") + u'\n' +
           QStringLiteral("Lowest value 30 sec.");
}

QString SettingsStore::ConfirmPreferences(const Settings& settings, const QStringList& skipList,
                                          const QStringList& favourites,
                                          DesktopServices& services) const {
    const QString refusal = ValidateIdleTime(settings.idleTime);
    if (!refusal.isEmpty()) {
        services.playSystemSound(SoundKind::Stop);
        return refusal;
    }
    if (!SavePreferences(settings, skipList, favourites))
        return QStringLiteral("The preferences could not be saved in %1.\n"
                              "Check that the folder and its files can be written, "
                              "then choose OK again.")
            .arg(QDir::toNativeSeparators(m_paths.directory()));
    return {};
}

bool SettingsStore::SavePreferences(const Settings& settings, const QStringList& skipList,
                                    const QStringList& favourites) const {
    IniFile ini(iniPath());
    ini.beginUpdate();
    for (const Binding& binding : Bindings) {
        if (binding.editedByDialog)
            std::visit(Writer{ini, binding, settings}, binding.field);
    }
    // Older versions kept the skip list here.
    ini.eraseSection(SkipListSection);
    bool ok = ini.endUpdate();
    ok = SavePatternList(skipListPath(), SkipListSection, skipList) && ok;
    ok = SavePatternList(favouritesPath(), FavouritesSection, favourites) && ok;
    return ok;
}

bool Settings::*SettingsStore::BoolField(const QByteArray& key) {
    for (const Binding& binding : Bindings) {
        const auto* field = std::get_if<bool Settings::*>(&binding.field);
        if (field && qstrcmp(binding.section, MainSection) == 0 &&
            key.compare(binding.key, Qt::CaseInsensitive) == 0)
            return *field;
    }
    return nullptr;
}

bool SettingsStore::WriteToggle(const QByteArray& key, bool on) const {
    IniFile ini(iniPath());
    return ini.writeBool(MainSection, key, on);
}

bool SettingsStore::ReadAll() const {
    return IniFile(iniPath()).readBool(MainSection, "all", false);
}

bool SettingsStore::WriteAll(bool on) const {
    return WriteToggle("all", on);
}

WindowLayout SettingsStore::ReadWindowLayout() const {
    return ReadLayout(IniFile(iniPath()));
}

bool SettingsStore::WriteWindowLayout(const WindowLayout& layout) const {
    IniFile ini(iniPath());
    ini.beginUpdate();
    ini.writeInteger(MainSection, "Left", layout.left);
    ini.writeInteger(MainSection, "Top", layout.top);
    ini.writeInteger(MainSection, "Width", layout.width);
    ini.writeInteger(MainSection, "Height", layout.height);
    ini.writeInteger(MainSection, "Split 1", layout.split1);
    ini.writeInteger(MainSection, "Split 2", layout.split2);
    ini.writeInteger(MainSection, "Split 3", layout.split3);
    ini.writeInteger(MainSection, "State", layout.maximized ? 1 : 0);
    return ini.endUpdate();
}

std::optional<QRect> SettingsStore::ReadViewerGeometry(const QRect& current) const {
    const IniFile ini(iniPath());
    if (!ini.sectionExists(ViewerSection))
        return std::nullopt;
    return QRect(ini.readInteger(ViewerSection, "Left", current.left()),
                 ini.readInteger(ViewerSection, "Top", current.top()),
                 ini.readInteger(ViewerSection, "Width", current.width()),
                 ini.readInteger(ViewerSection, "Height", current.height()));
}

bool SettingsStore::WriteViewerGeometry(const QRect& geometry) const {
    IniFile ini(iniPath());
    ini.beginUpdate();
    ini.writeInteger(ViewerSection, "Left", geometry.left());
    ini.writeInteger(ViewerSection, "Top", geometry.top());
    ini.writeInteger(ViewerSection, "Width", geometry.width());
    ini.writeInteger(ViewerSection, "Height", geometry.height());
    return ini.endUpdate();
}

QString SettingsStore::ReadViewerFont() const {
    return IniFile(iniPath()).readString(ViewerSection, "Font");
}

bool SettingsStore::WriteViewerFont(const QString& fontString) const {
    IniFile ini(iniPath());
    return ini.writeString(ViewerSection, "Font", fontString);
}
