#pragma once

#include "DataPaths.h"
#include "Settings.h"

#include <QByteArray>
#include <QRect>
#include <QStringList>

#include <optional>

inline constexpr char SettingsFileName[] = "Korvane.ini";
inline constexpr char MainSection[] = "_Main_";
inline constexpr char ConfirmSection[] = "_Confirm_";
inline constexpr char SoundsSection[] = "_Sounds_";
inline constexpr char ViewerSection[] = "_CusWindow_";

// Keys the menus write at once through WriteToggle().
namespace ToggleKey {
inline constexpr char SkipFile[] = "Skip File";
inline constexpr char OnCompleteIdle[] = "On Complete Idle";
inline constexpr char DeleteMethod[] = "Delete Method";
inline constexpr char DupeMatch[] = "Dupe Match";
inline constexpr char TreeStyle[] = "Tree Style";
inline constexpr char StatusStyle[] = "Status Style";
inline constexpr char LeftTree[] = "Left Tree";
inline constexpr char RightTree[] = "Right Tree";
inline constexpr char Cache[] = "Cache";
inline constexpr char AutoRefreshEnabled[] = "Auto Refresh Enabled";
inline constexpr char AntiIdle[] = "Anti-Idle";
} // namespace ToggleKey

class DesktopServices;

struct LoadedSettings {
    Settings settings;
    QStringList skipList;
    QStringList favourites;
};

// Reads and writes the settings files of the data directory. Each call opens
// the file, does its group of reads or writes and releases it; nothing is
// cached, so a hand edit takes effect at the next LoadSettings().
class SettingsStore {
public:
    explicit SettingsStore(DataPaths paths);

    const DataPaths& paths() const { return m_paths; }
    QString iniPath() const;
    QString skipListPath() const;
    QString favouritesPath() const;

    // Every key in file order with its default, then both pattern lists.
    LoadedSettings LoadSettings() const;
    Settings ReadSettings() const;

    // Empty when the interval is acceptable, else the message to show.
    static QString ValidateIdleTime(int seconds);
    // The Preferences "&OK": refuses a too short anti-idle interval (with the
    // stop sound), else writes everything. Returns what to tell the user, or
    // empty when all was written.
    QString ConfirmPreferences(const Settings& settings, const QStringList& skipList,
                               const QStringList& favourites, DesktopServices& services) const;

    // "&OK" of Preferences: writes every value the dialog edits (menu-only
    // keys keep what the menus wrote), erases the old _Skip_ section of
    // Korvane.ini and rewrites both pattern files. Validate first.
    bool SavePreferences(const Settings& settings, const QStringList& skipList,
                         const QStringList& favourites) const;

    // A menu toggle's state, written to _Main_ at once.
    bool WriteToggle(const QByteArray& key, bool on) const;
    // The boolean _Main_ setting a key names, or null.
    static bool Settings::*BoolField(const QByteArray& key);
    bool ReadAll() const;
    bool WriteAll(bool on) const;

    WindowLayout ReadWindowLayout() const;
    bool WriteWindowLayout(const WindowLayout& layout) const;

    // The text viewer's geometry, only when _CusWindow_ exists; keys missing
    // from it keep the values of current.
    std::optional<QRect> ReadViewerGeometry(const QRect& current) const;
    bool WriteViewerGeometry(const QRect& geometry) const;
    QString ReadViewerFont() const;
    bool WriteViewerFont(const QString& fontString) const;

private:
    DataPaths m_paths;
};
