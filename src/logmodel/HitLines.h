#pragma once

#include "LineSet.h"
#include "LineSource.h"
#include "LogModel.h"

#include <algorithm>
#include <cstdint>

// The lines of a log that a set holds (a match index's hits), in the log's
// order, as a source of their own: line i is the set's i-th line. Without a
// set it has no lines. The set may grow at its end while it is shown; the
// widget showing it takes the new lines in when it is told.
//
// Unlike a log's own lines, these do not lie one after another in memory, so
// the log's byte search cannot run over them.
class HitLines final : public LineSource {
public:
    explicit HitLines(const LogModel& model) : model_(model) {}

    void SetHits(const LineSet* hits) {
        hits_ = hits;
        place_ = {};
    }
    const LineSet* hits() const { return hits_; }

    int lineCount() const override { return hits_ != nullptr ? hits_->Count() : 0; }
    LineView Line(int i) const override { return model_.Line(LogLineIndex(i)); }
    std::string_view Text(int i) const override { return model_.LineText(LogLineIndex(i)); }
    std::string_view WholeText(int i) const override {
        return model_.WholeLineText(LogLineIndex(i));
    }
    int VisibleLength(int i) const override { return model_.VisibleLength(LogLineIndex(i)); }
    // The set's lines in one walk: finding its i-th line anew for each i
    // costs a pass over the set's blocks each, which a list growing by a
    // million hits a second cannot pay.
    int WidestVisible(int first, int end, int widest) const override {
        if (hits_ == nullptr || first >= end) {
            return widest;
        }
        int left = end - first;
        hits_->ForEachFrom(hits_->Nth(first).value_or(0), [&](int line) {
            if (static_cast<int>(model_.LineText(line).size()) > widest) {
                widest = std::max(widest, model_.VisibleLength(line));
            }
            return --left > 0;
        });
        return widest;
    }
    bool contiguous() const override { return false; }
    // Lines are mostly asked for in order (a copy, a screen being drawn):
    // the one after the last asked for is the set's next line from there,
    // found at once, where the i-th line found anew costs a pass over the
    // set's blocks. The place is good while the set does not change.
    int LogLineIndex(int i) const override {
        if (hits_ == nullptr) {
            return 0;
        }
        if (place_.index >= 0 && place_.changes == hits_->changes()) {
            if (i == place_.index) {
                return place_.line;
            }
            if (i == place_.index + 1) {
                if (const auto next = hits_->NextFrom(place_.line + 1)) {
                    place_ = {i, *next, place_.changes};
                    return *next;
                }
            }
        }
        const auto line = hits_->Nth(i);
        if (!line) {
            return 0;
        }
        place_ = {i, *line, hits_->changes()};
        return *line;
    }

private:
    // The last line asked for: its index in the list, its line in the log,
    // and the set's changes() then.
    struct Place {
        int index = -1;
        int line = 0;
        std::uint64_t changes = 0;
    };

    const LogModel& model_;
    const LineSet* hits_ = nullptr;
    mutable Place place_;
};
