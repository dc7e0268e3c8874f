// Find, Find next and Find previous: the view's Search dialog, and the
// search of the lines from the caret, whose hit becomes the selection.
#include "CSearchDlg.h"
#include "LogLinesView.h"
#include "LogSearch.h"
#include "LogText.h"
#include "SearchCancelWindow.h"
#include "SearchSettings.h"

namespace {

// The search of one command with its Cancel window, which goes with the
// command. The window lets the event loop turn while the search runs; the
// view holds the changes of its lines back meanwhile (HoldingLines), so
// the lines searched stay where they are.
class CancellableSearch {
public:
    CancellableSearch(LogSearch& search, QWidget& view, int showAfterMs)
        : search_(search), window_(view, showAfterMs) {
        search_.SetProgress(&window_);
    }
    ~CancellableSearch() { search_.SetProgress(nullptr); }
    CancellableSearch(const CancellableSearch&) = delete;
    CancellableSearch& operator=(const CancellableSearch&) = delete;

private:
    LogSearch& search_;
    SearchCancelWindow window_;
};

} // namespace

void LogLinesView::OnFind() {
    // The options are the application's: another window may have changed
    // them since this one's last search.
    LoadSearchOptions(*searchDialog_);
    if (searchDialog_->exec() != QDialog::Accepted) {
        return;
    }
    SaveChangedSearchOptions(*searchDialog_);
    const SearchOptions options = searchDialog_->options();
    std::optional<SearchHit> hit;
    HoldingLines([&] {
        const CancellableSearch cancellable(*search_, *this, searchBoxDelayMs_);
        hit = search_->Find(*lines_, QStringToLogText(searchDialog_->searchText), options,
                            {caretLine_, caretColumn_}, *messages_);
    });
    if (hit) {
        SelectRange(hit->line, hit->firstColumn, hit->line, hit->lastColumn);
    }
}

void LogLinesView::OnFindNext(bool reverse) {
    FindNextResult next;
    HoldingLines([&] {
        const CancellableSearch cancellable(*search_, *this, searchBoxDelayMs_);
        // The other way this once; the next Find next goes the Find's way.
        const bool backwards = search_->backwards();
        search_->SetBackwards(backwards != reverse);
        next = search_->FindNext(*lines_, selection(), {caretLine_, caretColumn_}, *messages_);
        search_->SetBackwards(backwards);
    });
    if (next.hit) {
        SelectRange(next.hit->line, next.hit->firstColumn, next.hit->line, next.hit->lastColumn);
        return;
    }
    // Searching forwards moves the caret past the selection even when
    // nothing more is found.
    caretLine_ = next.caret.line;
    caretColumn_ = next.caret.column;
    UpdateCaretPos();
}
