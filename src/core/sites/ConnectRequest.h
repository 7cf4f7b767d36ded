#pragma once

#include <QString>

// What ConnectToSite needs to connect one side: from a saved site, quick
// connect, the command line or the delayed reconnect. All text, as stored.
struct ConnectRequest {
    QString displayName; // shown in the side's header; a saved site's name
    QString host;
    QString port = QStringLiteral("21");
    QString user;
    QString password;
    QString options = QStringLiteral("3"); // listing mode digit, FXP method digit
    QString path;                          // remote directory to enter after login
};
