#include "ColourCodes.h"

#include "CaretCodes.h"
#include "LineRuns.h"
#include "VisibleText.h"

#include <algorithm>

namespace {

constexpr std::uint32_t Field12(int value) {
    return static_cast<std::uint32_t>(std::clamp(value, 0, kSegmentFieldMax));
}

} // namespace

bool IsColourCodedKind(LineKind kind) {
    return TraitsOf(kind).codesMeasured;
}

int CountVisibleCharacters(const char* text, int length) {
    int shown = 0;
    ForEachCaretToken(std::string_view(text, static_cast<std::size_t>(std::max(length, 0))),
                      [&shown](const CaretPiece& piece) {
                          if (piece.token == CaretToken::Character) {
                              shown += static_cast<int>(piece.bytes.size());
                          } else if (piece.token == CaretToken::DoubledCaret) {
                              ++shown; // two carets show one
                          }
                          return true;
                      });
    return shown;
}

void SetSegment(LineSegment& segment, int start, int length, LineKind kind, const char* text) {
    const std::uint32_t clampedLength = Field12(length);
    segment.word0 =
        Field12(start) << 20 | clampedLength << 8 | static_cast<std::uint32_t>(KindNumber(kind));
    std::uint32_t shown = clampedLength;
    if (text != nullptr && IsColourCodedKind(kind)) {
        shown = static_cast<std::uint32_t>(
            CountVisibleCharacters(text, static_cast<int>(clampedLength)));
    }
    segment.word1 = shown << 8;
    segment.player = nullptr;
}

int ComputeVisiblePositions(LineSegments& segments, int byteLength) {
    int hidden = 0;
    for (LineSegment& segment : segments) {
        if (segment.kind() == LineKind::EndMark) {
            break;
        }
        // A start is never below the code bytes hidden before it, since
        // segments are in order and each hides at most its own bytes.
        const int visibleStart = segment.start() - hidden;
        segment.word1 = (segment.word1 & 0x000FFF00u) | Field12(visibleStart) << 20;
        hidden += segment.length() - segment.visibleLength();
    }
    return byteLength - hidden;
}

int LayPlainLine(LineSegments& segments, int byteLength) {
    SetSegment(segments[0], 0, byteLength, LineKind::Text, nullptr);
    segments[1].SetEndMark();
    return ComputeVisiblePositions(segments, byteLength);
}

int ColumnToByteOffset(const LineView& line, int column) {
    const int end = line.byteLength;
    if (column >= line.visibleLength) {
        return end;
    }
    if (column < 1) {
        return 0;
    }
    const std::string_view text = line.Text();
    int shown = 0;
    for (const LineRun& run : LineRuns(line)) {
        if (!IsCaretColouredRun(run)) {
            // Every byte of the stretch is a column.
            if (shown + run.length >= column) {
                return run.start + (column - shown);
            }
            shown += run.length;
            continue;
        }
        const std::string_view bytes =
            text.substr(static_cast<std::size_t>(run.start), static_cast<std::size_t>(run.length));
        int found = -1;
        ForEachCaretToken(bytes, [&](const CaretPiece& piece) {
            if (piece.token == CaretToken::Character) {
                const int size = static_cast<int>(piece.bytes.size());
                if (shown + size >= column) {
                    found = static_cast<int>(piece.at) + (column - shown);
                    return false;
                }
                shown += size;
            } else if (piece.token == CaretToken::DoubledCaret && ++shown >= column) {
                found = static_cast<int>(piece.end());
                return false;
            }
            return true;
        });
        if (found >= 0) {
            return run.start + found;
        }
    }
    return end;
}

std::string_view LineVisibleText(const LineView& line, std::string& buffer) {
    const std::string_view text = line.Text();
    if (text.find(kCaret) == std::string_view::npos) {
        return text;
    }
    // Only carets in the caret-coloured stretches are codes. A line whose
    // carets all stand elsewhere (every line too long to hold an event,
    // however long) is its own visible text and is never copied.
    const LineRuns runs(line);
    const auto hidesCodes = [&text](const LineRun& run) {
        return IsCaretColouredRun(run) && text.substr(static_cast<std::size_t>(run.start),
                                                      static_cast<std::size_t>(run.length))
                                                  .find(kCaret) != std::string_view::npos;
    };
    if (std::none_of(runs.begin(), runs.end(), hidesCodes)) {
        return text;
    }
    buffer.clear();
    for (const LineRun& run : runs) {
        const std::string_view bytes =
            text.substr(static_cast<std::size_t>(run.start), static_cast<std::size_t>(run.length));
        if (IsCaretColouredRun(run)) {
            AppendVisibleText(bytes, buffer);
        } else {
            buffer.append(bytes);
        }
    }
    return buffer;
}
