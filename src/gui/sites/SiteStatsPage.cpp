#include "sites/SiteStatsPage.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

SiteStatsPage::SiteStatsPage(QWidget* parent) : QWidget(parent) {
    auto* form = new QFormLayout;
    auto value = [form](const QString& caption, const QString& name) {
        auto* label = new QLabel(QStringLiteral("0"));
        label->setObjectName(name);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption, label);
        return label;
    };
    m_totalConnects = value(QStringLiteral("Total Connects:"), QStringLiteral("TotalConnects"));
    m_lastConnect = value(QStringLiteral("Last Connect:"), QStringLiteral("LastConnect"));
    m_filesUploaded = value(QStringLiteral("Files Uploaded:"), QStringLiteral("FilesUploaded"));
    m_filesDownloaded =
        value(QStringLiteral("Files Downloaded:"), QStringLiteral("FilesDownloaded"));
    m_bytesUploaded = value(QStringLiteral("Bytes Uploaded:"), QStringLiteral("BytesUploaded"));
    m_bytesDownloaded =
        value(QStringLiteral("Bytes Downloaded:"), QStringLiteral("BytesDownloaded"));
    m_totalBytes = value(QStringLiteral("Total Bytes:"), QStringLiteral("TotalBytes"));
    m_totalSince = value(QStringLiteral("Total Since:"), QStringLiteral("TotalSince"));

    m_reset = new QPushButton(QStringLiteral("Reset"));
    m_reset->setObjectName(QStringLiteral("Reset"));
    m_resetTotal = new QPushButton(QStringLiteral("Reset Total"));
    m_resetTotal->setObjectName(QStringLiteral("ResetTotal"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_reset);
    buttons->addWidget(m_resetTotal);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addStretch();
}

void SiteStatsPage::showStats(const SiteStatsView& view) {
    m_totalConnects->setText(view.totalConnects);
    m_lastConnect->setText(view.lastConnect);
    m_filesUploaded->setText(view.filesUploaded);
    m_filesDownloaded->setText(view.filesDownloaded);
    m_bytesUploaded->setText(view.bytesUploaded);
    m_bytesDownloaded->setText(view.bytesDownloaded);
    m_totalBytes->setText(view.totalBytes);
    m_totalSince->setText(view.totalSince);
}
