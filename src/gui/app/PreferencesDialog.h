#pragma once

#include "app/Settings.h"

#include <QDialog>
#include <QStringList>

class DesktopServices;
class DisplayTab;
class FavoritesTab;
class GeneralTab;
class IdentTab;
class OptionsTab;
class PreferencesTab;
class QTabWidget;
class SettingsStore;
class SkipListTab;
class SoundsTab;
class UserPrompts;

// The Preferences dialog (`TForm5`): edits most settings of Korvane.ini and
// both pattern lists. It shows the values it is given, except the two fonts,
// the pattern lists and "all", which it reads from the files. "&OK" validates
// and writes everything; the application applies the effects when
// preferencesSaved arrives. "&Cancel" writes nothing. Pickers and messages
// go through prompts.
class PreferencesDialog : public QDialog {
    Q_OBJECT
public:
    PreferencesDialog(const Settings& current, const SettingsStore& store,
                      DesktopServices& services, UserPrompts& prompts, QWidget* parent = nullptr);

    // The values as edited so far, on top of those the dialog was given.
    Settings editedSettings() const;
    QStringList skipList() const;
    QStringList favourites() const;

public slots:
    // "&OK": refuses an anti-idle interval below 30 seconds, then saves and
    // closes; on a failed save it reports and stays open with every edit.
    void confirm();

signals:
    void preferencesSaved(const Settings& before, const Settings& after);

private:
    Settings m_before;
    Settings m_shown;
    const SettingsStore& m_store;
    DesktopServices& m_services;
    UserPrompts& m_prompts;
    QTabWidget* m_tabs;
    GeneralTab* m_general;
    DisplayTab* m_display;
    OptionsTab* m_options;
    SkipListTab* m_skipList;
    FavoritesTab* m_favorites;
    IdentTab* m_ident;
    SoundsTab* m_sounds;
    QList<PreferencesTab*> m_pages;
};
