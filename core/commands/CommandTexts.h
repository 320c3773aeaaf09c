// The texts of the program's commands (status-bar prompt and tool tip), its menu and the order
// of its toolbar.
#pragma once

#include <string>
#include <vector>

struct CommandText {
    std::string prompt;   // shown in the status bar's message pane
    std::string toolTip;  // shown beside the toolbar button
};

// The texts of a command; both empty for a command without any.
CommandText TextOfCommand(int id);

// The toolbar's buttons from left to right; 0 stands for a separator.
const std::vector<int>& ToolbarLayout();

struct MenuItem {
    int id;  // 0 for a separator
    std::string text;
    // "" for an item of the menu itself; else the title of the submenu it is in (the items of
    // one submenu stand together).
    std::string submenu = {};
};
struct Menu {
    std::string title;
    std::vector<MenuItem> items;
};
const std::vector<Menu>& MainMenu();
// The shortcut written after a menu item's tab ("Ctrl+N"), or "" for an item without one.
std::string MenuItemKey(const std::string& itemText);

// The help page beside the program: its folder, then "/help/index.htm".
std::string HelpPagePath(const std::string& programFolder);
// The help page where an installation puts it, seen from the installed program's folder.
std::string InstalledHelpPagePath(const std::string& programFolder);
