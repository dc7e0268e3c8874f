#pragma once

#include <QKeySequence>
#include <span>
#include <vector>

// The main frame's commands as data: each command's menu text, keys and
// prompts, the two menu bars and the toolbar. The frame turns these tables
// into its actions, menus and buttons.
struct CommandEntry {
    int id = 0;
    const char* text = "";    // menu text, with mnemonic and the shortcut text after a tab
    const char* prompt = "";  // status-bar prompt
    const char* toolTip = ""; // toolbar tooltip
    std::vector<QKeySequence> keys;
};

// The commands with their texts and keys, one entry per id.
std::span<const CommandEntry> FrameCommandTable();

// A menu of a menu bar: its title and its entries, where 0 stands for a
// separator and CommandId::kFileMruFirst for the recent-file list.
struct MenuLayout {
    const char* title = "";
    std::vector<int> entries;
};

// The menus shown while no log window exists.
std::span<const MenuLayout> PlainMenuLayout();
// The menus shown while a log window exists.
std::span<const MenuLayout> DocumentMenuLayout();

// The toolbar's buttons, 0 standing for a gap.
std::span<const int> ToolbarLayout();
