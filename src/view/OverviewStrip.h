#pragma once

#include <QWidget>
#include <functional>

class CQuarvelDoc;
class CQuarvelView;
class LineSet;

// The strip beside the log view's vertical scroll bar: the whole log from
// top to bottom, with a tick where the filtered pane's matches are (yellow)
// and where the marks are (cyan), and the lines in view outlined. A click
// sends the view to that place of the log.
class OverviewStrip : public QWidget {
public:
    static constexpr int kWidth = 10;

    OverviewStrip(CQuarvelView& view, const CQuarvelDoc& document);

    // Where the matches come from (the frame's filtered pane): null while
    // there are none to show.
    void SetMatches(std::function<const LineSet*()> matches);

    // The log's lines one pixel row of the strip stands for, from `first`
    // to `end`: the rows of a strip `height` high over `lines` lines.
    static std::pair<int, int> LinesOfRow(int row, int height, int lines);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    CQuarvelView& view_;
    const CQuarvelDoc& document_;
    std::function<const LineSet*()> matches_;
};
