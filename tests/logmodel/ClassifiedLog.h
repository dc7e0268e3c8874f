#pragma once

#include "LogModel.h"
#include "TempFile.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Helpers for tests that classify small logs.

// Every log line starts with an 8-byte prefix the recogniser never reads.
inline constexpr std::string_view kLinePrefix = "  12:34 ";

inline std::string EventLine(std::string_view event) {
    return std::string(kLinePrefix) + std::string(event);
}

inline constexpr std::string_view kGuidA = "0123456789ABCDEF0123456789ABCDEF";
inline constexpr std::string_view kGuidB = "FEDCBA9876543210FEDCBA9876543210";

// A segment as its kind and the bytes it covers.
struct SegmentText {
    int kind;
    std::string text;
    bool operator==(const SegmentText&) const = default;
};

inline void PrintTo(const SegmentText& s, std::ostream* os) {
    *os << "{" << s.kind << ", \"" << s.text << "\"}";
}

inline std::vector<SegmentText> SegmentTexts(const LineView& line) {
    std::vector<SegmentText> result;
    for (const LineSegment& segment : line.segments) {
        if (segment.kind() == LineKind::EndMark) {
            break;
        }
        result.push_back(
            {KindNumber(segment.kind()),
             std::string(line.text + segment.start(), static_cast<std::size_t>(segment.length()))});
    }
    return result;
}

inline int SegmentCount(const LineView& line) {
    int n = 0;
    while (n < kSegmentsPerLine &&
           line.segments[static_cast<std::size_t>(n)].kind() != LineKind::EndMark) {
        ++n;
    }
    return n;
}

// A log file of the given lines, loaded into a model.
class ClassifiedLog {
public:
    explicit ClassifiedLog(const std::vector<std::string>& lines) : file_(Join(lines)) {
        model.Load(file_.path());
    }

    // One classification walk over every line, as a view runs it.
    void Walk() { model.WalkAll(WalkMode::Classify); }

    LineView Line(int i) const { return model.Line(i); }
    LineView Last() const { return model.Line(model.lineCount() - 1); }

    LogModel model;

private:
    static std::string Join(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines) {
            bytes += line;
            bytes += '\n';
        }
        return bytes;
    }

    TempFile file_;
};
