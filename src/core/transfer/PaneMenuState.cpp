#include "transfer/PaneMenuState.h"

#include "app/App.h"
#include "net/FtpSession.h"

QHash<QString, bool> PaneMenuState(App& app, const PaneSelection& selection) {
    static const char* const items[] = {
        "Transfer1",  "TransferAs1", "Queue1",           "ViewFile1",        "LocalQueue1",
        "LocalDownload1", "LocalUpload1", "Move1",       "Rename1",          "Attributes1",
        "Delete1",    "SavePath1",   "MakeDirectory1",   "ChangeDirectory1", "CopyDirectory1",
        "Refresh1",   "Transfer2",   "Queue3",           "Move2",            "Delete2",
        "Rename2",    "chmod1",      "MakeDirectory2",   "ChangeDirectory2"};
    QHash<QString, bool> state;
    for (const char* name : items)
        state.insert(QString::fromLatin1(name), false);
    auto set = [&state](std::initializer_list<const char*> names, bool on) {
        for (const char* name : names)
            state[QString::fromLatin1(name)] = on;
    };
    Side& left = app.left();
    Side& right = app.right();
    const bool bothConnected = left.session().isConnected() && right.session().isConnected();
    set({"Transfer1", "TransferAs1", "Transfer2"},
        bothConnected && !left.state().Busy && !right.state().Busy);
    set({"Queue1", "Queue3"}, bothConnected);
    Side& active = app.side(app.activeSide());
    if (!active.session().isConnected() || active.state().Busy)
        return state;
    set({"ViewFile1", "LocalDownload1", "LocalUpload1", "Delete1", "Delete2", "Rename1", "Rename2",
         "SavePath1", "ChangeDirectory1", "ChangeDirectory2", "CopyDirectory1", "MakeDirectory1",
         "MakeDirectory2", "Move1", "Move2", "Refresh1"},
        true);
    if (selection.listSelected || selection.treeSelected)
        set({"LocalQueue1", "Attributes1", "chmod1"}, true);
    if (selection.listSelected && !selection.selectedIsFile)
        set({"ViewFile1"}, false);
    if (app.deletion().queue().shown())
        set({"Delete1"}, false);
    return state;
}
