#pragma once

#include <QByteArray>
#include <QString>

class FtpSession;

// Puts a file on a server and reads one back, in binary mode and passive,
// as a second client would: how the tests set servers up and check results.
bool PutRemoteFile(FtpSession& session, const QString& remote, const QByteArray& content);
// The file's bytes, or "(failed: why)" when it could not be read whole.
QByteArray FetchRemoteFile(FtpSession& session, const QString& remote);
