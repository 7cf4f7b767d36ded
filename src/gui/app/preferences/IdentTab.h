#pragma once

#include "app/preferences/PreferencesControls.h"

class QCheckBox;
class QLabel;
class QLineEdit;

// "Ident Server / Firewall": the ident server and the FTP proxy. Each
// "Enable" box enables the fields it governs.
class IdentTab : public PreferencesTab {
    Q_OBJECT
public:
    explicit IdentTab(QWidget* parent = nullptr);

    void load(const Settings& settings) override;
    void store(Settings& settings) const override;

private:
    void updateEnabled();

    QCheckBox* m_identEnable;
    QLabel* m_identUserLabel;
    QLineEdit* m_identUser;
    QCheckBox* m_identOnly;
    QCheckBox* m_proxyEnable;
    QLabel* m_proxyHostLabel;
    QLineEdit* m_proxyHost;
    QLabel* m_proxyPortLabel;
    QLineEdit* m_proxyPort;
};
