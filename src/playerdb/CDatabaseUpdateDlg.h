#pragma once

#include "DatabaseUpdateRun.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

// The modeless "Database Update" window of a run: a progress bar, the four
// counters of the "Records" group and a button that reads "Stop" while the
// run goes on and "Close" once it is over. From its construction until
// "Close" is pressed, the main window is disabled, so nothing else can be
// done meanwhile. It has no close box and Escape does nothing: only the
// button ends it.
class CDatabaseUpdateDlg : public QDialog {
    Q_OBJECT

public:
    // Disables `mainWindow`, which owns the dialog and is enabled again by
    // "Close". The window is made by Create().
    explicit CDatabaseUpdateDlg(QWidget* mainWindow);

    // Shows the window, modeless, over the main window.
    void Create();

    // The four counters as "%ld" texts.
    void SetCounters(const HarvestCounters& counters);
    void SetProgressRange(int steps);
    void SetProgressPosition(int stepsDone);
    // Every line is done: the bar is full, whatever steps were planned.
    void SetProgressComplete();

    // The run is over: the button turns into "Close".
    void MarkFinished();
    // True once the run is over or Stop was pressed.
    bool stopped() const { return stopped_; }

    // The button: "Stop" marks the run finished (the run notices after the
    // step in progress); "Close" enables the main window again and destroys
    // the dialog.
    void OnStopOrClose();

public slots:
    void reject() override; // Escape: nothing

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<QWidget> mainWindow_;
    QPushButton* stopButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* guidsNewText_ = nullptr;
    QLabel* guidsTotalText_ = nullptr;
    QLabel* playersNewText_ = nullptr;
    QLabel* playersTotalText_ = nullptr;
    bool stopped_ = false;
};
