#include "sites/SiteManagerDialog.h"

#include "app/App.h"
#include "app/UserPrompts.h"
#include "sites/NotesEdit.h"
#include "sites/PasswordRevealKey.h"
#include "sites/PasvBox.h"
#include "sites/SiteOptions.h"
#include "sites/SiteStatsPage.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLineEdit* MakeEdit(const QString& name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    return edit;
}

QPushButton* MakeButton(const QString& caption, const QString& name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    // Enter in a field must not press "&New" or "&Delete".
    button->setAutoDefault(false);
    return button;
}

bool SortsBefore(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

} // namespace

SiteManagerDialog::SiteManagerDialog(App& app, QWidget* parent) : QDialog(parent), m_app(app) {
    setObjectName(QStringLiteral("FrmSite"));
    setWindowTitle(QStringLiteral("Site Manager"));
    setModal(false);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    m_list = new QListWidget;
    m_list->setObjectName(QStringLiteral("SiteList"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);

    m_stats = new SiteStatsPage;
    m_pages = new QTabWidget;
    m_pages->setObjectName(QStringLiteral("Pages"));
    m_pages->addTab(buildGeneralPage(), QStringLiteral("General"));
    m_pages->addTab(buildAdvancedPage(), QStringLiteral("Advanced"));
    m_pages->addTab(m_stats, QStringLiteral("Site Stats"));

    m_new = MakeButton(QStringLiteral("&New"), QStringLiteral("New"));
    m_save = MakeButton(QStringLiteral("&Save"), QStringLiteral("Save"));
    m_delete = MakeButton(QStringLiteral("&Delete"), QStringLiteral("Delete"));
    m_close = MakeButton(QStringLiteral("&Close"), QStringLiteral("Close"));
    m_rename = MakeButton(QStringLiteral("&R"), QStringLiteral("Rename"));
    m_rename->setToolTip(QStringLiteral("Rename Site"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {m_new, m_save, m_delete, m_rename})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(m_close);

    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addWidget(m_pages, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    connect(m_list, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* current) { selectSite(current); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &SiteManagerDialog::connectSite);
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (m_pages->widget(index) == m_stats && m_list->count() > 0)
            refreshStats();
    });
    connect(m_new, &QPushButton::clicked, this, &SiteManagerDialog::newSite);
    connect(m_save, &QPushButton::clicked, this, &SiteManagerDialog::saveSite);
    connect(m_delete, &QPushButton::clicked, this, &SiteManagerDialog::deleteSite);
    connect(m_rename, &QPushButton::clicked, this, &SiteManagerDialog::renameSite);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_stats->resetButton(), &QPushButton::clicked, this, &SiteManagerDialog::resetStats);
    connect(m_stats->resetTotalButton(), &QPushButton::clicked, this,
            &SiteManagerDialog::resetTotalStats);

    for (QLineEdit* edit : {m_host, m_port, m_user, m_password, m_remotePath, m_localPath})
        connect(edit, &QLineEdit::textChanged, this, &SiteManagerDialog::fieldEdited);
    for (QCheckBox* box : {m_anonymous, m_pasv, m_normalFxp})
        connect(box, &QCheckBox::stateChanged, this, &SiteManagerDialog::fieldEdited);
    connect(m_notes, &QPlainTextEdit::textChanged, this, &SiteManagerDialog::fieldEdited);
    connect(m_anonymous, &QCheckBox::clicked, this, &SiteManagerDialog::anonymousClicked);

    auto reveal = [this] { m_password->setEchoMode(QLineEdit::Normal); };
    new PasswordRevealKey(m_password, reveal);
    new PasswordRevealKey(m_notes, reveal);

    clearFields(QString());
    loadSiteList();
}

QWidget* SiteManagerDialog::buildGeneralPage() {
    m_name = MakeEdit(QStringLiteral("SiteName"));
    m_name->setReadOnly(true);
    m_host = MakeEdit(QStringLiteral("IPAddress"));
    m_port = MakeEdit(QStringLiteral("Port"));
    m_user = MakeEdit(QStringLiteral("UserName"));
    m_password = MakeEdit(QStringLiteral("Password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_anonymous = new QCheckBox(QStringLiteral("Anonymous"));
    m_anonymous->setObjectName(QStringLiteral("Anonymous"));
    m_remotePath = MakeEdit(QStringLiteral("RemotePath"));
    m_localPath = MakeEdit(QStringLiteral("LocalPath"));
    auto* browse = new QToolButton;
    browse->setObjectName(QStringLiteral("LocalPathBrowse"));
    browse->setText(QStringLiteral("..."));
    connect(browse, &QToolButton::clicked, this, &SiteManagerDialog::chooseLocalPath);
    auto* local = new QHBoxLayout;
    local->setContentsMargins(0, 0, 0, 0);
    local->addWidget(m_localPath);
    local->addWidget(browse);

    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->addRow(QStringLiteral("Site Name"), m_name);
    form->addRow(QStringLiteral("IP Address"), m_host);
    form->addRow(QStringLiteral("Port"), m_port);
    form->addRow(QStringLiteral("User Name"), m_user);
    form->addRow(QStringLiteral("Password"), m_password);
    form->addRow(QString(), m_anonymous);
    form->addRow(QStringLiteral("Remote Path"), m_remotePath);
    form->addRow(QStringLiteral("Local Path"), local);
    return page;
}

QWidget* SiteManagerDialog::buildAdvancedPage() {
    m_pasv = MakePasvBox(QStringLiteral("Use PASV Mode"), m_app.settings().altList);
    m_pasv->setObjectName(QStringLiteral("UsePasv"));
    m_normalFxp = new QCheckBox(QStringLiteral("Use Normal FXP Method"));
    m_normalFxp->setObjectName(QStringLiteral("NormalFxp"));
    m_notes = new NotesEdit;
    m_notes->setObjectName(QStringLiteral("Notes"));

    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_pasv);
    layout->addWidget(m_normalFxp);
    layout->addWidget(new QLabel(QStringLiteral("Notes:")));
    layout->addWidget(m_notes, 1);
    return page;
}

void SiteManagerDialog::loadSiteList() {
    QStringList names = m_app.siteStorage().SiteNames();
    std::sort(names.begin(), names.end(), SortsBefore);
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    m_list->addItems(names);
    m_list->setCurrentItem(nullptr);
}

void SiteManagerDialog::selectSite(QListWidgetItem* item) {
    if (!item)
        return;
    const SiteRecord site = m_app.siteStorage().LoadSite(item->text());
    if (!site.problem.isEmpty())
        m_app.statusLog().AddStatusLine(site.problem, clRed);
    showSite(site);
    setShownSiteSaved(true);
    refreshStats();
}

void SiteManagerDialog::showSite(const SiteRecord& site) {
    const SiteOptions options = SiteOptions::Parse(site.options);
    m_name->setText(site.name);
    m_host->setText(site.host);
    m_port->setText(site.port);
    m_user->setText(site.user);
    m_password->setText(site.password);
    m_password->setEchoMode(QLineEdit::Password);
    m_anonymous->setChecked(site.anonymous);
    m_remotePath->setText(site.remotePath);
    m_localPath->setText(site.localPath);
    SetPasvMode(m_pasv, options.pasvMode);
    m_normalFxp->setChecked(options.normalFxp);
    m_notes->setPlainText(site.notes);
}

SiteRecord SiteManagerDialog::editedSite() const {
    SiteRecord site;
    site.name = m_name->text();
    site.host = m_host->text();
    site.port = m_port->text();
    site.user = m_user->text();
    site.password = m_password->text();
    site.anonymous = m_anonymous->isChecked();
    site.remotePath = m_remotePath->text();
    site.localPath = m_localPath->text();
    site.options = SiteOptions{PasvMode(m_pasv), m_normalFxp->isChecked()}.toString();
    site.notes = m_notes->toPlainText();
    return site;
}

// A fresh form for a new site, or an empty one after a delete: nothing of
// the site shown before carries over.
void SiteManagerDialog::clearFields(const QString& name) {
    SiteRecord empty;
    empty.name = name;
    showSite(empty);
    {
        const QSignalBlocker blocker(m_list);
        m_list->setCurrentItem(nullptr);
    }
    setShownSiteSaved(false);
    m_save->setEnabled(!name.isEmpty());
    refreshStats();
}

void SiteManagerDialog::fieldEdited() {
    // Without a name there is nothing to save under. Filling the fields
    // also lands here; its callers set the buttons afterwards.
    if (!m_name->text().isEmpty())
        m_save->setEnabled(true);
}

void SiteManagerDialog::setShownSiteSaved(bool saved) {
    m_save->setEnabled(false);
    m_delete->setEnabled(saved);
    m_rename->setEnabled(saved);
    m_stats->resetButton()->setEnabled(saved);
}

void SiteManagerDialog::newSite() {
    const std::optional<QString> answer = m_app.prompts().inputBox(
        QStringLiteral("Add a site"), QStringLiteral("Enter site name"), QString());
    // Blanks around a name would not survive the file, which trims them.
    const QString name = answer ? answer->trimmed() : QString();
    if (name.isEmpty())
        return;
    // Saving under a listed name would overwrite that site.
    if (QListWidgetItem* existing = listedItem(name)) {
        m_app.prompts().information(
            QStringLiteral("A site named %1 already exists.").arg(existing->text()));
        return;
    }
    clearFields(name);
}

void SiteManagerDialog::saveSite() {
    const SiteRecord site = editedSite();
    if (site.name.isEmpty())
        return;
    m_save->setEnabled(false);
    if (!m_app.siteStorage().SaveSite(site)) {
        m_save->setEnabled(true);
        m_app.prompts().error(QStringLiteral("Unable to save site %1.").arg(site.name));
        return;
    }
    addListed(site.name);
    setShownSiteSaved(true);
}

void SiteManagerDialog::deleteSite() {
    QListWidgetItem* item = listedItem(m_name->text());
    if (!item || !m_app.prompts().confirm(QStringLiteral("Delete Site?")))
        return;
    if (!m_app.siteStorage().DeleteSite(item->text())) {
        m_app.prompts().error(QStringLiteral("Unable to delete site %1.").arg(item->text()));
        return;
    }
    removeListed(item);
    clearFields(QString());
}

void SiteManagerDialog::renameSite() {
    const QString oldName = m_name->text();
    QListWidgetItem* item = listedItem(oldName);
    if (!item)
        return;
    const std::optional<QString> answer =
        m_app.prompts().inputBox(QStringLiteral("Rename"), QStringLiteral("To"), oldName);
    const QString newName = answer ? answer->trimmed() : QString();
    if (newName.isEmpty() || newName == oldName)
        return;
    if (QListWidgetItem* other = listedItem(newName); other && other != item) {
        m_app.prompts().information(
            QStringLiteral("A site named %1 already exists.").arg(other->text()));
        return;
    }
    SiteRecord renamed = editedSite();
    renamed.name = newName;
    if (!m_app.siteStorage().RenameSite(oldName, renamed)) {
        m_app.prompts().error(
            QStringLiteral("Unable to rename site %1 to %2.").arg(oldName, newName));
        return;
    }
    if (!m_app.siteStats().MoveSite(oldName, newName))
        m_app.statusLog().AddStatusLine(
            QStringLiteral("Unable to move the statistics of %1 to %2").arg(oldName, newName),
            clRed);
    removeListed(item);
    m_name->setText(newName);
    addListed(newName);
    setShownSiteSaved(true);
    refreshStats();
}

void SiteManagerDialog::connectSite(QListWidgetItem* item) {
    if (!item)
        return;
    if (!m_app.connections().ConnectFromSiteManager(item->text()))
        m_app.prompts().information(
            QStringLiteral("Close One of the FTP Connections and try again."));
    close();
}

void SiteManagerDialog::chooseLocalPath() {
    const QString folder =
        m_app.prompts().folder(QStringLiteral("Local Path"), m_localPath->text());
    if (!folder.isEmpty())
        m_localPath->setText(folder);
}

void SiteManagerDialog::anonymousClicked(bool checked) {
    if (!checked)
        return;
    m_user->setText(QStringLiteral("anonymous"));
    m_password->setText(m_app.settings().email);
}

void SiteManagerDialog::refreshStats() {
    m_stats->showStats(m_app.siteStats().Read(m_name->text()));
}

void SiteManagerDialog::resetStats() {
    const QString name = m_name->text();
    if (!listedItem(name) || !m_app.prompts().confirm(QStringLiteral("Reset Stats?")))
        return;
    if (!m_app.siteStats().ResetSite(name))
        m_app.prompts().error(QStringLiteral("Unable to reset the statistics of %1.").arg(name));
    refreshStats();
}

void SiteManagerDialog::resetTotalStats() {
    if (!m_app.prompts().confirm(QStringLiteral("Reset Total Stats?")))
        return;
    if (!m_app.siteStats().ResetTotal())
        m_app.prompts().error(QStringLiteral("Unable to reset the total statistics."));
    refreshStats();
}

QListWidgetItem* SiteManagerDialog::listedItem(const QString& name) const {
    for (int i = 0; i < m_list->count(); ++i) {
        if (QString::compare(m_list->item(i)->text(), name, Qt::CaseInsensitive) == 0)
            return m_list->item(i);
    }
    return nullptr;
}

void SiteManagerDialog::addListed(const QString& name) {
    const QSignalBlocker blocker(m_list);
    QListWidgetItem* item = listedItem(name);
    if (!item) {
        int row = 0;
        while (row < m_list->count() && SortsBefore(m_list->item(row)->text(), name))
            ++row;
        m_list->insertItem(row, name);
        item = m_list->item(row);
    }
    m_list->setCurrentItem(item);
}

void SiteManagerDialog::removeListed(QListWidgetItem* item) {
    const QSignalBlocker blocker(m_list);
    delete m_list->takeItem(m_list->row(item));
}
