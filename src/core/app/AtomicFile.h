#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at path with data in one step (a new file, then a
// rename), so a crash or a full disk never leaves it half written. On
// failure returns false and, when asked, the reason.
bool WriteFileAtomically(const QString& path, const QByteArray& data,
                         QString* errorMessage = nullptr);
