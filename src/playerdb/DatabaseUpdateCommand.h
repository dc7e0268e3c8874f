#pragma once

#include "CDatabaseUpdateDlg.h"

#include <QPointer>

class AppConfig;
class LogModel;
class MessageSink;
class QWidget;

// The view's "Database update" command: harvests the document's log into the
// configured player database behind a CDatabaseUpdateDlg, and returns when
// the run is over (the dialog stays open until its "Close").
//
// `view` owns the run's message boxes; its top-level window is the main
// window that stays disabled until "Close". `updateRunning` is set for the
// run's length; `updateDialog` gets the run's dialog. Window messages are
// dispatched once per step, which is when Stop is noticed. However the run
// ends, its button reads "Close" afterwards; a run over every line leaves the
// progress bar full. A failure is shown
// after what was stored before it has been committed: the engine's
// description (or "Other error") under "Quarvel", through `messages` when
// given, else in a message box over the view.
void RunDatabaseUpdate(QWidget* view, LogModel& model, const AppConfig& config, bool& updateRunning,
                       QPointer<CDatabaseUpdateDlg>& updateDialog, MessageSink* messages = nullptr);
