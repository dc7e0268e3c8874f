#include "CChildFrame.h"

#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "FilterPane.h"
#include "FilteredLinesView.h"
#include "OverviewStrip.h"
#include "UserSettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QHelpEvent>
#include <QSplitter>
#include <QToolTip>
#include <algorithm>

namespace {

// The filtered pane's height, kept for the next time it shows.
constexpr char kFilteredPaneHeightKey[] = "Settings/FilteredPaneHeight";
// Neither pane is squeezed below this.
constexpr int kLeastPaneHeight = 60;

} // namespace

CChildFrame::CChildFrame(std::shared_ptr<CQuarvelDoc> document, const AppConfig& config,
                         QWidget* parent)
    : QMdiSubWindow(parent), document_(std::move(document)) {
    setAttribute(Qt::WA_DeleteOnClose);
    splitter_ = new QSplitter(Qt::Vertical, this);
    splitter_->setChildrenCollapsible(false);
    view_ = new CQuarvelView(*document_, config, splitter_);
    splitter_->addWidget(view_);
    AddPane(view_);
    filterPane_ = new FilterPane(*document_, splitter_);
    splitter_->addWidget(filterPane_);
    filterPane_->hide();
    AddPane(filterPane_->linesView());
    connect(filterPane_->linesView(), &FilteredLinesView::lineChosen, this, [this](int line) {
        if (view_ != nullptr) {
            view_->GoToLine(line);
        }
    });
    connect(splitter_, &QSplitter::splitterMoved, this, [this] {
        if (filteredPaneShown()) {
            UserSettings().setValue(QLatin1String(kFilteredPaneHeightKey), filterPane_->height());
        }
    });
    // The strip beside the log view shows where the pane's matches are,
    // while the pane shows.
    view_->overviewStrip()->SetMatches([pane = filterPane_] {
        return pane != nullptr && !pane->isHidden() ? pane->matches() : nullptr;
    });
    connect(filterPane_, &FilterPane::listChanged, view_->overviewStrip(),
            qOverload<>(&QWidget::update));
    connect(view_, &CQuarvelView::playerLinesRequested, this, &CChildFrame::ShowLinesOfPlayer);
    connect(view_, &CQuarvelView::textFilterRequested, this, [this](const QString& text) {
        ShowFilteredPane(true);
        filterPane_->SetText(text);
    });
    setWidget(splitter_);
    setWindowTitle(document_->displayName());
}

void CChildFrame::AddPane(LogLinesView* pane) {
    connect(pane, &LogLinesView::focused, this, [this, pane] {
        if (focusedPane_ != pane) {
            focusedPane_ = pane;
            emit focusedPaneChanged();
        }
    });
    connect(pane, &LogLinesView::caretMoved, this, &CChildFrame::caretMoved);
    connect(pane, &LogLinesView::contextMenuRequested, this, &CChildFrame::contextMenuRequested);
}

LogLinesView* CChildFrame::focusedPane() const {
    if (focusedPane_ != nullptr && focusedPane_->isVisibleTo(splitter_)) {
        return focusedPane_;
    }
    return view_;
}

LogLinesView* CChildFrame::CommandTarget(int id) const {
    LogLinesView* pane = focusedPane();
    if (pane != nullptr && pane->ServesCommand(id)) {
        return pane;
    }
    return view_;
}

bool CChildFrame::filteredPaneShown() const {
    return filterPane_ != nullptr && !filterPane_->isHidden();
}

void CChildFrame::ShowFilteredPane(bool shown) {
    if (filterPane_ == nullptr || shown == filteredPaneShown()) {
        return;
    }
    if (!shown) {
        const bool hadFocus = filterPane_->isAncestorOf(QApplication::focusWidget());
        filterPane_->hide();
        if (hadFocus && view_ != nullptr) {
            view_->setFocus(Qt::OtherFocusReason);
        }
        view_->overviewStrip()->update();
        emit focusedPaneChanged();
        return;
    }
    const int total = splitter_->height();
    const int remembered =
        UserSettings().value(QLatin1String(kFilteredPaneHeightKey), total / 3).toInt();
    const int height = std::clamp(remembered, kLeastPaneHeight,
                                  std::max(total - kLeastPaneHeight, kLeastPaneHeight));
    filterPane_->show();
    splitter_->setSizes({std::max(total - height, 1), height});
    filterPane_->setFocus(Qt::OtherFocusReason); // its filter's text
    view_->overviewStrip()->update();
    emit focusedPaneChanged();
}

void CChildFrame::FocusOtherPane() {
    if (!filteredPaneShown() || view_ == nullptr) {
        return;
    }
    LogLinesView* list = filterPane_->linesView();
    if (focusedPane() == list) {
        view_->setFocus(Qt::OtherFocusReason);
    } else {
        list->setFocus(Qt::OtherFocusReason);
    }
}

void CChildFrame::ShowLinesOfPlayer(const QString& guid, const QString& name) {
    ShowFilteredPane(true);
    filterPane_->SetPlayer(guid.toStdString(), name);
}

CChildFrame::~CChildFrame() {
    ReleaseView();
}

QString CChildFrame::titleToolTip() const {
    return document_ != nullptr ? QDir::toNativeSeparators(document_->path()) : QString();
}

bool CChildFrame::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // Over the title bar the tooltip names the log's full path; over the
        // log itself (whose tooltip requests come up to here) none shows, so
        // it never covers the lines being read.
        const auto* help = static_cast<QHelpEvent*>(event);
        const int titleBottom = widget() != nullptr ? widget()->geometry().top() : height();
        if (help->pos().y() < titleBottom && !titleToolTip().isEmpty()) {
            QToolTip::showText(help->globalPos(), titleToolTip(), this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QMdiSubWindow::event(event);
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted()) {
        return;
    }
    ReleaseView();
    emit frameClosed(this);
}

void CChildFrame::ReleaseView() {
    // The panes refer to the document, so they must go first; as child
    // widgets they would otherwise outlive the document until the base
    // destructor runs.
    if (splitter_ != nullptr) {
        const std::unique_ptr<QSplitter> panes(splitter_.data());
        setWidget(nullptr); // hands the panes back without deleting them
    }
    document_.reset();
}
