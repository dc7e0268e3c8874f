#pragma once

#include "LineSource.h"
#include "LogModel.h"

// The lines of an open log, for the search and the copy.
class ModelLines final : public LineSource {
public:
    explicit ModelLines(LogModel& model) : model_(model) {}
    int lineCount() const override { return model_.lineCount(); }
    const LogLine& Line(int i) override { return model_.Line(i); }

private:
    LogModel& model_;
};
