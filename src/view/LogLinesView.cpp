// The lines widget as a whole: construction, the metrics taken on resize,
// painting, the caret, the widgets beside the rows and the commands.
// Scrolling and keys are in LinesNavigation.cpp, the mouse and the selection
// in LinesSelection.cpp, following a growing source in LinesFollow.cpp.
#include "LogLinesView.h"

#include "CSearchDlg.h"
#include "CommandIds.h"
#include "LogSearch.h"
#include "SearchCancelWindow.h"
#include "SearchSettings.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <algorithm>

LogLinesView::LogLinesView(std::unique_ptr<LineSource> lines, QWidget* parent)
    : QAbstractScrollArea(parent), lines_(std::move(lines)), kinds_(MakeKindTables(caretColours_)),
      painter_(fonts_, caretColours_, kinds_, kBackgroundColour), charWidth_(fonts_.charWidth()),
      lineHeight_(fonts_.lineHeight()), searchBoxDelayMs_(SearchCancelWindow::kShowAfterMs) {
    // Every paint covers what it is asked to paint, background included.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The horizontal bar shows only while a line is wider than the window.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    horizontalScrollBar()->setRange(0, 0);

    // The bars report what the user did to them; the view decides where
    // that leads and sets their position back.
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnVScroll(static_cast<QAbstractSlider::SliderAction>(action)); });
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnHScroll(static_cast<QAbstractSlider::SliderAction>(action)); });
    // A position set on a bar from outside (accessibility tools, for one)
    // still moves the view.
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, this, [this](int value) {
        if (value != topLine_) {
            topLine_ = value;
            viewport()->update();
            emit rowsMoved();
        }
    });
    connect(horizontalScrollBar(), &QAbstractSlider::valueChanged, this, [this](int value) {
        if (value != firstColumn_) {
            firstColumn_ = value;
            viewport()->update();
        }
    });

    connect(&caretBlink_, &QTimer::timeout, this, [this] {
        caretBlinkOn_ = !caretBlinkOn_;
        viewport()->update(CaretRect());
    });
    connect(&autoScroll_, &QTimer::timeout, this, [this] { OnAutoScrollTimer(); });

    search_ = std::make_unique<LogSearch>();
    searchDialog_ = new CSearchDlg(this);
    LoadSearchOptions(*searchDialog_);
}

// The search options are the application's, written when the user changes
// them (LinesSearch.cpp); closing a window has nothing left to store.
LogLinesView::~LogLinesView() = default;

void LogLinesView::ResetPositions() {
    topLine_ = 0;
    firstColumn_ = 0;
    caretLine_ = 0;
    caretColumn_ = 0;
    selectionActive_ = false;
    dragging_ = false;
    dragBackward_ = false;
    emit caretMoved();
}

void LogLinesView::SetCaret(int line, int column) {
    caretLine_ = line;
    caretColumn_ = column;
    UpdateCaretPos();
}

void LogLinesView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    OnSize();
}

void LogLinesView::OnSize() {
    const bool endInView = topLine_ + visibleLines_ >= lineCount_;
    // The window's client area is the viewport, between the scroll bars.
    visibleLines_ = std::max((viewport()->height() - kTopMargin) / lineHeight_, 0);
    visibleColumns_ = std::max((viewport()->width() - kLeftMargin) / charWidth_, 0);
    if (topLine_ + visibleLines_ > lineCount_) {
        topLine_ = lineCount_ - visibleLines_;
    }
    // A view that follows keeps the end in view when it gets smaller (a
    // horizontal bar that comes, say), or it would stop following.
    if (following_ && endInView) {
        topLine_ = lineCount_ - visibleLines_;
    }
    topLine_ = std::max(topLine_, 0);
    verticalScrollBar()->setRange(0, std::max(lineCount_ - visibleLines_, 0));
    verticalScrollBar()->setPageStep(std::max(visibleLines_, 1));
    horizontalScrollBar()->setPageStep(std::max(visibleColumns_, 1));
    SetVerticalPosition();
    UpdateHorizontalRange();
    PlaceSideWidgets();
}

void LogLinesView::SetSideWidgets(QWidget* left, QWidget* right) {
    leftSide_ = left;
    rightSide_ = right;
    for (QWidget* side : {left, right}) {
        if (side != nullptr) {
            side->setParent(this);
            connect(this, &LogLinesView::rowsMoved, side, qOverload<>(&QWidget::update));
            side->show();
        }
    }
    setViewportMargins(left != nullptr ? left->width() : 0, 0,
                       right != nullptr ? right->width() : 0, 0);
    PlaceSideWidgets();
}

void LogLinesView::PlaceSideWidgets() {
    // The margins lie between the frame and the scroll bars, beside the
    // viewport, at its height.
    const QRect rows = viewport()->geometry();
    if (leftSide_ != nullptr) {
        leftSide_->setGeometry(rows.left() - leftSide_->width(), rows.top(), leftSide_->width(),
                               rows.height());
    }
    if (rightSide_ != nullptr) {
        rightSide_->setGeometry(rows.right() + 1, rows.top(), rightSide_->width(), rows.height());
    }
}

int LogLinesView::RowOf(int line) const {
    const int row = line - topLine_;
    return row >= 0 && row < visibleLines_ && line < lineCount_ ? row : -1;
}

int LogLinesView::LineAtY(int y) const {
    if (y < kTopMargin) {
        return lineCount_ > 0 ? topLine_ : -1;
    }
    const int line = (y - kTopMargin) / lineHeight_ + topLine_;
    return line < lineCount_ ? line : -1;
}

void LogLinesView::scrollContentsBy(int, int) {
    // The view repaints itself wherever its position changes.
}

PaintFrame LogLinesView::ScreenFrame(const QRect& area, const SelectionBounds& selection) const {
    PaintFrame frame;
    frame.topLine = topLine_;
    frame.rows = std::min(visibleLines_, lineCount_ - topLine_);
    frame.firstColumn = firstColumn_;
    frame.leftMargin = kLeftMargin;
    frame.topMargin = kTopMargin;
    frame.rightEdge = viewport()->width();
    frame.area = area;
    frame.selection = selectionActive_ ? &selection : nullptr;
    frame.backgroundPainted = true; // by the erase that starts every paint
    return frame;
}

void LogLinesView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    // The erase: all black, so rows below the last line and the margins are
    // background too.
    painter.fillRect(event->rect(), QColor(QRgb(kBackgroundColour)));
    if (LinesDrawable()) {
        const SelectionBounds shown = selection();
        painter_.Paint(painter, *lines_, ScreenFrame(event->rect(), shown));
    }
    DrawCaret(painter);
}

QRect LogLinesView::CaretRect() const {
    return {(caretColumn_ - firstColumn_) * charWidth_ + kLeftMargin,
            (caretLine_ - topLine_) * lineHeight_ + kTopMargin, kCaretWidth, kCaretHeight};
}

void LogLinesView::DrawCaret(QPainter& painter) {
    caretDrawn_ = CaretRect();
    if (!caretCreated_ || !caretBlinkOn_) {
        return;
    }
    // The caret inverts what lies under it, as a solid system caret does.
    if (painter.paintEngine()->hasFeature(QPaintEngine::RasterOpModes)) {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(caretDrawn_, Qt::white);
    } else {
        painter.setCompositionMode(QPainter::CompositionMode_Difference);
        painter.fillRect(caretDrawn_, Qt::white);
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void LogLinesView::UpdateCaretPos() {
    emit caretMoved();
    if (!caretCreated_) {
        return;
    }
    // A caret that moves shows at once and blinks from there.
    viewport()->update(caretDrawn_);
    viewport()->update(CaretRect());
    caretBlinkOn_ = true;
    if (caretBlink_.isActive()) {
        caretBlink_.start();
    }
}

void LogLinesView::OnActivateView(bool activating) {
    if (activating == caretCreated_) {
        return;
    }
    caretCreated_ = activating;
    caretBlinkOn_ = true;
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (activating && flashTime > 0) {
        caretBlink_.start(flashTime / 2);
    } else {
        caretBlink_.stop();
    }
    viewport()->update(CaretRect());
}

void LogLinesView::focusInEvent(QFocusEvent* event) {
    OnActivateView(true);
    QAbstractScrollArea::focusInEvent(event);
    emit focused();
}

void LogLinesView::focusOutEvent(QFocusEvent* event) {
    OnActivateView(false);
    QAbstractScrollArea::focusOutEvent(event);
}

bool LogLinesView::ServesCommand(int id) const {
    switch (id) {
    case CommandId::kEditCopy:
    case CommandId::kEditCopyHtml:
    case CommandId::kFind:
    case CommandId::kFindNext:
    case CommandId::kFindPrevious:
    case CommandId::kEditSelectAll:
        return true;
    default:
        return false;
    }
}

bool LogLinesView::OnCommand(int id) {
    switch (id) {
    case CommandId::kEditCopy:
        OnEditCopy();
        return true;
    case CommandId::kFind:
        OnFind();
        return true;
    case CommandId::kFindNext:
        OnFindNext();
        return true;
    case CommandId::kFindPrevious:
        OnFindNext(true);
        return true;
    case CommandId::kEditCopyHtml:
        OnEditCopyHtml();
        return true;
    case CommandId::kEditSelectAll:
        OnEditSelectAll();
        return true;
    default:
        return false;
    }
}

bool LogLinesView::IsCommandChecked(int) const {
    return false;
}

bool LogLinesView::IsCommandEnabled(int id) const {
    switch (id) {
    case CommandId::kFind:
    case CommandId::kFindNext:
    case CommandId::kFindPrevious:
        return true;
    case CommandId::kEditCopy:
    case CommandId::kEditCopyHtml:
        return selectionActive_;
    case CommandId::kEditSelectAll:
        return lineCount_ > 0;
    default:
        return false;
    }
}
