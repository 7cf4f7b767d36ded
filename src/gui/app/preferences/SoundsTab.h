#pragma once

#include "app/preferences/PreferencesControls.h"

#include <array>

class DesktopServices;
class QLineEdit;
class UserPrompts;

// "Sounds": a SoundKind and a wave file for each of the four events, with a
// button that plays the selected pair at once.
class SoundsTab : public PreferencesTab {
    Q_OBJECT
public:
    SoundsTab(UserPrompts& prompts, DesktopServices& services, QWidget* parent = nullptr);

    void load(const Settings& settings) override;
    void store(Settings& settings) const override;

private:
    struct Row {
        int Settings::*kind;
        QString Settings::*wave;
        ChoiceCombo* kindBox = nullptr;
        QLineEdit* waveEdit = nullptr;
    };

    void browse(const Row& row);
    void play(const Row& row);

    UserPrompts& m_prompts;
    DesktopServices& m_services;
    std::array<Row, 4> m_rows;
};
