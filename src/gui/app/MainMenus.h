#pragma once

#include "app/MenuSpec.h"

#include <vector>

// The fixed menus of the main window. Items whose commands arrive with later
// features exist, carry their names and start disabled.
namespace MainMenus {

struct TopMenu {
    const char* name;
    const char* caption;
    std::vector<MenuItemSpec> items;
};

std::vector<TopMenu> MainMenu();
// Pop-up menu of the remote file lists.
std::vector<MenuItemSpec> PopUp();
// Pop-up menu of the remote trees.
std::vector<MenuItemSpec> PopTree();
// Pop-up menu of the transfer queue.
std::vector<MenuItemSpec> PMQueue();
// The drop-down of each side's Connect button, before the saved sites.
std::vector<MenuItemSpec> PopSite();
// Pop-up menu of the tray icon.
std::vector<MenuItemSpec> PopupTray();
// Keyboard-only actions of the window.
std::vector<MenuItemSpec> ActionList();

} // namespace MainMenus
