#pragma once

#include <QAbstractScrollArea>
#include <QRect>

class CQuarvelDoc;
class QPainter;

// The window that shows one document's log. Each child frame holds exactly
// one; a document may have several (the Window menu's New Window).
//
// What the frames rely on, and all they rely on:
// - Construction with the document, which outlives the view.
// - `OnUpdate()`: called once by the frame after the view has been created,
//   put into its frame and laid out, before the frame is first painted. It
//   classifies the document's lines; while it works it may lay a progress
//   bar over the main window's message pane (see `FindMessagePane`). When the
//   log is opened from the command line, the main window is not yet visible.
// - Command routing: the frame asks `IsCommandEnabled(id)` whenever an
//   action's state may have changed (a menu is about to show, the active
//   window changed, or the view emitted `commandStateChanged()`), and calls
//   `OnCommand(id)` when the user gives a command the view serves: Copy, Find,
//   Find next, Database update and Execute RCON file (ids in CommandIds.h).
//   `OnCommand` returns false for an id the view does not serve.
// - Print: the frame asks the user for a printer and then calls `Print()`
//   with a painter on the printer and the page's printable rectangle in that
//   painter's coordinates. The view draws with its own screen drawing; the
//   program adds no page layout. `IsCommandEnabled(kFilePrint)` gates it.
class CQuarvelView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit CQuarvelView(CQuarvelDoc& document, QWidget* parent = nullptr);
    ~CQuarvelView() override;

    CQuarvelDoc& document() const { return document_; }

    void OnUpdate();

    bool OnCommand(int id);
    bool IsCommandEnabled(int id) const;

    void Print(QPainter& painter, const QRect& page);

    // The number of lines the view took in at its update.
    int lineCount() const { return lineCount_; }

signals:
    // The answer of IsCommandEnabled may have changed (a selection appeared or
    // went away, a database update started or ended).
    void commandStateChanged();

private:
    CQuarvelDoc& document_;
    int lineCount_ = 0;
};
