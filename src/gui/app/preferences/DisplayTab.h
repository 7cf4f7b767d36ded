#pragma once

#include "app/preferences/PreferencesControls.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class UserPrompts;

// "Display": listing order and sorting, the optional columns, both fonts and
// the connect menu's column length.
class DisplayTab : public PreferencesTab {
    Q_OBJECT
public:
    DisplayTab(UserPrompts& prompts, QWidget* parent = nullptr);

    void load(const Settings& settings) override;
    void store(Settings& settings) const override;

private:
    // Asks for a font starting from the stored one; keeps its colour, which
    // the font dialog does not edit.
    void chooseFont(QString& fontString, QLabel* preview);
    void showFont(const QString& fontString, QLabel* preview) const;

    UserPrompts& m_prompts;
    ChoiceGroup* m_directories;
    ChoiceGroup* m_autoSort;
    ChoiceGroup* m_sort;
    QCheckBox* m_owner;
    QCheckBox* m_group;
    QCheckBox* m_attrib;
    QPushButton* m_fontButton;
    QLabel* m_fontPreview;
    QPushButton* m_statusFontButton;
    QLabel* m_statusFontPreview;
    QSpinBox* m_itemCount;
    QString m_font;
    QString m_statusFont;
};
