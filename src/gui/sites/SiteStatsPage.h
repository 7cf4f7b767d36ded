#pragma once

#include "sites/SiteStats.h"

#include <QWidget>

class QLabel;
class QPushButton;

// The "Site Stats" page: the values of one site and the grand total, and the
// two reset buttons, which the site manager answers.
class SiteStatsPage : public QWidget {
    Q_OBJECT
public:
    explicit SiteStatsPage(QWidget* parent = nullptr);

    void showStats(const SiteStatsView& view);
    QPushButton* resetButton() const { return m_reset; }
    QPushButton* resetTotalButton() const { return m_resetTotal; }

private:
    QLabel* m_totalConnects;
    QLabel* m_lastConnect;
    QLabel* m_filesUploaded;
    QLabel* m_filesDownloaded;
    QLabel* m_bytesUploaded;
    QLabel* m_bytesDownloaded;
    QLabel* m_totalBytes;
    QLabel* m_totalSince;
    QPushButton* m_reset;
    QPushButton* m_resetTotal;
};
