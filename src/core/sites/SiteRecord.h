#pragma once

#include "sites/ConnectRequest.h"

#include <QString>

// One saved site as Korvane.ini holds it; the password is plain here and
// scrambled in the file.
struct SiteRecord {
    QString name; // display name, may carry a "<group> " prefix
    QString host;
    QString port = QStringLiteral("21");
    QString user;
    QString password;
    QString remotePath;
    QString localPath;
    QString notes; // lines joined with CR LF
    QString options = QStringLiteral("3");
    bool anonymous = false;
    // Set when the stored password could not be restored; the password is
    // then empty and the rest of the site still loads.
    QString problem;

    ConnectRequest connectRequest() const {
        return {name, host, port, user, password, options, remotePath};
    }
};
