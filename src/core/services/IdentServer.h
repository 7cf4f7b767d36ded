#pragma once

#include <QObject>
#include <QString>

// Answers ident queries while it is enabled. For now only its switching is
// built: Start and Stop record the state the connect lifecycle asks for.
class IdentServer : public QObject {
    Q_OBJECT
public:
    explicit IdentServer(QObject* parent = nullptr);

    QString System;
    QString User;

    bool isEnabled() const { return m_enabled; }
    void Start();
    void Stop();

Q_SIGNALS:
    void enabledChanged(bool enabled);

private:
    void setEnabled(bool enabled);

    bool m_enabled = false;
};
