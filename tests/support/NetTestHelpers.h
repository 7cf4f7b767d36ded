#pragma once

#include "net/CommandKind.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"

#include <QFile>
#include <QList>
#include <QSignalSpy>
#include <QString>
#include <QStringList>

#include <memory>

// The message of the E that call() throws, or "(nothing thrown)".
template <class E, class Call> QString ThrownMessage(Call&& call) {
    try {
        call();
    } catch (const E& e) {
        return e.message();
    }
    return QStringLiteral("(nothing thrown)");
}

// Handles every failure of the session and records its kind.
inline std::shared_ptr<QList<CommandKind>> RecordFailures(FtpSession& session) {
    auto kinds = std::make_shared<QList<CommandKind>>();
    session.setFailureHandler([kinds](CommandKind kind) {
        kinds->append(kind);
        return true;
    });
    return kinds;
}

// Logs the session in to a scripted server on 127.0.0.1 as user/pass.
inline void LoginTo(FtpSession& session, quint16 port, int timeOut = 10000) {
    session.setHost(QStringLiteral("127.0.0.1"));
    session.setPort(port);
    session.setTimeOut(timeOut);
    session.UserID = QStringLiteral("user");
    session.Password = QStringLiteral("pass");
    session.Connect();
}

// The texts a status spy saw, one per line.
inline QString StatusText(const QSignalSpy& spy) {
    QStringList lines;
    for (const auto& args : spy)
        lines << args.at(0).toString().trimmed();
    return lines.join(QLatin1Char('\n'));
}

inline bool WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
