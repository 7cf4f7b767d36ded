#include "app/PreferencesDialog.h"

#include "app/DesktopServices.h"
#include "app/SettingsStore.h"
#include "app/UserPrompts.h"
#include "app/preferences/DisplayTab.h"
#include "app/preferences/FavoritesTab.h"
#include "app/preferences/GeneralTab.h"
#include "app/preferences/IdentTab.h"
#include "app/preferences/OptionsTab.h"
#include "app/preferences/PatternListEditor.h"
#include "app/preferences/SkipListTab.h"
#include "app/preferences/SoundsTab.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

PreferencesDialog::PreferencesDialog(const Settings& current, const SettingsStore& store,
                                     DesktopServices& services, UserPrompts& prompts,
                                     QWidget* parent)
    : QDialog(parent), m_before(current), m_shown(current), m_store(store), m_services(services),
      m_prompts(prompts), m_tabs(new QTabWidget(this)), m_general(new GeneralTab(prompts, m_tabs)),
      m_display(new DisplayTab(prompts, m_tabs)), m_options(new OptionsTab(m_tabs)),
      m_skipList(new SkipListTab(m_tabs)), m_favorites(new FavoritesTab(m_tabs)),
      m_ident(new IdentTab(m_tabs)),
      m_sounds(new SoundsTab(prompts, services, m_tabs)), m_pages{m_general,   m_display,
                                                                  m_options,   m_skipList,
                                                                  m_favorites, m_ident,
                                                                  m_sounds} {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Preferences"));
    m_tabs->setObjectName(QStringLiteral("preferencesTabs"));
    m_tabs->addTab(m_general, QStringLiteral("General"));
    m_tabs->addTab(m_display, QStringLiteral("Display"));
    m_tabs->addTab(m_options, QStringLiteral("Options"));
    m_tabs->addTab(m_skipList, QStringLiteral("Skip List"));
    m_tabs->addTab(m_favorites, QStringLiteral("Favorites"));
    m_tabs->addTab(m_ident, QStringLiteral("Ident Server / Firewall"));
    m_tabs->addTab(m_sounds, QStringLiteral("Sounds"));

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("OK1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &PreferencesDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    // Both fonts, "all" and the pattern lists show what the files hold (a hand
    // edit shows up here); every other value is the one in use.
    const LoadedSettings files = m_store.LoadSettings();
    m_shown.font = files.settings.font;
    m_shown.statusFont = files.settings.statusFont;
    m_shown.all = files.settings.all;
    for (PreferencesTab* page : m_pages)
        page->load(m_shown);
    m_skipList->patterns()->setPatterns(files.skipList);
    m_favorites->patterns()->setPatterns(files.favourites);
}

Settings PreferencesDialog::editedSettings() const {
    Settings settings = m_shown;
    for (const PreferencesTab* page : m_pages)
        page->store(settings);
    return settings;
}

QStringList PreferencesDialog::skipList() const {
    return m_skipList->patterns()->patterns();
}

QStringList PreferencesDialog::favourites() const {
    return m_favorites->patterns()->patterns();
}

void PreferencesDialog::confirm() {
    const Settings after = editedSettings();
    const QString message = m_store.ConfirmPreferences(after, skipList(), favourites(), m_services);
    if (!message.isEmpty()) {
        m_prompts.error(message);
        return;
    }
    emit preferencesSaved(m_before, after);
    accept();
}
