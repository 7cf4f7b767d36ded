#pragma once

#include "net/CommandKind.h"
#include "net/FtpSession.h"
#include "net/NetErrors.h"

#include <QList>
#include <QString>

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
