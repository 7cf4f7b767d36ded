#include "sites/QuickConnect.h"

#include "app/AtomicFile.h"
#include "sites/PasswordScrambler.h"
#include "sites/SiteStorage.h"

#include <QFile>

QString HistoryEntry::plain() const {
    const QChar colon(QLatin1Char(':'));
    return server + colon + user + colon + password + colon + port + colon + path;
}

HistoryEntry HistoryEntry::FromPlain(const QString& plain) {
    // The path is the last field and takes the rest, colons included.
    QStringList fields;
    qsizetype from = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype colon = plain.indexOf(QLatin1Char(':'), from);
        if (colon < 0)
            break;
        fields.append(plain.mid(from, colon - from));
        from = colon + 1;
    }
    fields.append(plain.mid(from));
    fields.resize(5);
    return {fields[0], fields[1], fields[2], fields[3], fields[4]};
}

QuickConnectHistory::QuickConnectHistory(QString path) : m_path(std::move(path)) {}

QList<HistoryEntry> QuickConnectHistory::Load(QStringList* problems) const {
    QList<HistoryEntry> entries;
    QFile file(m_path);
    if (!file.exists())
        return entries;
    if (!file.open(QIODevice::ReadOnly)) {
        if (problems)
            problems->append(QStringLiteral("The quick connect history %1 cannot be read: %2")
                                 .arg(m_path, file.errorString()));
        return entries;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 0; i < lines.size() && i < MaxEntries; ++i) {
        const QString line = QString::fromLatin1(lines[i]).trimmed();
        if (line.isEmpty())
            break;
        const std::optional<QString> plain = PasswordScrambler::Restore(line);
        if (plain) {
            entries.append(HistoryEntry::FromPlain(*plain));
        } else if (problems) {
            problems->append(QStringLiteral("Line %1 of the quick connect history %2 cannot be "
                                            "read and is left out.")
                                 .arg(i + 1)
                                 .arg(m_path));
        }
    }
    return entries;
}

bool QuickConnectHistory::Add(const HistoryEntry& entry, const QList<HistoryEntry>& loaded) const {
    // A colon in any field but the path would shift the fields when read back.
    if (HistoryEntry::FromPlain(entry.plain()) != entry)
        return false;
    if (loaded.contains(entry))
        return true;
    QByteArray data;
    for (const HistoryEntry& e : QList<HistoryEntry>{entry} + loaded)
        data += ScramblePassword('E', e.plain()).toLatin1() + "\r\n";
    return WriteFileAtomically(m_path, data);
}

QString QuickConnectOptions(int pasvMode, bool normalFxp) {
    QString options = pasvMode == 1   ? QStringLiteral("1")
                      : pasvMode == 2 ? QStringLiteral("2")
                                      : QStringLiteral("3");
    if (normalFxp)
        options += QLatin1Char('1');
    return options;
}

QuickConnectResult ResolveQuickConnect(const QuickConnectFields& fields, const SiteStorage& sites,
                                       const QString& email) {
    QuickConnectResult result;
    if (fields.server.trimmed().isEmpty())
        return result;
    result.connect = true;

    const QString savedHost = sites.HostOf(fields.server);
    ConnectRequest& request = result.request;
    request.displayName = fields.server;
    request.options = QuickConnectOptions(fields.pasvMode, fields.normalFxp);
    request.user = fields.user;
    request.password = fields.password;
    if (request.user.isEmpty()) {
        request.user = QStringLiteral("anonymous");
        request.password = email;
    }
    if (!fields.port.trimmed().isEmpty())
        request.port = fields.port.trimmed();
    request.path = fields.path;
    request.host = savedHost.isEmpty() ? fields.server : savedHost;

    result.entry = {fields.server, request.user, request.password, request.port, request.path};
    // A field holding ":" could not be read back from the history.
    result.addToHistory =
        savedHost.isEmpty() && HistoryEntry::FromPlain(result.entry.plain()) == result.entry;
    return result;
}
