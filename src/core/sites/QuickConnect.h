#pragma once

#include "sites/ConnectRequest.h"

#include <QString>
#include <QStringList>

class SiteStorage;

// One quick-connect history entry; stored as
// server:user:password:port:path, the path taking the rest.
struct HistoryEntry {
    QString server, user, password, port, path;

    QString plain() const;
    static HistoryEntry FromPlain(const QString& plain);
    bool operator==(const HistoryEntry&) const = default;
};

// History.dat: one scrambled entry per line, newest first.
class QuickConnectHistory {
public:
    static constexpr int MaxEntries = 15;

    explicit QuickConnectHistory(QString path);

    // At most 15 lines, up to the first empty one. A line that cannot be
    // restored is left out and described in problems.
    QList<HistoryEntry> Load(QStringList* problems = nullptr) const;
    // Writes entry first, then loaded, each scrambled afresh; nothing when
    // loaded already holds it. False when the file could not be written, or
    // when a ":" outside the path would keep the entry from reading back.
    bool Add(const HistoryEntry& entry, const QList<HistoryEntry>& loaded) const;

private:
    QString m_path;
};

// The dialog's fields when "Connect" is pressed.
struct QuickConnectFields {
    QString server, user, password, port = QStringLiteral("21"), path;
    int pasvMode = 3; // 1 clear, 2 ticked, 3 greyed
    bool normalFxp = false;
};

struct QuickConnectResult {
    bool connect = false;      // false for an empty server text
    ConnectRequest request;    // display name is the server text as typed
    bool addToHistory = false; // not a saved site with a host
    HistoryEntry entry;        // what goes into the history
};

// The options string from the PASV box and the "Normal FXP" box.
QString QuickConnectOptions(int pasvMode, bool normalFxp);
// "Connect": a saved site's host is used when the server text names one;
// an empty user becomes anonymous with the e-mail address as password.
QuickConnectResult ResolveQuickConnect(const QuickConnectFields& fields, const SiteStorage& sites,
                                       const QString& email);
