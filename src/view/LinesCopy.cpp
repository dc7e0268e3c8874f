// Copy: the selection on the clipboard as the lines' bytes and as coloured
// HTML.
#include "ClipboardWriter.h"
#include "LogLinesView.h"
#include "MessagePane.h"
#include "SelectionCopy.h"

void LogLinesView::OnEditCopy() {
    const auto copied = CopySelection(*lines_, selection(), kinds_);
    if (!copied) {
        return;
    }
    PutOnClipboard(MakeClipboardData(*copied, NativeHtmlClipboardFormat()));
    if (!copied->htmlFits) {
        // The HTML's offsets have eight digits; a paste of the text still
        // works, so tell the user rather than stop them.
        if (QLabel* pane = FindMessagePane(*this)) {
            pane->setText(
                QStringLiteral("Copied as plain text only: the selection is too large for HTML"));
        }
    }
}
