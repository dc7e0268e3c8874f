#pragma once

#include "CQuarvelView.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <memory>

class CQuarvelDoc;

// A document window inside the main frame: one view of one document. The
// frame holds its document, so the document lives while any of its windows
// does. On close the frame lets go of its view and its document at once (the
// last window of a log thereby releases the file right away), then tells the
// main frame through `frameClosed`.
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
    // What the title bar's tooltip shows: the log's full path, which tells
    // two logs of one name apart.
    QString titleToolTip() const;

signals:
    void frameClosed(CChildFrame* frame);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void ReleaseView();

    std::shared_ptr<CQuarvelDoc> document_;
    QPointer<CQuarvelView> view_;
};
