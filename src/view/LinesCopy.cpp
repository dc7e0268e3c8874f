// Copy: the selection on the clipboard as the lines' bytes and as coloured
// HTML; Copy as HTML: the HTML as text.
#include "ClipboardWriter.h"
#include "LogLinesView.h"
#include "LogText.h"
#include "MessagePane.h"
#include "SelectionCopy.h"

namespace {

void TellInMessagePane(const QWidget& view, const QString& text) {
    if (QLabel* pane = FindMessagePane(view)) {
        pane->setText(text);
    }
}

} // namespace

void LogLinesView::OnEditCopy() {
    const auto copied = CopySelection(*lines_, selection(), kinds_);
    if (!copied) {
        return;
    }
    PutOnClipboard(MakeClipboardData(*copied, NativeHtmlClipboardFormat()));
    if (!copied->htmlFits) {
        // The HTML's offsets have eight digits; a paste of the text still
        // works, so tell the user rather than stop them.
        TellInMessagePane(
            *this,
            QStringLiteral("Copied as plain text only: the selection is too large for HTML"));
    }
}

void LogLinesView::OnEditCopyHtml() {
    const auto copied = CopySelection(*lines_, selection(), kinds_);
    if (!copied) {
        return;
    }
    if (!copied->htmlFits) {
        // Nothing is put: the clipboard keeps what it had rather than a cut
        // document.
        TellInMessagePane(*this, QStringLiteral("Not copied: the selection is too large for HTML"));
        return;
    }
    // The HTML itself, for a forum post or a web page; the header is the
    // clipboard format's, not the page's.
    auto data = std::make_unique<QMimeData>();
    data->setText(LogTextToQString(HtmlOfClipboardDocument(copied->html)));
    PutOnClipboard(std::move(data));
}
