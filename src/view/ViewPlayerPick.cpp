// The player at the caret: a double-click on a name, or Player Info, opens
// the Player Info window for the player the name's segment points at.
#include "AppConfig.h"
#include "CPlayerInfoDlg.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "LogText.h"
#include "SelectionCopy.h"

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

std::optional<PlayerAt> CQuarvelView::PlayerAtCaret() const {
    if (caretLine() < 0 || caretLine() >= lineCount()) {
        return std::nullopt; // no lines at all
    }
    PlayerAt at;
    at.line = lines().Line(caretLine());
    const LineSegment* hit = SegmentAtColumn(at.line, caretColumn());
    if (hit == nullptr || !TraitsOf(hit->kind()).namesPlayer) {
        return std::nullopt;
    }
    at.segment = *hit;
    return at;
}

void CQuarvelView::OnLButtonDblClk(QPoint point) {
    // The caret goes where the pointer is, as a single click puts it.
    LogLinesView::OnLButtonDblClk(point);
    OnPlayerInfo();
}

void CQuarvelView::OnFilterByPlayer() {
    const auto player = PlayerAtCaret();
    if (!player || player->segment.player == nullptr) {
        return;
    }
    const std::string_view name(player->line.text + player->segment.start(),
                                static_cast<std::size_t>(player->segment.length()));
    const std::string_view guid = player->segment.player->Guid();
    emit playerLinesRequested(QString::fromLatin1(guid.data(), static_cast<qsizetype>(guid.size())),
                              LogTextToQString(name));
}

void CQuarvelView::OnFilterBySelection() {
    if (!selectionActive() || selection().startLine != selection().endLine) {
        return;
    }
    const auto copied = CopySelection(lines(), selection(), kindTables(), CopyFormats::TextOnly);
    if (copied && !copied->text.empty()) {
        emit textFilterRequested(LogTextToQString(copied->text));
    }
}

void CQuarvelView::OnPlayerInfo() {
    const auto player = PlayerAtCaret();
    if (!player) {
        return;
    }
    if (playerInfoDialog_ == nullptr) {
        playerInfoDialog_ = new CPlayerInfoDlg(config_, this);
        playerInfoDialog_->SetShowLines([this](const QString& guid, const QString& name) {
            emit playerLinesRequested(guid, name);
        });
    }
    playerInfoDialog_->Fill(player->line, player->segment, document_.model().guidTable());
    playerInfoDialog_->exec();
}
