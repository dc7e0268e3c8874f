// Search, plain and regular, forwards and backwards, from any caret, over a
// fuzzed log: every hit lies inside its line's visible text, and every
// search ends (a budget stops runaway expressions).
//
// Input: one byte of options, two of caret, the search text up to the first
// LF (at most 64 bytes), then the log.
#include "FuzzLines.h"
#include "FuzzLog.h"
#include "LogSearch.h"

#include <algorithm>

namespace {

class NoMessages final : public MessageSink {
public:
    void Show(const Message&) override {}
};

void CheckHit(FuzzLines& lines, const std::optional<SearchHit>& hit) {
    if (!hit) {
        return;
    }
    FUZZ_CHECK(hit->line >= 0 && hit->line < lines.lineCount());
    const LineView line = lines.Line(hit->line);
    FUZZ_CHECK(hit->firstColumn >= 0 && hit->firstColumn <= line.visibleLength);
    FUZZ_CHECK(hit->lastColumn >= hit->firstColumn - 1 && hit->lastColumn < line.visibleLength);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const std::uint8_t options = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
    const std::size_t lf = std::min(rest.find('\n'), std::min<std::size_t>(rest.size(), 64));
    const std::string_view text = rest.substr(0, lf);
    FuzzLines lines(std::string(rest.substr(std::min(rest.size(), lf + 1))));
    const TextPosition caret{static_cast<int>(data[1] % 8) - 1, static_cast<int>(data[2]) - 8};
    const SearchOptions searchOptions{(options & 1) != 0, (options & 2) != 0, (options & 4) != 0};

    LogSearch search;
    NoMessages messages;
    auto hit = search.Find(lines, text, searchOptions, caret, messages);
    CheckHit(lines, hit);
    // A few Find next steps, as the user or quarvelctl search --all take.
    for (int step = 0; step < 4 && hit; ++step) {
        const auto next =
            search.FindNext(lines, {hit->line, hit->firstColumn, hit->line, hit->lastColumn},
                            {hit->line, hit->firstColumn}, messages);
        CheckHit(lines, next.hit);
        hit = next.hit;
    }
    return 0;
}
