#pragma once

#include "LineFilter.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>
#include <string>

class CQuarvelDoc;
class FilteredLinesView;
class MatchIndex;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QToolButton;

// The filtered pane under a log view: a filter bar (a text with the search's
// options, the kinds of lines, one player, Exclude) over the list of the
// log's lines the filter takes. The list fills while the log's match index
// works, a slice at a time between turns of the event loop, and grows as the
// log does; a reload starts it again. The count of matching lines and, while
// the index works, its progress show in the bar.
class FilterPane : public QWidget {
    Q_OBJECT

public:
    // The kinds' buttons, in the bar's order.
    static constexpr std::array<LineEvent, 4> kKinds = {LineEvent::Chat, LineEvent::Kill,
                                                        LineEvent::Connect, LineEvent::Rename};

    explicit FilterPane(CQuarvelDoc& document, QWidget* parent = nullptr);
    ~FilterPane() override;

    FilteredLinesView* linesView() const { return lines_; }
    QLineEdit* textEdit() const { return text_; }

    // Filters by the text: as typed, or as an expression with `regExp`.
    void SetText(const QString& text, bool regExp = false);
    // Filters by one player, across his renames; an empty GUID drops him.
    void SetPlayer(const std::string& guid, const QString& name);
    // Takes the bar's state as the filter and starts the list again.
    void ApplyFilter();
    // Works the index until it has caught up (tests, and quick logs).
    void ScanToEnd();

    // What the list shows: the filter's matches, the log's marks, or both.
    enum class Shows { Matches, Marks, Both };
    void SetShows(Shows shows);

    // The filter's matches so far, while it has any criterion.
    const LineSet* matches() const;

    // The filter last applied, when it has any criterion.
    const MatchIndex* index() const { return index_.get(); }
    // What the bar's count says.
    QString countText() const;

signals:
    // The lines listed, or the matches, changed.
    void listChanged();

private:
    QToolButton* AddToggle(const QString& text, const QString& name);
    LineFilter FilterFromBar() const;
    // Decides the next slice of the log's lines and shows what it found.
    void ScanSlice();
    void ShowProgress();
    void OnReloaded();
    void OnLinesCame();
    Shows shows() const;
    // The list's lines from the index's hits and the marks: taken anew, or
    // grown.
    void UpdateList(bool anew);

    CQuarvelDoc& document_;
    QLineEdit* text_ = nullptr;
    QCheckBox* regExp_ = nullptr;
    QCheckBox* caseSensitive_ = nullptr;
    std::array<QToolButton*, kKinds.size()> kindButtons_{};
    QCheckBox* exclude_ = nullptr;
    QLabel* player_ = nullptr;
    QToolButton* dropPlayer_ = nullptr;
    QComboBox* shows_ = nullptr;
    QLabel* count_ = nullptr;
    QProgressBar* progress_ = nullptr;
    FilteredLinesView* lines_ = nullptr;

    std::string playerGuid_;
    std::unique_ptr<MatchIndex> index_;
    // The marks, with the hits for Both: the lines shown unless they are
    // the hits alone.
    LineSet shown_;
    // What the bar says when there is no index (no criterion, a bad
    // expression).
    QString idleText_;
    // The slices of the index's work, one per turn of the event loop.
    QTimer scanSoon_;
    // Typing applies the text after a pause, not at every key.
    QTimer typingPause_;
};
