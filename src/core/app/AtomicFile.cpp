#include "app/AtomicFile.h"

#include <QSaveFile>

bool WriteFileAtomically(const QString& path, const QByteArray& data, QString* errorMessage) {
    QSaveFile file(path);
    const bool ok =
        file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
    if (!ok) {
        file.cancelWriting();
        if (errorMessage)
            *errorMessage = file.errorString();
    }
    return ok;
}
