// The view as a whole: construction, the update that classifies the log, the
// metrics taken on resize, painting, the caret, and the commands. Printing is
// in ViewPrint.cpp. Scrolling and keys are in ViewNavigation.cpp, the mouse and the
// selection in ViewSelection.cpp.
#include "CQuarvelView.h"

#include "AppConfig.h"
#include "CGoToDlg.h"
#include "CQuarvelDoc.h"
#include "CSearchDlg.h"
#include "ClassificationProgress.h"
#include "CommandIds.h"
#include "DatabaseUpdateRun.h"
#include "LoadingProgress.h"
#include "LogSearch.h"
#include "SearchSettings.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleHints>
#include <algorithm>

CQuarvelView::CQuarvelView(CQuarvelDoc& document, const AppConfig& config, QWidget* parent)
    : QAbstractScrollArea(parent), document_(document), config_(config), lines_(document.model()),
      kinds_(MakeKindTables(caretColours_)),
      painter_(fonts_, caretColours_, kinds_, kBackgroundColour), charWidth_(fonts_.charWidth()),
      lineHeight_(fonts_.lineHeight()) {
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

    // The document tells every view of its log when the log grows or is
    // loaded again.
    connect(&document_, &CQuarvelDoc::linesAppended, this, &CQuarvelView::OnLinesAppended);
    connect(&document_, &CQuarvelDoc::reloaded, this, &CQuarvelView::OnReloaded);
    connect(&document_, &CQuarvelDoc::loadProgressed, this, &CQuarvelView::OnLoadProgressed);
    connect(&document_, &CQuarvelDoc::loadFinished, this, &CQuarvelView::OnLoadFinished);
    connect(&document_, &CQuarvelDoc::loadCancelled, this,
            [this] { LoadingProgress::Drop(loadingProgress_); });
    connect(&document_, &CQuarvelDoc::liveHarvestChanged, this, &CQuarvelView::commandStateChanged);
    connect(&autoScroll_, &QTimer::timeout, this, [this] { OnAutoScrollTimer(); });

    search_ = std::make_unique<LogSearch>();
    searchDialog_ = new CSearchDlg(this);
    LoadSearchOptions(*searchDialog_);
    goToDialog_ = new CGoToDlg(this);
}

// The search options are the application's, written when the user changes
// them (ViewSearch.cpp); closing a window has nothing left to store.
CQuarvelView::~CQuarvelView() {
    LoadingProgress::Drop(loadingProgress_);
}

void CQuarvelView::ResetPositions() {
    topLine_ = 0;
    firstColumn_ = 0;
    caretLine_ = 0;
    caretColumn_ = 0;
    selectionActive_ = false;
    dragging_ = false;
    dragBackward_ = false;
}

void CQuarvelView::OnUpdate() {
    const bool hadSelection = selectionActive_;
    ResetPositions();
    LogModel& model = document_.model();
    lineCount_ = model.lineCount();

    SetHorizontalPosition();
    verticalScrollBar()->setRange(0, std::max(lineCount_ - visibleLines_, 0));
    SetVerticalPosition();

    if (document_.loading()) {
        // The document classifies in slices; the first screen shows as soon
        // as its lines are in.
        LoadingProgress::Drop(loadingProgress_);
        loadingProgress_ = LoadingProgress::ShowFor(*this);
        if (loadingProgress_ != nullptr) {
            loadingProgress_->SetPermille(document_.loadedPermille());
            connect(loadingProgress_, &LoadingProgress::cancelled, &document_,
                    &CQuarvelDoc::CancelLoading);
        }
    } else {
        ClassificationProgress progress(*this);
        progress.Run(model);
        viewport()->update();
    }
    // The lines' lengths are known once they are classified.
    widestLine_ = 0;
    linesMeasured_ = 0;
    UpdateHorizontalRange();
    if (hadSelection) {
        emit commandStateChanged();
    }
}

void CQuarvelView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    OnSize();
}

void CQuarvelView::OnSize() {
    // The window's client area is the viewport, between the scroll bars.
    visibleLines_ = std::max((viewport()->height() - kTopMargin) / lineHeight_, 0);
    visibleColumns_ = std::max((viewport()->width() - kLeftMargin) / charWidth_, 0);
    if (topLine_ + visibleLines_ > lineCount_) {
        topLine_ = lineCount_ - visibleLines_;
    }
    topLine_ = std::max(topLine_, 0);
    verticalScrollBar()->setRange(0, std::max(lineCount_ - visibleLines_, 0));
    verticalScrollBar()->setPageStep(std::max(visibleLines_, 1));
    horizontalScrollBar()->setPageStep(std::max(visibleColumns_, 1));
    SetVerticalPosition();
    UpdateHorizontalRange();
}

void CQuarvelView::scrollContentsBy(int, int) {
    // The view repaints itself wherever its position changes.
}

PaintFrame CQuarvelView::ScreenFrame(const QRect& area, const SelectionBounds& selection) const {
    PaintFrame frame;
    frame.topLine = topLine_;
    frame.rows = visibleLines_;
    frame.firstColumn = firstColumn_;
    frame.leftMargin = kLeftMargin;
    frame.topMargin = kTopMargin;
    frame.rightEdge = viewport()->width();
    frame.area = area;
    frame.selection = selectionActive_ ? &selection : nullptr;
    frame.backgroundPainted = true; // by the erase that starts every paint
    return frame;
}

void CQuarvelView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    // The erase: all black, so rows below the last line and the margins are
    // background too.
    painter.fillRect(event->rect(), QColor(QRgb(kBackgroundColour)));
    // A log that did not load shows nothing but the background.
    if (document_.model().loadStatus() == LoadStatus::Loaded) {
        const SelectionBounds shown = selection();
        painter_.Paint(painter, lines_, ScreenFrame(event->rect(), shown));
    }
    DrawCaret(painter);
}

QRect CQuarvelView::CaretRect() const {
    return {(caretColumn_ - firstColumn_) * charWidth_ + kLeftMargin,
            (caretLine_ - topLine_) * lineHeight_ + kTopMargin, kCaretWidth, kCaretHeight};
}

void CQuarvelView::DrawCaret(QPainter& painter) {
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

void CQuarvelView::UpdateCaretPos() {
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

void CQuarvelView::OnActivateView(bool activating) {
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

void CQuarvelView::focusInEvent(QFocusEvent* event) {
    OnActivateView(true);
    QAbstractScrollArea::focusInEvent(event);
}

void CQuarvelView::focusOutEvent(QFocusEvent* event) {
    OnActivateView(false);
    QAbstractScrollArea::focusOutEvent(event);
}

bool CQuarvelView::OnCommand(int id) {
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
    case CommandId::kEditSelectAll:
        OnEditSelectAll();
        return true;
    case CommandId::kGoTo:
        OnGoTo();
        return true;
    case CommandId::kDatabaseUpdate:
        OnDatabaseUpdate();
        return true;
    case CommandId::kFollowEnd:
        SetFollowing(!following_);
        return true;
    case CommandId::kKeepDatabaseUpdated:
        OnKeepDatabaseUpdated();
        return true;
    default:
        return false;
    }
}

bool CQuarvelView::IsCommandChecked(int id) const {
    switch (id) {
    case CommandId::kFollowEnd:
        return following_;
    case CommandId::kKeepDatabaseUpdated:
        return document_.liveHarvestOn();
    default:
        return false;
    }
}

bool CQuarvelView::IsCommandEnabled(int id) const {
    switch (id) {
    case CommandId::kFind:
    case CommandId::kFindNext:
    case CommandId::kFilePrint:
    case CommandId::kFollowEnd:
        return true;
    case CommandId::kKeepDatabaseUpdated:
        // Turning it off is always possible.
        return document_.liveHarvestOn() || !config_.databasePath.empty();
    case CommandId::kEditCopy:
        return OnUpdateEditCopy();
    case CommandId::kEditSelectAll:
    case CommandId::kGoTo:
        return lineCount_ > 0;
    case CommandId::kDatabaseUpdate:
        return IsDatabaseUpdateEnabled(config_.databasePath, updateRunning_);
    default:
        return false;
    }
}
