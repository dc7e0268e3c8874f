#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

class CQuarvelDoc;
class MatchIndex;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QTreeWidget;
class QTreeWidgetItem;

// "Find in all logs": one text (or expression, with the search's options)
// looked for in every open log, each through a match index of its own, a
// slice at a time between turns of the event loop; every hit listed with
// its log, line number and text as it is found. A double-click on a hit
// asks for its log's window at that line (`hitChosen`). At most
// kListedLimit hits are listed, with a note.
class CFindAllLogsDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kListedLimit = 10000;

    using Documents = std::function<std::vector<std::shared_ptr<CQuarvelDoc>>()>;

    CFindAllLogsDlg(Documents documents, QWidget* parent);
    ~CFindAllLogsDlg() override;

    QLineEdit* textEdit() const { return text_; }
    QTreeWidget* results() const { return results_; }
    QString statusText() const;
    // Whether a search is still under way.
    bool searching() const { return scanSoon_.isActive(); }

    // Starts the search of every open log for the text as the window has it.
    void StartSearch();

signals:
    // The user chose the hit at line `line` (from 0) of the log at `path`.
    void hitChosen(const QString& path, int line);

private:
    struct LogSearch;

    void ScanSlice();
    // Lists the hits of `search` found since the last call.
    void ListNewHits(LogSearch& search);
    void ShowStatus();
    void OnItemActivated(QTreeWidgetItem* item);

    Documents documents_;
    QLineEdit* text_ = nullptr;
    QCheckBox* regExp_ = nullptr;
    QCheckBox* caseSensitive_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QTreeWidget* results_ = nullptr;

    std::vector<LogSearch> searches_;
    std::size_t current_ = 0;
    int hitCount_ = 0;
    QString error_;
    QTimer scanSoon_;
};
