#pragma once

#include "LineSource.h"
#include "LogModel.h"

// The lines of an open log, for the search and the copy.
class ModelLines final : public LineSource {
public:
    explicit ModelLines(const LogModel& model) : model_(model) {}
    int lineCount() const override { return model_.lineCount(); }
    LineView Line(int i) const override { return model_.Line(i); }
    std::string_view Text(int i) const override { return model_.LineText(i); }
    std::string_view WholeText(int i) const override { return model_.WholeLineText(i); }
    int VisibleLength(int i) const override { return model_.VisibleLength(i); }

private:
    const LogModel& model_;
};
