// The match index's text filter against Boost.Regex, the reference: over a
// fuzzed log, the lines the index takes (through the scanning engine, the
// quick looks and Boost.Regex on visible text alike, and again with the
// whole-file reach quarvelctl counts with) are exactly those whose visible
// text a plain regex_search finds a match in.
//
// Input: one byte of options (bit 0 regular expression, bit 1 case), the
// text up to the first LF (at most 48 bytes), then the log.
#include "ColourCodes.h"
#include "FuzzLog.h"
#include "MatchIndex.h"

#include <algorithm>
#include <boost/regex.hpp>

namespace {

// A plain reading of the rule, or nothing when Boost.Regex cannot say
// (malformed, or beyond its own limits).
std::optional<std::vector<int>> ReferenceHits(const LogModel& model, const TextCriterion& text) {
    try {
        boost::regex::flag_type flags = text.regExp ? boost::regex::normal : boost::regex::literal;
        if (!text.caseSensitive) {
            flags |= boost::regex::icase;
        }
        const boost::regex expression(text.text, flags);
        std::vector<int> hits;
        std::string buffer;
        for (int i = 0; i < model.lineCount(); ++i) {
            const std::string visible(LineVisibleText(model.Line(i), buffer));
            if (boost::regex_search(visible, expression)) {
                hits.push_back(i);
            }
        }
        return hits;
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

std::vector<int> Lines(const LineSet& set) {
    std::vector<int> lines;
    set.ForEachFrom(0, [&lines](int line) {
        lines.push_back(line);
        return true;
    });
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzLogFile file;
    if (size < 1) {
        return 0;
    }
    const std::uint8_t options = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t lf = std::min(rest.find('\n'), std::min<std::size_t>(rest.size(), 48));
    LineFilter filter;
    filter.text =
        TextCriterion{std::string(rest.substr(0, lf)), (options & 1) != 0, (options & 2) != 0};
    const std::string_view log = rest.substr(std::min(rest.size(), lf + 1));

    LogModel model;
    file.LoadAndWalk(model, reinterpret_cast<const std::uint8_t*>(log.data()), log.size());
    std::optional<MatchIndex> index;
    try {
        index.emplace(filter);
    } catch (const boost::regex_error&) {
        return 0; // refused, as the search refuses it
    }
    index->ScanAll(model);
    if (index->stop() != IndexStop::None) {
        return 0; // the budget stopped a runaway expression
    }
    FUZZ_CHECK(index->scannedLines() == model.lineCount());
    const auto expected = ReferenceHits(model, *filter.text);
    if (!expected) {
        return 0;
    }
    FUZZ_CHECK(Lines(index->hits()) == *expected);

    LogModel counted;
    file.LoadFirstPart(counted, 16);
    MatchIndex counting(filter, IndexReach::WholeFile);
    counting.ScanAll(counted);
    while (counting.stop() == IndexStop::NeedsClassification) {
        counted.SplitAndClassifyRest();
        counting.ScanAll(counted);
    }
    if (counting.stop() == IndexStop::None) {
        FUZZ_CHECK(Lines(counting.hits()) == *expected);
    }
    return 0;
}
