#pragma once

#include "CQuarvelView.h"
#include "FilterPane.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QSplitter>
#include <memory>

class CQuarvelDoc;

// A document window inside the main frame: one view of one document, in a
// splitter that holds the window's panes. The frame holds its document, so
// the document lives while any of its windows does. On close the frame lets
// go of its panes and its document at once (the last window of a log
// thereby releases the file right away), then tells the main frame through
// `frameClosed`.
//
// The commands of the lines go to the pane that has (or last had) the
// focus, when it serves them; every other command of a log goes to the log
// view (`CommandTarget`).
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT

public:
    CChildFrame(std::shared_ptr<CQuarvelDoc> document, const AppConfig& config,
                QWidget* parent = nullptr);
    ~CChildFrame() override;

    // Null once the frame has closed.
    CQuarvelDoc* document() const { return document_.get(); }
    // The document as shared with its other windows (New Window adds one).
    const std::shared_ptr<CQuarvelDoc>& sharedDocument() const { return document_; }
    CQuarvelView* view() const { return view_.data(); }
    // The pane that serves command `id` in this window: the one that has
    // (or last had) the focus, when it serves the command, or else the log
    // view. Null once the frame has closed.
    LogLinesView* CommandTarget(int id) const;
    // The pane that has, or last had, the focus.
    LogLinesView* focusedPane() const;
    QSplitter* splitter() const { return splitter_.data(); }
    // The filtered pane under the log view (View > Filtered view), hidden
    // at first; when shown it takes the height it last had.
    FilterPane* filterPane() const { return filterPane_.data(); }
    bool filteredPaneShown() const;
    void ShowFilteredPane(bool shown);
    // F6 and Shift+F6: the focus to the other pane, while both show.
    void FocusOtherPane();
    // Shows the filtered pane on one player's lines, across his renames.
    void ShowLinesOfPlayer(const QString& guid, const QString& name);
    // What the title bar's tooltip shows: the log's full path, which tells
    // two logs of one name apart.
    QString titleToolTip() const;

signals:
    void frameClosed(CChildFrame* frame);
    // Another pane of the window took the focus: the commands' states and
    // the caret's place may be another pane's now.
    void focusedPaneChanged();
    // The caret of a pane moved.
    void caretMoved();
    // A pane asks for its context menu (see LogLinesView).
    void contextMenuRequested(const QPoint& globalPosition, const std::vector<int>& commands);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ReleaseView();
    // Keeps track of which pane has the focus.
    void AddPane(LogLinesView* pane);

    std::shared_ptr<CQuarvelDoc> document_;
    QPointer<QSplitter> splitter_;
    QPointer<CQuarvelView> view_;
    QPointer<LogLinesView> focusedPane_;
    QPointer<FilterPane> filterPane_;
};
