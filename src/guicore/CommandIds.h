#pragma once

// The numbers of the program's commands. They are the classic framework ids so
// that every menu entry, key and toolbar button names its command the same way
// in the frames, the view and the tests. Commands without a handler anywhere in
// the program (New, Save, Paste, Cut, Undo and the pane keys) are listed too:
// their keys are bound to disabled actions so that they visibly do nothing.
namespace CommandId {

inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kFileSave = 57603;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintPreview = 57609;
// The recent-file entries take this id and the next three (to 57619).
inline constexpr int kFileMruFirst = 57616;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditSelectAll = 57642;
inline constexpr int kEditUndo = 57643;
inline constexpr int kWindowNew = 57648;
inline constexpr int kWindowArrange = 57649;
inline constexpr int kWindowCascade = 57650;
inline constexpr int kWindowTile = 57651;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kNextPane = 57680;
inline constexpr int kPrevPane = 57681;
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;

// The commands of the log view.
inline constexpr int kFind = 32771;
inline constexpr int kFindNext = 32773;
inline constexpr int kDatabaseUpdate = 32775;
inline constexpr int kExecuteRconFile = 32776;
// Following a growing log: the view keeps its end in view; the document keeps
// the player database current.
inline constexpr int kFollowEnd = 32792;
inline constexpr int kKeepDatabaseUpdated = 32793;
inline constexpr int kGoTo = 32790; // a line number or a time of the log

// Tools > Find player, served by the frame: it needs the player database,
// not a log.
inline constexpr int kFindPlayer = 32777;

// Find next's search the other way (Shift+F3).
inline constexpr int kFindPrevious = 32794;
// The selection's HTML as text, for pasting where HTML is written.
inline constexpr int kEditCopyHtml = 32795;
// The log loaded again from its file.
inline constexpr int kFileReload = 32796;
// The Player Info window on the name at the caret.
inline constexpr int kPlayerInfo = 32797;
// The filtered pane under the log view, shown or hidden.
inline constexpr int kFilteredView = 32798;
// The filtered pane on the player whose name is at the caret, or on the
// selected text.
inline constexpr int kFilterByPlayer = 32799;
inline constexpr int kFilterBySelection = 32800;
// Marks: set or cleared on the caret's line, the next and the previous.
inline constexpr int kToggleMark = 32801;
inline constexpr int kNextMark = 32802;
inline constexpr int kPreviousMark = 32803;
// One search in every open log, listed in a window of its own.
inline constexpr int kFindInAllLogs = 32804;
// View > Servers: the Servers panel, a dock of the main window.
inline constexpr int kViewServers = 32805;
// Tools > RCON console: a console window for a chosen server. Tools >
// Execute RCON file (kExecuteRconFile) runs a file's commands in one.
inline constexpr int kRconConsole = 32806;
// Tools > Servers: the servers of quarvel.cfg listed, added, edited, removed
// and tested; the configuration read again once they are saved.
inline constexpr int kServersDialog = 32807;
// Tools > Bans: the ban states listed, lifted, extended and synced with the
// servers; it needs the player database.
inline constexpr int kBansWindow = 32808;

} // namespace CommandId
