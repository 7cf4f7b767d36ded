#pragma once

#include "app/preferences/PreferencesControls.h"

class QCheckBox;
class QLineEdit;

// "Options": double-click and drop actions, local duplicates, the listing
// command and the transfer options.
class OptionsTab : public PreferencesTab {
    Q_OBJECT
public:
    explicit OptionsTab(QWidget* parent = nullptr);

    // Also shows "Clean up Empty Directorys" only when "all" is on.
    void load(const Settings& settings) override;
    void store(Settings& settings) const override;

private:
    ChoiceGroup* m_onDoubleClick;
    ChoiceGroup* m_onDragDrop;
    ChoiceGroup* m_onLocalDuplicate;
    ChoiceGroup* m_listMethod;
    QLineEdit* m_listCustomText;
    QCheckBox* m_wait;
    QCheckBox* m_altList;
    QCheckBox* m_show214;
    QCheckBox* m_restoreResume;
    QCheckBox* m_cleanUp;
    QCheckBox* m_exitEmptyQueue;
};
