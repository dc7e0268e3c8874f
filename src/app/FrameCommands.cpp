#include "FrameCommands.h"

#include "CommandIds.h"

#include <array>

using namespace CommandId;

namespace {

QKeySequence Key(QKeyCombination combination) {
    return QKeySequence(combination);
}

// Prompts are the framework's standard ones for its standard ids. The view's
// own commands carry none, so the message pane shows "Ready" over them.
const std::vector<CommandEntry>& Commands() {
    static const std::vector<CommandEntry> entries = {
        {kFileNew, "&New\tCtrl+N", "Create a new document", "New", {Key(Qt::CTRL | Qt::Key_N)}},
        {kFileOpen,
         "&Open...\tCtrl+O",
         "Open an existing document",
         "Open",
         {Key(Qt::CTRL | Qt::Key_O)}},
        {kFileClose, "&Close", "Close the active document", "Close", {}},
        {kFileMruFirst, "Recent File", "Open this document", "", {}},
        {kAppExit, "E&xit", "Quit the application; prompts to save documents", "Exit", {}},
        {kFilePrint,
         "&Print...\tCtrl+P",
         "Print the active document",
         "Print",
         {Key(Qt::CTRL | Qt::Key_P)}},
        {kFilePrintPreview, "Print Pre&view", "Display full pages", "Print Preview", {}},
        {kEditSelectAll,
         "Select &All\tCtrl+A",
         "Select the entire document",
         "Select All",
         {Key(Qt::CTRL | Qt::Key_A)}},
        {kGoTo,
         "&Go to...\tCtrl+G",
         "Go to a line number or to a time of the log",
         "Go To",
         {Key(Qt::CTRL | Qt::Key_G)}},
        {kEditCopy,
         "&Copy\tCtrl+C",
         "Copy the selection and put it on the Clipboard",
         "Copy",
         {Key(Qt::CTRL | Qt::Key_C), Key(Qt::CTRL | Qt::Key_Insert)}},
        {kEditCut,
         "Cu&t\tCtrl+X",
         "Cut the selection and put it on the Clipboard",
         "Cut",
         {Key(Qt::CTRL | Qt::Key_X), Key(Qt::SHIFT | Qt::Key_Delete)}},
        {kEditPaste,
         "&Paste\tCtrl+V",
         "Insert Clipboard contents",
         "Paste",
         {Key(Qt::CTRL | Qt::Key_V), Key(Qt::SHIFT | Qt::Key_Insert)}},
        {kEditUndo,
         "&Undo\tCtrl+Z",
         "Undo the last action",
         "Undo",
         {Key(Qt::CTRL | Qt::Key_Z), Key(Qt::ALT | Qt::Key_Backspace)}},
        {kNextPane, "Next Pane", "Switch to the next window pane", "Next Pane", {Key(Qt::Key_F6)}},
        {kPrevPane,
         "Previous Pane",
         "Switch back to the previous window pane",
         "Previous Pane",
         {Key(Qt::SHIFT | Qt::Key_F6)}},
        {kFind, "&Find\tF5", "", "", {Key(Qt::Key_F5), Key(Qt::CTRL | Qt::Key_F)}},
        {kFindNext, "Find &next\tCtrl+F5", "", "", {Key(Qt::CTRL | Qt::Key_F5), Key(Qt::Key_F3)}},
        {kFindPrevious,
         "Find &previous\tShift+F3",
         "Find the last search's text again, the other way",
         "",
         {Key(Qt::SHIFT | Qt::Key_F3)}},
        {kFileReload,
         "&Reload",
         "Read the log again from its file",
         "Reload",
         {Key(Qt::CTRL | Qt::Key_R)}},
        {kEditCopyHtml,
         "Copy as &HTML",
         "Copy the selection's coloured HTML as text",
         "Copy as HTML",
         {Key(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}},
        {kPlayerInfo,
         "&Player Info",
         "Show the player whose name is at the caret",
         "Player Info",
         {}},
        {kFilteredView,
         "&Filtered view",
         "Show or hide the lines a filter takes, under the log",
         "Filtered view",
         {}},
        {kFilterByPlayer,
         "Filter by this &player",
         "Show every line of the player at the caret in the filtered view",
         "Filter by this player",
         {}},
        {kFilterBySelection,
         "Filter by the &selected text",
         "Show every line holding the selected text in the filtered view",
         "Filter by the selected text",
         {}},
        {kFindInAllLogs,
         "Find in &all logs...\tCtrl+Shift+F",
         "Look for a text in every open log",
         "Find in all logs",
         {Key(Qt::CTRL | Qt::SHIFT | Qt::Key_F)}},
        {kToggleMark,
         "Toggle &mark\tCtrl+F2",
         "Mark the caret's line, or take its mark away",
         "Toggle mark",
         {Key(Qt::CTRL | Qt::Key_F2)}},
        {kNextMark, "Ne&xt mark\tF2", "Go to the next marked line", "Next mark", {Key(Qt::Key_F2)}},
        {kPreviousMark,
         "Pre&vious mark\tShift+F2",
         "Go to the previous marked line",
         "Previous mark",
         {Key(Qt::SHIFT | Qt::Key_F2)}},
        {kDatabaseUpdate, "&Database update", "", "", {}},
        {kExecuteRconFile, "&Execute RCON file", "", "", {}},
        {kFollowEnd,
         "&Follow end of log",
         "Keep the end of a growing log in view",
         "Follow end of log",
         {}},
        {kKeepDatabaseUpdated,
         "Keep &database updated",
         "Harvest the lines the log gets into the player database as they come",
         "",
         {}},
        {kFindPlayer, "&Find player...", "", "", {}},
        {kRconConsole,
         "RCON &console",
         "Send console commands to a server and read its answers",
         "RCON console",
         {}},
        {kServersDialog,
         "&Servers...",
         "List, add, edit, remove and test the game servers of the configuration",
         "Servers",
         {}},
        {kBansWindow,
         "&Bans",
         "List, lift and extend the bans, and send the permanent ones to every server",
         "Bans",
         {}},
        {kViewToolbar, "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar", {}},
        {kViewStatusBar, "&Status Bar", "Show or hide the status bar", "Toggle StatusBar", {}},
        {kViewServers,
         "&Servers",
         "Show or hide who is on each configured server now",
         "Servers",
         {}},
        {kWindowNew,
         "&New Window",
         "Open another window for the active document",
         "New Window",
         {}},
        {kWindowCascade, "&Cascade", "Arrange windows so they overlap", "Cascade Windows", {}},
        {kWindowTile, "&Tile", "Arrange windows as non-overlapping tiles", "Tile Windows", {}},
        {kWindowArrange,
         "&Arrange Icons",
         "Arrange icons at the bottom of the window",
         "Arrange Icons",
         {}},
        {kAppAbout,
         "&About Quarvel...",
         "Display program information, version number and copyright",
         "About",
         {}},
    };
    return entries;
}

const std::vector<MenuLayout>& Plain() {
    static const std::vector<MenuLayout> menus = {
        {"&File", {kFileOpen, 0, kFileMruFirst, 0, kAppExit}},
        {"&Tools", {kServersDialog, kBansWindow}},
        {"&View", {kViewToolbar, kViewStatusBar, kViewServers}},
        {"&Help", {kAppAbout}},
    };
    return menus;
}

const std::vector<MenuLayout>& Document() {
    static const std::vector<MenuLayout> menus = {
        {"&File",
         {kFileOpen, kFileClose, kFileReload, 0, kFilePrint, kFilePrintPreview, 0, kFileMruFirst, 0,
          kAppExit}},
        {"&Edit", {0, kEditCopy, kEditCopyHtml, kEditSelectAll}},
        {"&Search",
         {kFind, kFindNext, kFindPrevious, kFindInAllLogs, 0, kGoTo, 0, kToggleMark, kNextMark,
          kPreviousMark}},
        {"&Tools",
         {kDatabaseUpdate, kKeepDatabaseUpdated, kFindPlayer, 0, kServersDialog, kBansWindow,
          kRconConsole, kExecuteRconFile}},
        {"&View", {kViewToolbar, kViewStatusBar, kViewServers, 0, kFollowEnd, kFilteredView}},
        {"&Window", {kWindowNew, kWindowCascade, kWindowTile, kWindowArrange}},
        {"&Help", {kAppAbout}},
    };
    return menus;
}

constexpr std::array<int, 7> kToolbar = {kFileOpen, 0, kEditCopy, 0, kFollowEnd, 0, kAppAbout};

} // namespace

std::span<const CommandEntry> FrameCommandTable() {
    return Commands();
}
std::span<const MenuLayout> PlainMenuLayout() {
    return Plain();
}
std::span<const MenuLayout> DocumentMenuLayout() {
    return Document();
}
std::span<const int> ToolbarLayout() {
    return kToolbar;
}
