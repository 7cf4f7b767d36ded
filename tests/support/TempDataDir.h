#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh, empty data directory for one test, removed afterwards.
class TempDataDir {
public:
    TempDataDir();

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // Writes name with exactly these bytes; returns false on failure.
    bool writeFile(const QString& name, const QByteArray& bytes) const;
    QByteArray readFile(const QString& name) const;

private:
    QTemporaryDir m_dir;
};
