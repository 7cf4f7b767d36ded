#pragma once

#include "net/AsyncSocket.h"

#include <QObject>
#include <QString>
#include <QTimer>

// Asks a web server for the current version with a bare "GET " + URL line
// and hands on the first block of its answer. Every run ends with exactly
// one of dataReceived or failed.
class VersionCheck : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 80;
    // An answer must arrive within this long of Start.
    static constexpr int DefaultTimeOut = 30000;
    // Only the first block of the answer is read, at most this many bytes.
    static constexpr int AnswerLimit = 255;

    explicit VersionCheck(QObject* parent = nullptr);
    ~VersionCheck() override;

    QString Host;
    QString URL;
    quint16 Port = DefaultPort;

    int timeOut() const { return m_timer.interval(); }
    void setTimeOut(int ms) { m_timer.setInterval(ms); }
    bool isRunning() const { return m_running; }

    // Drops a run in progress and starts a new one.
    void Start();

Q_SIGNALS:
    void dataReceived(const QString& text);
    void failed(const QString& message);

private:
    void sendRequest(int error);
    void readAnswer();
    void closedByServer();
    void finish();
    void fail(const QString& message);

    AsyncSocket m_socket;
    QTimer m_timer;
    bool m_running = false;
};
