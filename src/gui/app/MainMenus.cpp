#include "app/MainMenus.h"

namespace MainMenus {

namespace {

using F = MenuEntry;
constexpr unsigned Later = F::Disabled;

// Radio groups of the settings menus.
enum Group { TransferComplete = 1, FileExists, Deleting, DupeMatch, TreeLayout, StatusLayout };

// A submenu is never part of a radio group itself.
MenuEntry Submenu(const char* name, const char* caption, std::vector<MenuEntry> items,
                  unsigned flags = F::None) {
    return {name, caption, nullptr, flags, 0, std::move(items)};
}

// One of the exclusive choices of a settings menu.
MenuEntry Radio(const char* name, const char* caption, Group group) {
    return {name, caption, nullptr, F::None, group, {}};
}

} // namespace

std::vector<TopMenu> MainMenu() {
    return {
        {"FXP1",
         "&FXP",
         {
             {"Hide1", "&Hide", "F2"},
             MenuSeparator("N1"),
             {"Exit1", "E&xit"},
         }},
        {"Site1",
         "&Site",
         {
             {"SiteManager1", "&Site Manager", "F4"},
             {"NewSession1", "&New Session", "F12"},
         }},
        {"Options1",
         "&Options",
         {
             {"Preferences1", "&Preferences", "F6"},
             MenuSeparator("N2"),
             Submenu("TransferComplete1", "&Transfer Complete",
                     {Radio("Idle1", "&Idle", TransferComplete),
                      Radio("Disconnect1", "&Disconnect", TransferComplete)}),
             Submenu("FileExists1", "&File Exists",
                     {Radio("OverWrite1", "&OverWrite", FileExists),
                      Radio("Skip1", "&Skip", FileExists)}),
             Submenu("Deleting1", "&Deleting",
                     {Radio("NonRecursive1", "&Non-Recursive", Deleting),
                      Radio("Recursive1", "&Recursive", Deleting)}),
             Submenu("FilterDuplicates1", "Filter D&uplicates",
                     {Radio("ExactMatch1", "&Exact Match", DupeMatch),
                      Radio("PartialMatch1", "&Partial Match", DupeMatch)}),
             {"AntiIdle1", "Anti&-Idle", "Ctrl+I", F::Checkable},
             {"SkipList1", "&Skip List", "Ctrl+S", F::Checkable},
             MenuSeparator("N26", F::Hidden),
             {"AutoRefresh1", "&Auto Refresh", nullptr, F::Checkable | F::Hidden},
             {"DupeAfterRefresh1", "^-> Dupe After", nullptr, F::Checkable | F::Hidden},
             MenuSeparator("N31", F::Hidden),
             {"Race1", "&Race", nullptr, F::Checkable | F::Hidden},
         }},
        {"Commands1",
         "&Commands",
         {
             {"Define1", "&Define", "F7"},
             MenuSeparator("N19"),
             {"RawCommand1", "&Raw Command", "Ctrl+R"},
             MenuSeparator("N3"),
             {"Blank1", "Blank", nullptr, F::Hidden},
         }},
        {"View1",
         "&View",
         {
             Submenu("ColumnOptions1", "&Column Options",
                     {{"Size1", "&Size", nullptr, F::Checkable | F::Checked},
                      {"Date1", "&Date", nullptr, F::Checkable | F::Checked},
                      {"Owner1", "&Owner", nullptr, F::Checkable},
                      {"group1", "&Group", nullptr, F::Checkable},
                      {"Attrib1", "&Attrib", nullptr, F::Checkable}}),
             Submenu("TreeOptions1", "Tree Options",
                     {{"LeftTree1", "Show &Left Tree", nullptr, F::Checkable},
                      {"RightTree1", "Show &Right Tree", nullptr, F::Checkable},
                      MenuSeparator("N4"),
                      Radio("Vertical1", "Vertical Layout", TreeLayout),
                      Radio("Horizontal1", "Horizontal Layout", TreeLayout)}),
             Submenu("StatusQueueOptions1", "Status/Queue Options",
                     {{"Status1", "Show &Status", nullptr, F::Checkable | F::Checked},
                      {"Queue2", "Show &Queue", nullptr, F::Checkable | F::Checked},
                      MenuSeparator("N5"),
                      Radio("VerticalLayout1", "Vertical Layout", StatusLayout),
                      Radio("HorizontalLayout1", "Horizontal Layout", StatusLayout)}),
         }},
        {"Directory1",
         "&Directory",
         {
             {"Find1", "&Find", "Ctrl+F"},
             {"FindNext1", "Find &Next", "F3"},
             MenuSeparator("N6"),
             {"FilterDupes1", "Filter &Duplicates"},
             Submenu("N2DayFilterDupes1", "&2 Day Filter Duplicates",
                     {{"Left1", "&Left"}, {"Right1", "&Right"}},
                     F::Hidden),
             MenuSeparator("N7"),
             {"ViewRawDirectory1", "&View Raw Directory", nullptr},
             {"CopyDirectorytoClipboard1", "&Copy Directory to Clipboard", nullptr},
             MenuSeparator("N8"),
             {"CacheDirectories1", "Cache Directories", nullptr, F::Checkable},
             {"ClearCache1", "Clear Cache", nullptr},
         }},
        {"Help1",
         "&Help",
         {
             {"Help2", "&Help", "F1"},
             {"Whatsnewtxt1", "&Whatsnew.txt"},
             {"CheckforUpdate1", "&Check for Update"},
             MenuSeparator("N9"),
             {"About1", "&About"},
         }},
    };
}

std::vector<MenuEntry> PopUp() {
    return {
        {"Transfer1", "&Transfer", "Ctrl+T", Later},
        {"TransferAs1", "Transfer &As", nullptr, Later},
        {"Queue1", "&Queue", "Ctrl+Q", Later},
        MenuSeparator("N10"),
        {"ViewFile1", "&View File", nullptr, Later},
        {"LocalQueue1", "Local Q&ueue", nullptr, Later},
        {"LocalDownload1", "Local &Download", nullptr, Later},
        {"LocalUpload1", "Local &Upload", "Ctrl+U", Later},
        MenuSeparator("N11"),
        {"Move1", "M&ove", nullptr, Later},
        {"Rename1", "Re&name", nullptr, Later},
        {"Attributes1", "Chm&od", nullptr, Later},
        {"Delete1", "De&lete", nullptr, Later},
        {"SavePath1", "&Save Path"},
        MenuSeparator("N12"),
        {"MakeDirectory1", "&Make Directory", "Ins", Later},
        {"ChangeDirectory1", "&Change Directory", nullptr, Later},
        {"CopyDirectory1", "C&opy Directory", "Ctrl+O", Later},
        MenuSeparator("N13"),
        {"Refresh1", "&Refresh", "F5", Later},
    };
}

std::vector<MenuEntry> PopTree() {
    return {
        {"Transfer2", "&Transfer", "Ctrl+T", Later},
        {"Queue3", "&Queue", "Ctrl+Q", Later},
        MenuSeparator("N14"),
        {"Move2", "M&ove", nullptr, Later},
        {"Delete2", "De&lete", "Del", Later},
        {"Rename2", "Re&name", nullptr, Later},
        {"chmod1", "Chm&od", nullptr, Later},
        MenuSeparator("N15"),
        {"MakeDirectory2", "&Make Directory", "Ins", Later},
        {"ChangeDirectory2", "&Change Directory", nullptr, Later},
    };
}

std::vector<MenuEntry> PMQueue() {
    return {
        {"Transfer3", "&Transfer", nullptr, Later},
        MenuSeparator("N16"),
        {"EditTarget1", "&Edit Target", nullptr, Later},
        {"DeleteEntry1", "&Delete Entry", nullptr, Later},
        {"MoveUp1", "Move &Up", "Ctrl+S", Later},
        {"MoveDown1", "Move &Down", "Ctrl+X", Later},
        {"QueueInfo1", "Queue &Info", nullptr, Later},
        MenuSeparator("N17"),
        {"SaveQueue1", "&Save Queue", nullptr, Later},
        {"LoadQueue1", "&Load Queue", nullptr, Later},
        {"ClearQueue1", "Clear Queue", nullptr, Later},
    };
}

std::vector<MenuEntry> PopSite() {
    return {
        {"QuickConnect1", "Quick Connect"},
        MenuSeparator("N18"),
    };
}

std::vector<MenuEntry> LocalPop() {
    return {
        {"ParentDirectory1", "&Parent Directory"},
        {"MakeDirectory3", "&Make Directory"},
        {"ChangeDirectory3", "&Change Directory"},
        {"Refresh2", "Refresh", "F5"},
    };
}

std::vector<MenuEntry> PopupTray() {
    return {
        {"Restore1", "&Restore", nullptr, F::Default},
        {"Exit2", "E&xit"},
    };
}

std::vector<MenuEntry> ActionList() {
    return {
        {"Action1", "Dupe", "Ctrl+D"},  {"dupe1", "dupe", "Ctrl+Alt+D"},
        {"Action2", "Error", "Ctrl+E"},        {"Refresh3", "Refresh", "F5"},
        {"ALL", "ALL", "Alt+Shift+Backspace"},
    };
}

} // namespace MainMenus
