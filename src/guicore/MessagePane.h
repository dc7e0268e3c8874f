#pragma once

#include <QLabel>
#include <QWidget>

// The first pane of the main window's status bar: it shows "Ready" when idle
// and the prompt of the command under the mouse. A view that classifies a log
// lays its progress bar over this pane; it finds the pane through its own
// window, so the view needs nothing of the frames but this name.
inline constexpr char kMessagePaneName[] = "messagePane";

// The message pane of the main window that `inside` belongs to, or nullptr
// when it is not in one (a view under test on its own).
inline QLabel* FindMessagePane(const QWidget& inside) {
    return inside.window()->findChild<QLabel*>(QLatin1String(kMessagePaneName));
}
