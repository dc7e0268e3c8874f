#pragma once

#include "FileMapping.h"
#include "LineStore.h"

#include <cstdint>
#include <string>

// Everything one open log needs: the mapped file and its line records.
// Each document owns exactly one.
class LogModel {
public:
    LogModel() = default;
    ~LogModel();
    LogModel(const LogModel&) = delete;
    LogModel& operator=(const LogModel&) = delete;

    // Maps and splits the file. True when the load status ends at 0; a file
    // that cannot be opened or mapped leaves no lines and says why in
    // loadStatus().
    bool Load(const std::string& path);
    // Releases the mapping; the line pages stay for a later load.
    void Close();

    LogLine& Line(int i) { return lines_.Line(i); }
    const LineStore& lineStore() const { return lines_; }

    // 1 before any load; 0 loaded; -1 open failed; -2 mapping failed (an
    // empty file among others); -3 view failed.
    int loadStatus() const { return loadStatus_; }
    std::int64_t fileSize() const { return fileSize_; }
    int lineCount() const { return lineCount_; }

private:
    LineStore lines_;
    FileMapping file_;
    int loadStatus_ = 1;
    std::int64_t fileSize_ = 0;
    int lineCount_ = 0;
};
