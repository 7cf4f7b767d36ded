#include "app/KorvaneApplication.h"

#include "net/NetErrors.h"

#include <cstdio>
#include <exception>

KorvaneApplication::KorvaneApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool KorvaneApplication::notify(QObject* receiver, QEvent* event) {
    QString className;
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (const NetError& e) {
        className = QString::fromLatin1(e.className());
        message = e.message();
    } catch (const std::exception& e) {
        className = QStringLiteral("Exception");
        message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        className = QStringLiteral("Exception");
        message = QStringLiteral("Unknown error");
    }
    if (m_sink)
        m_sink(className, message);
    else
        std::fprintf(stderr, "%s: %s\n", qPrintable(className), qPrintable(message));
    return false;
}
