#include "app/preferences/GeneralTab.h"

#include "app/UserPrompts.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

const QString LogFileName = QStringLiteral("korvane.log");

QWidget* WithButton(QLineEdit* edit, QPushButton* button, QWidget* parent) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit, 1);
    layout->addWidget(button);
    return row;
}

// Where a browse dialog starts: the folder of a path already entered.
QString StartFolder(const QString& path) {
    if (!path.contains(u'/') && !path.contains(u'\\'))
        return {};
    return QFileInfo(path).path();
}

} // namespace

GeneralTab::GeneralTab(UserPrompts& prompts, QWidget* parent)
    : PreferencesTab(parent), m_prompts(prompts) {
    setObjectName(QStringLiteral("generalTab"));
    m_email = MakeLineEdit(QStringLiteral("emailEdit"), this);
    m_connectTimeout = MakeSpinBox(QStringLiteral("connectTimeoutSpin"), this);
    m_retryDelay = MakeSpinBox(QStringLiteral("retryDelaySpin"), this);
    m_retryCount = MakeSpinBox(QStringLiteral("retryCountSpin"), this);
    m_statusSize = MakeSpinBox(QStringLiteral("statusSizeSpin"), this);
    m_logName = MakeLineEdit(QStringLiteral("logNameEdit"), this);
    m_logNameBrowse =
        MakeButton(QStringLiteral("..."), QStringLiteral("logNameBrowseButton"), this);
    m_logging =
        MakeCheckBox(QStringLiteral("Enable Logging"), QStringLiteral("loggingCheck"), this);
    m_downloadDirectory = MakeLineEdit(QStringLiteral("downloadDirectoryEdit"), this);
    m_downloadDirectoryBrowse =
        MakeButton(QStringLiteral("..."), QStringLiteral("downloadDirectoryBrowseButton"), this);
    m_viewWithShell = MakeCheckBox(QStringLiteral("Use Shell association "),
                                   QStringLiteral("viewWithShellCheck"), this);
    m_fileViewer = MakeLineEdit(QStringLiteral("fileViewerEdit"), this);
    m_fileViewerBrowse =
        MakeButton(QStringLiteral("..."), QStringLiteral("fileViewerBrowseButton"), this);
    m_useTemp = MakeCheckBox(QStringLiteral("Use windows temp directory"),
                             QStringLiteral("useTempCheck"), this);
    m_antiIdle =
        MakeCheckBox(QStringLiteral("Enable Anti-Idle"), QStringLiteral("antiIdleCheck"), this);
    m_idleTime = MakeSpinBox(QStringLiteral("idleTimeSpin"), this);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("E-mail Address"), m_email);
    form->addRow(QStringLiteral("Connect Timeout (sec)"), m_connectTimeout);
    form->addRow(QStringLiteral("Retry Delay (sec)"), m_retryDelay);
    form->addRow(QStringLiteral("Retry Count"), m_retryCount);
    form->addRow(QStringLiteral("Status Buffer Size (lines)"), m_statusSize);
    form->addRow(QStringLiteral("Log File"), WithButton(m_logName, m_logNameBrowse, this));
    form->addRow(QString(), m_logging);
    form->addRow(QStringLiteral("Default Local Path"),
                 WithButton(m_downloadDirectory, m_downloadDirectoryBrowse, this));
    form->addRow(QString(), m_viewWithShell);
    form->addRow(QStringLiteral("File Viewer"), WithButton(m_fileViewer, m_fileViewerBrowse, this));
    form->addRow(QString(), m_useTemp);
    form->addRow(QString(), m_antiIdle);
    form->addRow(QStringLiteral("Interval (sec)"), m_idleTime);

    connect(m_logNameBrowse, &QPushButton::clicked, this, &GeneralTab::browseLogFolder);
    connect(m_downloadDirectoryBrowse, &QPushButton::clicked, this,
            &GeneralTab::browseDownloadDirectory);
    connect(m_fileViewerBrowse, &QPushButton::clicked, this, &GeneralTab::browseFileViewer);
    connect(m_viewWithShell, &QCheckBox::toggled, this, &GeneralTab::updateViewerEnabled);
}

void GeneralTab::load(const Settings& s) {
    m_email->setText(s.email);
    m_connectTimeout->setValue(s.connectTimeout);
    m_retryDelay->setValue(s.retryDelay);
    m_retryCount->setValue(s.retryCount);
    m_statusSize->setValue(s.statusSize);
    m_logName->setText(s.logName);
    m_logging->setChecked(s.logging);
    m_downloadDirectory->setText(s.downloadDirectory);
    m_viewWithShell->setChecked(s.viewWithShell);
    m_fileViewer->setText(s.fileViewer);
    m_useTemp->setChecked(s.useTemp);
    m_antiIdle->setChecked(s.antiIdle);
    m_idleTime->setValue(s.idleTime);
    updateViewerEnabled();
}

void GeneralTab::store(Settings& s) const {
    s.email = m_email->text();
    s.connectTimeout = m_connectTimeout->value();
    s.retryDelay = m_retryDelay->value();
    s.retryCount = m_retryCount->value();
    s.statusSize = m_statusSize->value();
    s.logName = m_logName->text();
    s.logging = m_logging->isChecked();
    s.downloadDirectory = m_downloadDirectory->text();
    s.viewWithShell = m_viewWithShell->isChecked();
    s.fileViewer = m_fileViewer->text();
    s.useTemp = m_useTemp->isChecked();
    s.antiIdle = m_antiIdle->isChecked();
    s.idleTime = m_idleTime->value();
}

void GeneralTab::browseLogFolder() {
    const QString folder = m_prompts.folder(QString(), StartFolder(m_logName->text()));
    if (folder.isEmpty())
        return;
    m_logName->setText(folder.endsWith(u'/') ? folder + LogFileName : folder + u'/' + LogFileName);
}

void GeneralTab::browseDownloadDirectory() {
    const QString folder = m_prompts.folder(QString(), m_downloadDirectory->text());
    if (!folder.isEmpty())
        m_downloadDirectory->setText(folder);
}

void GeneralTab::browseFileViewer() {
    const QString program =
        m_prompts.openFileName(QString(), StartFolder(m_fileViewer->text()), QString());
    if (!program.isEmpty())
        m_fileViewer->setText(program);
}

void GeneralTab::updateViewerEnabled() {
    const bool ownViewer = !m_viewWithShell->isChecked();
    m_fileViewer->setEnabled(ownViewer);
    m_fileViewerBrowse->setEnabled(ownViewer);
}
