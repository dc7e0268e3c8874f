#pragma once

#include "LogLinesView.h"

class HitLines;
class LineSet;
class LogModel;

// The filtered pane's list: the lines of a log that a match index took, each
// with its line number in a margin on the left, drawn as the log view draws
// them, with its own caret, selection and copy. A click on a line, or Enter,
// asks for the log view to go to it (`lineChosen`). The log's byte search
// does not run over these lines (they do not lie one after another), so Find
// and Find next are left to the log view.
class FilteredLinesView : public LogLinesView {
    Q_OBJECT

public:
    explicit FilteredLinesView(const LogModel& model, QWidget* parent = nullptr);

    // Shows the lines `hits` holds, taken anew (none without a set). The set
    // must live while it is shown.
    void ShowHits(const LineSet* hits);
    // The set shown got more lines (at its end, or anywhere when marks
    // are among them), or lost some.
    void TakeNewHits();
    const LineSet* shownSet() const;
    // The log's line the pane's line `line` is.
    int LogLineOf(int line) const;
    // The pane's line that is the log's line `logLine`, or the first after
    // it; lineCount() when none is.
    int LineAtOrAfter(int logLine) const;

    bool ServesCommand(int id) const override;

signals:
    // The user chose the log's line `logLine` (0-based) in the list.
    void lineChosen(int logLine);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    class NumberMargin;

    // The margin as wide as the log's largest line number.
    void FitMargin();

    const LogModel& model_;
    HitLines* hits_ = nullptr; // owned as the view's source
    NumberMargin* margin_ = nullptr;
};
