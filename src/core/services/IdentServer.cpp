#include "services/IdentServer.h"

IdentServer::IdentServer(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("KorvIDENT1"));
}

void IdentServer::Start() {
    setEnabled(true);
}

void IdentServer::Stop() {
    setEnabled(false);
}

void IdentServer::setEnabled(bool enabled) {
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    Q_EMIT enabledChanged(enabled);
}
