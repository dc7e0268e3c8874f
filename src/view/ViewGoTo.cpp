// Go to (Ctrl+G): the caret to the start of a line given by its number, or
// of the line where the log's clock reaches a time.
#include "CGoToDlg.h"
#include "CQuarvelView.h"
#include "LogTimeStamp.h"
#include "Messages.h"

#include <QScrollBar>
#include <algorithm>

void CQuarvelView::GoToLine(int line) {
    if (lineCount_ <= 0) {
        return;
    }
    line = std::clamp(line, 0, lineCount_ - 1);
    if (selectionActive_) {
        SetSelectionActive(false);
    }
    dragBackward_ = false;
    caretLine_ = line;
    caretColumn_ = 0;
    // Placed as a search hit is: about half a window from the top.
    if (line < topLine_ || line >= topLine_ + visibleLines_) {
        topLine_ = LimitTopLine(line - visibleLines_ / 2);
        SetVerticalPosition();
    }
    firstColumn_ = 0;
    SetHorizontalPosition();
    viewport()->update();
    UpdateCaretPos();
}

void CQuarvelView::OnGoTo() {
    if (lineCount_ <= 0) {
        return;
    }
    goToDialog_->SetLineCount(lineCount_);
    if (goToDialog_->exec() != QDialog::Accepted) {
        return;
    }
    const QString text = goToDialog_->targetText;
    const std::string typed = text.toStdString();
    if (const auto time = ParseTimeOfLog(typed)) {
        const auto line = FindTimeOfLog(lines_, caretLine_, *time);
        if (!line) {
            messages_->Show({"The log's clock never reaches " + FormatTimeOfLog(*time) + ".",
                             kApplicationTitle, MessageIcon::Warning});
            return;
        }
        GoToLine(*line);
        return;
    }
    bool isNumber = false;
    const qlonglong number = text.toLongLong(&isNumber);
    if (!isNumber) {
        messages_->Show({"Type a line number from 1 to " + std::to_string(lineCount_) +
                             ", or a time of the log such as 12:34.",
                         kApplicationTitle, MessageIcon::Warning});
        return;
    }
    // Numbers past either end go to the first or the last line.
    GoToLine(static_cast<int>(std::clamp<qlonglong>(number - 1, 0, lineCount_ - 1)));
}
