#pragma once

#include <QString>

// A saved site's "Options" as the site manager edits it: the PASV mode for
// listings (1 off, 2 on, 3 the global "Alt List") and the FXP method flag.
struct SiteOptions {
    int pasvMode = 3;
    bool normalFxp = false;

    // Anything but "1" or "2" first means the global setting; FXP only for a "1" second.
    static SiteOptions Parse(const QString& options);
    // Always two characters, e.g. "30" or "21".
    QString toString() const;
};
