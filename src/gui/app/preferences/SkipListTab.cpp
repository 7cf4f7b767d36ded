#include "app/preferences/SkipListTab.h"

#include "app/preferences/ColourBox.h"
#include "app/preferences/PatternListEditor.h"

#include <QCheckBox>
#include <QGridLayout>

SkipListTab::SkipListTab(QWidget* parent) : PreferencesTab(parent) {
    setObjectName(QStringLiteral("skipListTab"));
    m_skip = MakeCheckBox(QStringLiteral("Enable Skip List"), QStringLiteral("skipCheck"), this);
    m_skipNullFiles = MakeCheckBox(QStringLiteral("Skip 0 byte files"),
                                   QStringLiteral("skipNullFilesCheck"), this);
    m_skipEmptyDirs = MakeCheckBox(QStringLiteral("Skip Empty Directories"),
                                   QStringLiteral("skipEmptyDirsCheck"), this);
    m_skipListAppliesToDirs = MakeCheckBox(QStringLiteral("Skip List applies to dirs"),
                                           QStringLiteral("skipListAppliesToDirsCheck"), this);
    m_showSkip = MakeCheckBox(QStringLiteral("Display Skip Items in"),
                              QStringLiteral("showSkipCheck"), this);
    m_skipColour = new ColourBox(QStringLiteral("skipColourBox"), this);
    m_patterns = new PatternListEditor(QStringLiteral("skipPattern"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_skip, 0, 0);
    grid->addWidget(m_skipNullFiles, 1, 0);
    grid->addWidget(m_skipEmptyDirs, 2, 0);
    grid->addWidget(m_skipListAppliesToDirs, 3, 0);
    grid->addWidget(m_showSkip, 4, 0);
    grid->addWidget(m_skipColour, 4, 1);
    grid->addWidget(m_patterns, 5, 0, 1, 2);
    grid->setRowStretch(5, 1);
}

void SkipListTab::load(const Settings& s) {
    m_skip->setChecked(s.skip);
    m_skipNullFiles->setChecked(s.skipNullFiles);
    m_skipEmptyDirs->setChecked(s.skipEmptyDirs);
    m_skipListAppliesToDirs->setChecked(s.skipListAppliesToDirs);
    m_showSkip->setChecked(s.showSkip);
    m_skipColour->setColour(s.skipColour);
}

void SkipListTab::store(Settings& s) const {
    s.skip = m_skip->isChecked();
    s.skipNullFiles = m_skipNullFiles->isChecked();
    s.skipEmptyDirs = m_skipEmptyDirs->isChecked();
    s.skipListAppliesToDirs = m_skipListAppliesToDirs->isChecked();
    s.showSkip = m_showSkip->isChecked();
    s.skipColour = m_skipColour->colour();
}
