#pragma once

#include "sites/QuickConnect.h"
#include "sites/SiteStorage.h"

#include <QDialog>
#include <QList>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLineEdit;
struct Settings;

// "Quick Connect" (`TfrmQuick`): a modal form for a server that need not be
// saved. It fills itself from the history or a saved site and hands its
// fields back; what "Connect" means is decided by ResolveQuickConnect.
class QuickConnectDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the site names and the history now; keeps copies, so the
    // arguments may be temporaries.
    QuickConnectDialog(const SiteStorage& sites, const QuickConnectHistory& history,
                       const Settings& settings, QWidget* parent);

    QuickConnectFields fields() const;
    // The history as read when the dialog opened, for QuickConnectHistory::Add.
    QList<HistoryEntry> loadedHistory() const { return m_history; }
    // History lines that could not be restored and were left out.
    QStringList loadProblems() const { return m_loadProblems; }

private:
    void fillFromHistory(int index);
    void fillFromSite(const QString& name);
    void anonymousClicked(bool checked);

    SiteStorage m_sites;
    QString m_email;
    QList<HistoryEntry> m_history;
    QStringList m_loadProblems;
    QComboBox* m_historyBox;
    QComboBox* m_server;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLineEdit* m_port;
    QLineEdit* m_path;
    QCheckBox* m_pasv;
    QCheckBox* m_anonymous;
    QCheckBox* m_normalFxp;
    bool m_serverEditing = false;
};
