#pragma once

#include "app/preferences/PreferencesControls.h"

class ColourBox;
class PatternListEditor;
class QCheckBox;

// "Skip List": the skip options, the colour of skipped names and the list of
// skip patterns.
class SkipListTab : public PreferencesTab {
    Q_OBJECT
public:
    explicit SkipListTab(QWidget* parent = nullptr);

    void load(const Settings& settings) override;
    void store(Settings& settings) const override;

    PatternListEditor* patterns() const { return m_patterns; }

private:
    QCheckBox* m_skip;
    QCheckBox* m_skipNullFiles;
    QCheckBox* m_skipEmptyDirs;
    QCheckBox* m_skipListAppliesToDirs;
    QCheckBox* m_showSkip;
    ColourBox* m_skipColour;
    PatternListEditor* m_patterns;
};
