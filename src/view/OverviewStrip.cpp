#include "OverviewStrip.h"

#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "LineSet.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr QRgb kOverviewBackground = 0x202020;
constexpr QRgb kOverviewMatch = 0xE0E000;
constexpr QRgb kOverviewMark = 0x00C0C0;
constexpr QRgb kOverviewInView = 0x707070;

// Whether the set holds a line in [first, end).
bool OverviewHoldsAny(const LineSet& set, int first, int end) {
    return set.Rank(end) > set.Rank(first);
}

} // namespace

OverviewStrip::OverviewStrip(CQuarvelView& view, const CQuarvelDoc& document)
    : view_(view), document_(document) {
    setObjectName(QStringLiteral("overviewStrip"));
    setFixedWidth(kWidth);
    setToolTip(QStringLiteral("Where the matches and the marks are: click to go there"));
}

void OverviewStrip::SetMatches(std::function<const LineSet*()> matches) {
    matches_ = std::move(matches);
    update();
}

std::pair<int, int> OverviewStrip::LinesOfRow(int row, int height, int lines) {
    if (height <= 0 || lines <= 0) {
        return {0, 0};
    }
    const auto at = [&](int r) {
        return static_cast<int>(static_cast<std::int64_t>(r) * lines / height);
    };
    const int first = at(row);
    // A row stands for one line at least, when the lines are fewer than
    // the rows.
    return {first, std::max(at(row + 1), first + 1)};
}

void OverviewStrip::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(kOverviewBackground));
    const int lines = view_.lineCount();
    const int rows = height();
    if (lines <= 0 || rows <= 0) {
        return;
    }
    // The lines in view, outlined.
    const int top = static_cast<int>(static_cast<std::int64_t>(view_.topLine()) * rows / lines);
    const int bottom = static_cast<int>(
        static_cast<std::int64_t>(std::min(view_.topLine() + view_.visibleLines(), lines)) * rows /
        lines);
    painter.setPen(QColor(kOverviewInView));
    painter.drawRect(0, top, width() - 1, std::max(bottom - top, 1));

    const LineSet* matches = matches_ ? matches_() : nullptr;
    const LineSet& marks = document_.marks();
    const int half = width() / 2;
    // One look per pixel row, whatever the count of hits.
    for (int row = 0; row < rows; ++row) {
        const auto [first, end] = LinesOfRow(row, rows, lines);
        if (first >= lines) {
            break;
        }
        if (matches != nullptr && OverviewHoldsAny(*matches, first, end)) {
            painter.fillRect(1, row, half - 1, 1, QColor(kOverviewMatch));
        }
        if (!marks.Empty() && OverviewHoldsAny(marks, first, end)) {
            painter.fillRect(half, row, width() - half - 1, 1, QColor(kOverviewMark));
        }
    }
}

void OverviewStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && view_.lineCount() > 0) {
        const int row = std::clamp(event->position().toPoint().y(), 0, std::max(height() - 1, 0));
        view_.GoToLine(LinesOfRow(row, height(), view_.lineCount()).first);
    }
    event->accept();
}
