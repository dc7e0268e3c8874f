#pragma once

class QWidget;

// Widgets that stand in the place of the main window's message pane while
// they show (a progress bar, a loading's bar and Cancel): they go into the
// status bar's own layout where the pane is, so they get the pane's room
// however the window is sized, also before it first shows, and never lie
// over the panes beside it. The pane hides while any of them is there.

// Puts `cover` (which the status bar then owns) where the message pane of
// `view`'s main window is; false when `view` is in no main window (a view
// on its own), and `cover` is left alone.
bool CoverMessagePane(const QWidget& view, QWidget& cover);

// Takes `cover` out of the status bar again (it is not deleted); the pane
// shows again once no cover is left.
void UncoverMessagePane(QWidget& cover);
