// Go to (Ctrl+G): the caret to the start of a line given by its number, or
// of the line where the log's clock reaches a time.
#include "CGoToDlg.h"
#include "CQuarvelView.h"
#include "LogTimeStamp.h"
#include "Messages.h"

#include <algorithm>

void CQuarvelView::OnGoTo() {
    if (lineCount() <= 0) {
        return;
    }
    goToDialog_->SetLineCount(lineCount());
    if (goToDialog_->exec() != QDialog::Accepted) {
        return;
    }
    const QString text = goToDialog_->targetText;
    const std::string typed = text.toStdString();
    if (const auto time = ParseTimeOfLog(typed)) {
        const auto line = FindTimeOfLog(lines(), caretLine(), *time);
        if (!line) {
            messages().Show({"The log's clock never reaches " + FormatTimeOfLog(*time) + ".",
                             kApplicationTitle, MessageIcon::Warning});
            return;
        }
        GoToLine(*line);
        return;
    }
    bool isNumber = false;
    const qlonglong number = text.toLongLong(&isNumber);
    if (!isNumber) {
        messages().Show({"Type a line number from 1 to " + std::to_string(lineCount()) +
                             ", or a time of the log such as 12:34.",
                         kApplicationTitle, MessageIcon::Warning});
        return;
    }
    // Numbers past either end go to the first or the last line.
    GoToLine(static_cast<int>(std::clamp<qlonglong>(number - 1, 0, lineCount() - 1)));
}
