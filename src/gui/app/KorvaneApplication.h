#pragma once

#include <QApplication>

#include <functional>

// The application object. An exception that escapes an event handler would
// end the program; here it goes to the error log and the status window.
class KorvaneApplication : public QApplication {
public:
    using ErrorSink = std::function<void(const QString& className, const QString& message)>;

    KorvaneApplication(int& argc, char** argv);
    void setErrorSink(ErrorSink sink) { m_sink = std::move(sink); }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    ErrorSink m_sink;
};
