#pragma once

#include "SearchBudget.h"

#include <QElapsedTimer>
#include <QPointer>
#include <memory>

class QProgressDialog;
class QWidget;

// The window a long search shows: once a search has run for a moment
// (`showAfterMs`), a modal "Searching..." box with a Cancel button (Esc
// cancels too) appears over the view, and the search, asking now and then
// whether to go on, keeps it painted and answering. A quick search never
// shows it.
class SearchCancelWindow final : public SearchProgress {
public:
    static constexpr int kShowAfterMs = 300;

    explicit SearchCancelWindow(QWidget& owner, int showAfterMs = kShowAfterMs);
    ~SearchCancelWindow() override;
    SearchCancelWindow(const SearchCancelWindow&) = delete;
    SearchCancelWindow& operator=(const SearchCancelWindow&) = delete;

    bool KeepGoing() override;

    // The box, once shown; null before.
    QProgressDialog* dialog() const { return dialog_.get(); }

private:
    QPointer<QWidget> owner_;
    int showAfterMs_;
    QElapsedTimer running_;
    std::unique_ptr<QProgressDialog> dialog_;
};
