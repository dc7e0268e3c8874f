// The double-click on a player's name: the Player Info window for the player
// the name's segment points at.
#include "AppConfig.h"
#include "CPlayerInfoDlg.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"

namespace {

// The first segment of the line whose visible columns hold `column`, or null.
const LineSegment* SegmentAtColumn(const LineView& line, int column) {
    for (const LineSegment& segment : line.segments) {
        if (segment.kind() == LineKind::EndMark) {
            break;
        }
        if (segment.visibleStart() <= column &&
            column < segment.visibleStart() + segment.visibleLength()) {
            return &segment;
        }
    }
    return nullptr;
}

} // namespace

void CQuarvelView::OnLButtonDblClk(QPoint point) {
    // The caret goes where the pointer is, as a single click puts it.
    LogLinesView::OnLButtonDblClk(point);
    if (caretLine() >= lineCount()) {
        return; // no lines at all
    }
    const LineView& line = lines().Line(caretLine());
    const LineSegment* hit = SegmentAtColumn(line, caretColumn());
    if (hit == nullptr || !TraitsOf(hit->kind()).namesPlayer) {
        return;
    }
    if (playerInfoDialog_ == nullptr) {
        playerInfoDialog_ = new CPlayerInfoDlg(config_, this);
    }
    playerInfoDialog_->Fill(line, *hit, document_.model().guidTable());
    playerInfoDialog_->exec();
}
