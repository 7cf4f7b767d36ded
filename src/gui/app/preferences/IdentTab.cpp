#include "app/preferences/IdentTab.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

IdentTab::IdentTab(QWidget* parent) : PreferencesTab(parent) {
    setObjectName(QStringLiteral("identTab"));
    auto* ident = new QGroupBox(QStringLiteral("Ident Server"), this);
    m_identEnable =
        MakeCheckBox(QStringLiteral("Enable"), QStringLiteral("identEnableCheck"), ident);
    m_identUserLabel = new QLabel(QStringLiteral("User ID"), ident);
    m_identUser = MakeLineEdit(QStringLiteral("identUserEdit"), ident);
    m_identOnly = MakeCheckBox(QStringLiteral("Enable only when connecting"),
                               QStringLiteral("identOnlyCheck"), ident);
    auto* identGrid = new QGridLayout(ident);
    identGrid->addWidget(m_identEnable, 0, 0, 1, 2);
    identGrid->addWidget(m_identUserLabel, 1, 0);
    identGrid->addWidget(m_identUser, 1, 1);
    identGrid->addWidget(m_identOnly, 2, 0, 1, 2);

    auto* proxy = new QGroupBox(QStringLiteral("FTP Proxy"), this);
    m_proxyEnable =
        MakeCheckBox(QStringLiteral("Enable"), QStringLiteral("proxyEnableCheck"), proxy);
    m_proxyHostLabel = new QLabel(QStringLiteral("Host"), proxy);
    m_proxyHost = MakeLineEdit(QStringLiteral("proxyHostEdit"), proxy);
    m_proxyPortLabel = new QLabel(QStringLiteral("Port"), proxy);
    m_proxyPort = MakeLineEdit(QStringLiteral("proxyPortEdit"), proxy);
    auto* proxyGrid = new QGridLayout(proxy);
    proxyGrid->addWidget(m_proxyEnable, 0, 0, 1, 2);
    proxyGrid->addWidget(m_proxyHostLabel, 1, 0);
    proxyGrid->addWidget(m_proxyHost, 1, 1);
    proxyGrid->addWidget(m_proxyPortLabel, 2, 0);
    proxyGrid->addWidget(m_proxyPort, 2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ident);
    layout->addWidget(proxy);
    layout->addStretch(1);

    connect(m_identEnable, &QCheckBox::toggled, this, &IdentTab::updateEnabled);
    connect(m_proxyEnable, &QCheckBox::toggled, this, &IdentTab::updateEnabled);
}

void IdentTab::load(const Settings& s) {
    m_identEnable->setChecked(s.identdServer);
    m_identUser->setText(s.identdUser);
    m_identOnly->setChecked(s.identdOnly);
    m_proxyEnable->setChecked(s.proxy);
    m_proxyHost->setText(s.proxyHost);
    m_proxyPort->setText(s.proxyPort);
    updateEnabled();
}

void IdentTab::store(Settings& s) const {
    s.identdServer = m_identEnable->isChecked();
    s.identdUser = m_identUser->text();
    s.identdOnly = m_identOnly->isChecked();
    s.proxy = m_proxyEnable->isChecked();
    s.proxyHost = m_proxyHost->text();
    s.proxyPort = m_proxyPort->text();
}

void IdentTab::updateEnabled() {
    const bool ident = m_identEnable->isChecked();
    m_identUserLabel->setEnabled(ident);
    m_identUser->setEnabled(ident);
    m_identOnly->setEnabled(ident);
    const bool proxy = m_proxyEnable->isChecked();
    m_proxyHostLabel->setEnabled(proxy);
    m_proxyHost->setEnabled(proxy);
    m_proxyPortLabel->setEnabled(proxy);
    m_proxyPort->setEnabled(proxy);
}
