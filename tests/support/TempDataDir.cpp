#include "TempDataDir.h"

#include <QFile>

TempDataDir::TempDataDir() : m_dir(QDir::tempPath() + QStringLiteral("/korvane-test-XXXXXX")) {}

bool TempDataDir::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile file(filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray TempDataDir::readFile(const QString& name) const {
    QFile file(filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
