// Marks in the log view: the margin left of the lines that shows them (a
// click there sets or clears the mark of the line beside it), and F2 and
// Shift+F2 to the next and the previous one.
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "OverviewStrip.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr QRgb kMarginColour = 0x202020;
constexpr QRgb kMarkColour = 0x00C0C0;

class MarkMargin : public QWidget {
public:
    MarkMargin(CQuarvelView& view, CQuarvelDoc& document) : view_(view), document_(document) {
        setObjectName(QStringLiteral("markMargin"));
        setFixedWidth(view.charWidth() + 6);
        setToolTip(QStringLiteral("Click to mark a line, or to take its mark away"));
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), QColor(kMarginColour));
        const LineSet& marks = document_.marks();
        if (marks.Empty()) {
            return;
        }
        const int height = view_.lineHeight();
        const int end = std::min(view_.topLine() + view_.visibleLines() + 1, view_.lineCount());
        marks.ForEachFrom(view_.topLine(), [&](int line) {
            if (line >= end) {
                return false;
            }
            const int top = CQuarvelView::kTopMargin + (line - view_.topLine()) * height;
            painter.fillRect(QRect(2, top + 2, width() - 4, height - 4), QColor(kMarkColour));
            return true;
        });
    }

    void mousePressEvent(QMouseEvent* event) override {
        const int line = view_.LineAtY(event->position().toPoint().y());
        if (event->button() == Qt::LeftButton && line >= 0) {
            document_.ToggleMark(line);
        }
        event->accept();
    }

private:
    CQuarvelView& view_;
    CQuarvelDoc& document_;
};

} // namespace

void CQuarvelView::InstallMarkMargin() {
    auto* margin = new MarkMargin(*this, document_);
    overview_ = new OverviewStrip(*this, document_);
    SetSideWidgets(margin, overview_);
    for (QWidget* side : {static_cast<QWidget*>(margin), static_cast<QWidget*>(overview_)}) {
        connect(&document_, &CQuarvelDoc::marksChanged, side, qOverload<>(&QWidget::update));
    }
    connect(&document_, &CQuarvelDoc::marksChanged, this, &CQuarvelView::commandStateChanged);
}

void CQuarvelView::GoToMark(bool forwards) {
    const LineSet& marks = document_.marks();
    const int caret = caretLine();
    const auto target = forwards ? marks.NextFrom(caret + 1) : marks.PreviousFrom(caret - 1);
    if (target && *target < lineCount()) {
        GoToLine(*target);
    }
}
