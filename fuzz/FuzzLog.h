#pragma once

#include "FuzzCheck.h"
#include "LogModel.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

// Fuzzed bytes as a log file: one anonymous in-memory file per process,
// rewritten for every input and loaded through the model's own path.
class FuzzLogFile {
public:
    FuzzLogFile() : fd_(memfd_create("quarvel-fuzz-log", 0)) {
        if (fd_ < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }

    // Loads `data` into `model` (a fresh one) and walks it once.
    void LoadAndWalk(LogModel& model, const std::uint8_t* data, std::size_t size) {
        if (ftruncate(fd_, 0) != 0 ||
            (size > 0 && pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size))) {
            std::abort();
        }
        model.Load(path_);
        model.WalkAll(WalkMode::Classify);
    }

    // Loads what LoadAndWalk last wrote, a part of `part` bytes at a time,
    // classifying as it goes, as a window loads a large log.
    void LoadInParts(LogModel& model, std::int64_t part) const {
        model.Load(path_, part);
        while (model.SplitMore(part)) {
            model.ClassifyUpTo(model.lineCount());
        }
        model.ClassifyUpTo(model.lineCount());
    }

    // Loads what LoadAndWalk last wrote, splitting only its first `part`
    // bytes and classifying nothing.
    void LoadFirstPart(LogModel& model, std::int64_t part) const { model.Load(path_, part); }

private:
    int fd_;
    std::string path_;
};
