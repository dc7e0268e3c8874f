#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <stdexcept>

// Asked now and then while a search runs, so that a long search can be
// watched and cancelled (the window shows a Cancel button). False cancels.
class SearchProgress {
public:
    virtual ~SearchProgress() = default;
    virtual bool KeepGoing() = 0;
};

// Why a search stopped before it knew its answer.
enum class SearchStop {
    None,        // it ran to its end
    TooMuchWork, // the budget ran out, or the engine's own complexity limit
    Cancelled,   // the user cancelled it
    LineTooLong, // a line's bytes past the 2 GiB a search reads may hold a match
};

// Thrown out of the matching engine when the budget runs out or the user
// cancels; the search catches it.
class SearchInterrupted : public std::runtime_error {
public:
    explicit SearchInterrupted(SearchStop why)
        : std::runtime_error("search interrupted"), why_(why) {}
    SearchStop why() const { return why_; }

private:
    SearchStop why_;
};

// The work one search may do, counted in characters the matching engine
// reads. A search may spend a fixed allowance plus a fixed amount for every
// byte of every line it hands the engine, each line counted once, so no
// expression makes a search grow faster than the log it reads; the
// backtracking of an expression such as (x+x+)+y, which doubles with every
// character, runs out of it within about a second.
class SearchBudget {
public:
    static constexpr std::int64_t kBaseTicks = 20'000'000;
    static constexpr std::int64_t kTicksPerByte = 1000;

    // A fresh budget for one search.
    void Start(SearchProgress* progress);
    // The line about to be searched: its bytes add to the allowance. Also
    // asks the progress now and then.
    void AllowLine(std::size_t bytes);
    // One character read by the engine.
    void Spend() {
        if (--untilCheck_ <= 0) {
            Check();
        }
    }

private:
    static constexpr std::int64_t kCheckEvery = 1 << 16;

    void Check();
    void AskProgress();

    std::int64_t left_ = kBaseTicks; // ticks allowed beyond those counted in untilCheck_
    std::int64_t untilCheck_ = kCheckEvery;
    std::int64_t linesUntilAsk_ = 0;
    SearchProgress* progress_ = nullptr;
    std::chrono::steady_clock::time_point lastAsked_{};
};

// A pointer into a line's visible text that spends the budget on every read,
// so the engine stops in the middle of a regex_search when the budget runs
// out. Random access, as the engine's size estimates want.
class BudgetedIterator {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    BudgetedIterator() = default;
    BudgetedIterator(const char* p, SearchBudget* budget) : p_(p), budget_(budget) {}

    reference operator*() const {
        budget_->Spend();
        return *p_;
    }
    pointer operator->() const { return p_; }
    reference operator[](difference_type n) const { return *(*this + n); }

    BudgetedIterator& operator++() {
        budget_->Spend();
        ++p_;
        return *this;
    }
    BudgetedIterator operator++(int) {
        BudgetedIterator old = *this;
        ++*this;
        return old;
    }
    BudgetedIterator& operator--() {
        budget_->Spend();
        --p_;
        return *this;
    }
    BudgetedIterator operator--(int) {
        BudgetedIterator old = *this;
        --*this;
        return old;
    }
    BudgetedIterator& operator+=(difference_type n) {
        p_ += n;
        return *this;
    }
    BudgetedIterator& operator-=(difference_type n) {
        p_ -= n;
        return *this;
    }
    friend BudgetedIterator operator+(BudgetedIterator i, difference_type n) { return i += n; }
    friend BudgetedIterator operator+(difference_type n, BudgetedIterator i) { return i += n; }
    friend BudgetedIterator operator-(BudgetedIterator i, difference_type n) { return i -= n; }
    friend difference_type operator-(const BudgetedIterator& a, const BudgetedIterator& b) {
        return a.p_ - b.p_;
    }
    friend bool operator==(const BudgetedIterator& a, const BudgetedIterator& b) {
        return a.p_ == b.p_;
    }
    friend auto operator<=>(const BudgetedIterator& a, const BudgetedIterator& b) {
        return a.p_ <=> b.p_;
    }

    const char* get() const { return p_; }

private:
    const char* p_ = nullptr;
    SearchBudget* budget_ = nullptr;
};
