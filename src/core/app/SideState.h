#pragma once

#include <QString>

enum class SideId { Left, Right };

inline SideId OtherSide(SideId side) {
    return side == SideId::Left ? SideId::Right : SideId::Left;
}

// The per-side flags and values that other operations test and set. They are
// the guards against re-entry while a waiting call pumps events.
struct SideState {
    bool Connecting = false;       // a connect run owns the side
    bool LoggedIn = false;         // the server accepted USER/PASS
    bool Busy = false;             // a command, listing or transfer runs; no keep-alive
    bool QuitPending = false;      // the Disconnect button sent QUIT
    bool UserDisconnect = false;   // the next disconnect was asked for by the user
    QString RemoteAddress;         // dotted IPv4 address of the server, for PORT
    int ListMode = 0;              // first digit of the site's options
    int FxpMethod = 0;             // second digit of the site's options
    QString InitialPath;           // directory to enter after login
    QString CurrentPath;           // the side's current remote directory
    QString SystemType;            // reply text of SYST
    bool ListingActive = false;    // a listing is being loaded into the side
    bool SkipRefreshOnCwd = false; // the next successful CWD must not refresh
};
