#pragma once

#include "Colour.h"

#include <QString>

// The main window's position and splitters, read when it is first shown and
// written when it closes.
struct WindowLayout {
    int left = 100;
    int top = 100;
    int width = 507;
    int height = 455;
    int split3 = 320;       // ClientSplit: panes above, queue and status below
    int split1 = 248;       // TopSplit: left / right side
    int split2 = 248;       // BottomSplit: queue / status window
    bool maximized = false; // "State" 1

    // Where a side splitter goes when the file has no position for it.
    static int DefaultSplit(int width) { return width / 2 - 5; }
};

// Every setting of Korvane.ini's _Main_, _Confirm_ and _Sounds_ sections with
// its default, in the order the file is read. Raw font strings are kept as
// text because an empty one means "leave the font as it is".
struct Settings {
    // _Main_: General
    QString email = QStringLiteral("guest@example.com"); // "Email"
    int connectTimeout = 40;                             // "ConnectTimeout", seconds
    int retryDelay = 120;                                // "RetryDelay", seconds
    int retryCount = 0;                                  // "RetryCount"
    int statusSize = 200;                                // "Status Size", lines
    QString logName = QStringLiteral("korvane.log");     // "Log Name"
    bool logging = false;                                // "Logging"
    QString downloadDirectory;                           // "Download Directory"
    bool viewWithShell = true;                           // "View"
    QString fileViewer = QStringLiteral("notepad.exe");  // "File Viewer"
    bool useTemp = false;                                // "Use Temp"
    bool antiIdle = false;                               // "Anti-Idle"
    int idleTime = 120;                                  // "Idle Time", seconds

    // _Main_: Display
    int directories = 0; // "Directories": 0 on top, 1 mixed
    int autoSort = 0;    // "AutoSort": 0 name .. 4 group, 5 none
    int sort = 0;        // "Sort": 0 ascending, 1 descending
    bool owner = true;   // "Owner"
    bool group = true;   // "Group"
    bool attrib = false; // "Attrib"
    QString font;        // "Font", font string
    QString statusFont;  // "StatusFont", font string
    int itemCount = 17;  // "Item Count"

    // _Main_: Options
    int onDoubleClick = 0;      // "On Double Click": 0 nothing, 1 queue, 2 transfer
    int onDragDrop = 0;         // "On DragDrop": 0 queue, 1 transfer
    int onLocalDuplicate = 0;   // "On Local Duplicate": 0 ask .. 3 skip
    bool wait = false;          // "Wait"
    bool altList = false;       // "Alt List"
    bool show214 = false;       // "Show214"
    bool restoreResume = false; // "RestoreResume"
    bool cleanUp = false;       // "CleanUp"
    int listMethod = 0;         // "List Method": 0 default, 1 hidden, 2 custom
    QString listCustomText;     // "List Custom Text"

    // _Main_: Skip list and favourites
    bool skip = false;                  // "Skip"
    bool skipNullFiles = false;         // "Skip null files"
    bool skipEmptyDirs = false;         // "Skip Empty Dirs"
    bool skipListAppliesToDirs = false; // "Skip List Applies to Dirs"
    bool showSkip = false;              // "Show Skip"
    Colour skipColour = clRed;          // "SkipColor"
    bool favorites = false;             // "Favorites"
    Colour favoritesColour = clRed;     // "FColor"

    // _Main_: Ident server and firewall
    bool identdServer = false; // "Identd Server"
    QString identdUser;        // "Identd User"
    bool identdOnly = true;    // "Identd Only"
    bool proxy = false;        // "Proxy"
    QString proxyHost;         // "Proxy Host"
    QString proxyPort;         // "Proxy Port", kept as text

    // _Main_: menu toggles
    bool skipFile = false;           // "Skip File": skip, else overwrite
    bool onCompleteIdle = true;      // "On Complete Idle": idle, else disconnect
    bool deleteMethod = true;        // "Delete Method": non-recursive, else recursive
    bool dupeMatch = true;           // "Dupe Match": exact, else partial
    bool treeStyle = true;           // "Tree Style": vertical, else horizontal
    bool statusStyle = true;         // "Status Style": vertical, else horizontal
    bool leftTree = false;           // "Left Tree"
    bool rightTree = false;          // "Right Tree"
    bool cache = false;              // "Cache"
    bool autoRefreshEnabled = false; // "Auto Refresh Enabled"
    int autoRefresh = 0;             // "AutoRefresh": 1 shows the auto refresh items
    int race = 0;                    // "Race": 1 shows the race item
    bool all = false;                // "all": extra options visible

    // _Main_: the update server "&Check for Update" asks; not edited by the program
    QString updateHost = QStringLiteral("127.0.0.1"); // "Update Host"
    int updatePort = 80;                              // "Update Port"

    // _Main_: window layout, written at close
    WindowLayout layout;

    // _Confirm_
    bool exitEmptyQueue = false; // "ExitEmptyQueue"

    // _Sounds_: SoundKind values (unknown ones play nothing) and wave files
    int connectSound = 0;    // "Connect Sound"
    int disconnectSound = 0; // "Disconnect Sound"
    int errorSound = 0;      // "Error Sound"
    int queueSound = 0;      // "Queue Sound"
    QString connectWav;      // "Connect Wav"
    QString disconnectWav;   // "Disconnect Wav"
    QString errorWav;        // "Error Wav"
    QString queueWav;        // "Queue Wav"
};
