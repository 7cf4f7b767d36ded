#pragma once

#include "sites/SiteRecord.h"

#include <QDialog>

class App;
class NotesEdit;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;
class SiteStatsPage;

// "Site Manager" (`TFrmSite`): lists the saved sites and edits one at a time.
// Modeless and on top; everything it shows is read from the files again, and
// nothing is stored before "&Save". Storage rules live in SiteStorage and
// SiteStats; questions go through the App's prompts.
class SiteManagerDialog : public QDialog {
    Q_OBJECT
public:
    SiteManagerDialog(App& app, QWidget* parent);

private:
    QWidget* buildGeneralPage();
    QWidget* buildAdvancedPage();
    void loadSiteList();

    void selectSite(QListWidgetItem* item);
    void showSite(const SiteRecord& site);
    SiteRecord editedSite() const;
    void clearFields(const QString& name);
    void fieldEdited();
    void setShownSiteSaved(bool saved);

    void newSite();
    void saveSite();
    void deleteSite();
    void renameSite();
    void connectSite(QListWidgetItem* item);
    void chooseLocalPath();
    void anonymousClicked(bool checked);

    void refreshStats();
    void resetStats();
    void resetTotalStats();

    // The listed site of that name, ignoring case as the index does.
    QListWidgetItem* listedItem(const QString& name) const;
    // Adds or removes a list entry, leaving the fields as they are.
    void addListed(const QString& name);
    void removeListed(QListWidgetItem* item);

    App& m_app;

    QListWidget* m_list;
    QTabWidget* m_pages;
    QLineEdit* m_name;
    QLineEdit* m_host;
    QLineEdit* m_port;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QCheckBox* m_anonymous;
    QLineEdit* m_remotePath;
    QLineEdit* m_localPath;
    QCheckBox* m_pasv;
    QCheckBox* m_normalFxp;
    NotesEdit* m_notes;
    SiteStatsPage* m_stats;
    QPushButton* m_new;
    QPushButton* m_save;
    QPushButton* m_delete;
    QPushButton* m_close;
    QPushButton* m_rename;
};
