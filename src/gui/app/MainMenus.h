#pragma once

#include "app/MenuEntry.h"

#include <vector>

// The fixed menus of the main window. Items whose commands arrive with later
// features exist, carry their names and start disabled.
namespace MainMenus {

struct TopMenu {
    const char* name;
    const char* caption;
    std::vector<MenuEntry> items;
};

std::vector<TopMenu> MainMenu();
// Pop-up menu of the remote file lists.
std::vector<MenuEntry> PopUp();
// Pop-up menu of the remote trees.
std::vector<MenuEntry> PopTree();
// Pop-up menu of the transfer queue.
std::vector<MenuEntry> PMQueue();
// The drop-down of each side's Connect button, before the saved sites.
std::vector<MenuEntry> PopSite();
// Pop-up menu of the local lists.
std::vector<MenuEntry> LocalPop();
// Pop-up menu of the tray icon.
std::vector<MenuEntry> PopupTray();
// Keyboard-only actions of the window.
std::vector<MenuEntry> ActionList();

} // namespace MainMenus
