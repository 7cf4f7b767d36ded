#include "sites/QuickConnectDialog.h"

#include "app/Settings.h"
#include "sites/PasswordRevealKey.h"
#include "sites/PasvBox.h"
#include "sites/SiteOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLineEdit* MakeEdit(const QString& name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    return edit;
}

} // namespace

QuickConnectDialog::QuickConnectDialog(const SiteStorage& sites, const QuickConnectHistory& history,
                                       const Settings& settings, QWidget* parent)
    : QDialog(parent), m_sites(sites), m_email(settings.email) {
    setObjectName(QStringLiteral("frmQuick"));
    setWindowTitle(QStringLiteral("Quick Connect"));
    setModal(true);

    m_history = history.Load(&m_loadProblems);
    m_historyBox = new QComboBox;
    m_historyBox->setObjectName(QStringLiteral("History"));
    for (const HistoryEntry& entry : m_history)
        m_historyBox->addItem(entry.server);
    m_historyBox->setCurrentIndex(-1);

    m_server = new QComboBox;
    m_server->setObjectName(QStringLiteral("Server"));
    // Leaving the edit makes the combo box report typed text that matches
    // a site as if it had been chosen; only a real choice fills the fields,
    // so a typed site name keeps the typed user and password.
    auto* serverEdit = new QLineEdit;
    connect(serverEdit, &QLineEdit::editingFinished, this, [this] { m_serverEditing = true; });
    m_server->setLineEdit(serverEdit);
    connect(serverEdit, &QLineEdit::editingFinished, this, [this] { m_serverEditing = false; });
    m_server->setInsertPolicy(QComboBox::NoInsert);
    QStringList names = m_sites.SiteNames();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    m_server->addItems(names);
    m_server->setCurrentIndex(-1);
    m_server->setEditText(QString());

    m_user = MakeEdit(QStringLiteral("UserID"));
    m_password = MakeEdit(QStringLiteral("Password"));
    m_password->setEchoMode(QLineEdit::Password);
    new PasswordRevealKey(m_password, [this] { m_password->setEchoMode(QLineEdit::Normal); });
    m_port = MakeEdit(QStringLiteral("Port"));
    m_port->setText(QStringLiteral("21"));
    m_path = MakeEdit(QStringLiteral("RemotePath"));

    m_pasv = MakePasvBox(QStringLiteral("PASV &Mode"), settings.altList);
    m_pasv->setObjectName(QStringLiteral("PasvMode"));
    m_anonymous = new QCheckBox(QStringLiteral("&Anonymous"));
    m_anonymous->setObjectName(QStringLiteral("Anonymous"));
    m_normalFxp = new QCheckBox(QStringLiteral("Normal FXP"));
    m_normalFxp->setObjectName(QStringLiteral("NormalFxp"));

    auto* form = new QFormLayout;
    auto addRow = [form](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(QStringLiteral("&History:"), m_historyBox);
    addRow(QStringLiteral("&Server:"), m_server);
    addRow(QStringLiteral("&User ID:"), m_user);
    addRow(QStringLiteral("&Password:"), m_password);
    addRow(QStringLiteral("P&ort"), m_port);
    addRow(QStringLiteral("&Remote Path:"), m_path);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_pasv);
    boxes->addWidget(m_anonymous);
    boxes->addWidget(m_normalFxp);
    boxes->addStretch();

    auto* buttons = new QDialogButtonBox;
    QPushButton* connectButton =
        buttons->addButton(QStringLiteral("Connect"), QDialogButtonBox::AcceptRole);
    connectButton->setObjectName(QStringLiteral("Connect"));
    connectButton->setDefault(true);
    QPushButton* closeButton =
        buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("Close"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(boxes);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_historyBox, &QComboBox::activated, this, &QuickConnectDialog::fillFromHistory);
    connect(m_server, &QComboBox::activated, this, [this](int index) {
        if (!m_serverEditing)
            fillFromSite(m_server->itemText(index));
    });
    connect(m_anonymous, &QCheckBox::clicked, this, &QuickConnectDialog::anonymousClicked);
}

QuickConnectFields QuickConnectDialog::fields() const {
    QuickConnectFields fields;
    fields.server = m_server->currentText();
    fields.user = m_user->text();
    fields.password = m_password->text();
    fields.port = m_port->text();
    fields.path = m_path->text();
    fields.pasvMode = PasvMode(m_pasv);
    fields.normalFxp = m_normalFxp->isChecked();
    return fields;
}

void QuickConnectDialog::fillFromHistory(int index) {
    if (index < 0 || index >= m_history.size())
        return;
    const HistoryEntry& entry = m_history.at(index);
    m_server->setEditText(entry.server);
    m_user->setText(entry.user);
    m_password->setText(entry.password);
    m_password->setEchoMode(QLineEdit::Password);
    m_port->setText(entry.port);
    m_path->setText(entry.path);
}

void QuickConnectDialog::fillFromSite(const QString& name) {
    const SiteRecord site = m_sites.LoadSite(name);
    m_user->setText(site.user);
    m_password->setText(site.password);
    m_password->setEchoMode(QLineEdit::Password);
    m_port->setText(site.port);
    m_anonymous->setChecked(site.anonymous);
    m_path->setText(site.remotePath);
    SetPasvMode(m_pasv, SiteOptions::Parse(site.options).pasvMode);
}

void QuickConnectDialog::anonymousClicked(bool checked) {
    if (!checked)
        return;
    m_user->setText(QStringLiteral("anonymous"));
    m_password->setText(m_email);
}
