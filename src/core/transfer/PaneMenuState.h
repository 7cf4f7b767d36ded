#pragma once

#include <QHash>
#include <QString>

class App;

// What the active side's list or tree offers when its pop-up opens.
struct PaneSelection {
    bool listSelected = false;
    bool treeSelected = false;
    bool selectedIsFile = false; // the list's first selected entry
};

// The pane and tree pop-ups' items by object name, enabled or not. Items
// that need the active side connected and idle keep every other item off.
QHash<QString, bool> PaneMenuState(App& app, const PaneSelection& selection);
