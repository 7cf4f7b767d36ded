#include "app/preferences/FavoritesTab.h"

#include "app/preferences/ColourBox.h"
#include "app/preferences/PatternListEditor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

FavoritesTab::FavoritesTab(QWidget* parent) : PreferencesTab(parent) {
    setObjectName(QStringLiteral("favoritesTab"));
    m_favorites = MakeCheckBox(QStringLiteral("High-lights Favorites"),
                               QStringLiteral("favoritesCheck"), this);
    m_colour = new ColourBox(QStringLiteral("favoritesColourBox"), this);
    m_patterns = new PatternListEditor(QStringLiteral("favoritePattern"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_favorites, 0, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Color"), this), 1, 0);
    grid->addWidget(m_colour, 1, 1);
    grid->addWidget(m_patterns, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
}

void FavoritesTab::load(const Settings& s) {
    m_favorites->setChecked(s.favorites);
    m_colour->setColour(s.favoritesColour);
}

void FavoritesTab::store(Settings& s) const {
    s.favorites = m_favorites->isChecked();
    s.favoritesColour = m_colour->colour();
}
