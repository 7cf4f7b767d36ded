#pragma once

#include "app/preferences/PreferencesControls.h"

class ColourBox;
class PatternListEditor;
class QCheckBox;

// "Favorites": highlighting of favourite names and the list of their patterns.
class FavoritesTab : public PreferencesTab {
    Q_OBJECT
public:
    explicit FavoritesTab(QWidget* parent = nullptr);

    void load(const Settings& settings) override;
    void store(Settings& settings) const override;

    PatternListEditor* patterns() const { return m_patterns; }

private:
    QCheckBox* m_favorites;
    ColourBox* m_colour;
    PatternListEditor* m_patterns;
};
