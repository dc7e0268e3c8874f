// The search with all its quick looks against a plain reading of the rules:
// every line's visible text, one regex_search per range, no shortcuts.
#include "HandLog.h"
#include "LogSearch.h"
#include "MessageRecorder.h"

#include <boost/regex.hpp>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

// The kinds a random line's stretches get: chat texts and names that hide
// their codes, and plain text and team names that show their carets.
constexpr LineKind kStretchKinds[] = {LineKind::Say,  LineKind::Team0Name, LineKind::AdminChatName,
                                      LineKind::Text, LineKind::Team1Name, LineKind::SlotNumber};

bool HidesCodes(LineKind kind) {
    return kind == LineKind::Say || kind == LineKind::Team0Name || kind == LineKind::AdminChatName;
}

// Byte by byte: inside a stretch that hides codes, a caret and the byte after
// it vanish (two carets leave one, a caret ending the stretch vanishes);
// everywhere else every byte shows.
std::string VisibleText(const LineView& line) {
    const std::string_view raw = line.Text();
    std::vector<int> stretchEnd(raw.size(), -1); // end of the hiding stretch a byte is in
    for (const LineSegment& segment : line.segments) {
        if (segment.kind() == LineKind::EndMark) {
            break;
        }
        if (HidesCodes(segment.kind())) {
            for (int b = segment.start(); b < segment.start() + segment.length(); ++b) {
                stretchEnd[static_cast<std::size_t>(b)] = segment.start() + segment.length();
            }
        }
    }
    std::string out;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const int end = stretchEnd[i];
        if (end < 0 || raw[i] != '^') {
            out += raw[i];
        } else if (static_cast<int>(i) + 1 < end) {
            if (raw[i + 1] == '^') {
                out += '^';
            }
            ++i;
        }
    }
    return out;
}

// Lays up to three stretches of random kinds over each line, with gaps of
// plain text between them.
void LayRandomStretches(HandLog& log, std::mt19937& random) {
    for (int n = 0; n < log.lineCount(); ++n) {
        const int length = static_cast<int>(log.Text(n).size());
        std::vector<HandLog::Segment> segments;
        int at = 0;
        for (int s = 0; s < 3 && at < length; ++s) {
            const int start = at + static_cast<int>(random() % 3);
            const int size = static_cast<int>(random() % 12);
            if (start >= length) {
                break;
            }
            const int clipped = std::min(size, length - start);
            segments.push_back(
                {start, clipped, KindNumber(kStretchKinds[random() % std::size(kStretchKinds)])});
            at = start + clipped;
        }
        log.Lay(n, segments);
    }
}

std::optional<std::pair<int, int>> Search(const std::string& text, int from, int to,
                                          const boost::regex& re) {
    boost::cmatch match;
    if (!boost::regex_search(text.data() + from, text.data() + to, match, re)) {
        return std::nullopt;
    }
    return std::pair{static_cast<int>(match[0].first - text.data()),
                     static_cast<int>(match[0].second - text.data())};
}

std::optional<SearchHit> Reference(HandLog& log, const boost::regex& re, bool backwards,
                                   TextPosition caret) {
    const int count = log.lineCount();
    if (!backwards) {
        int k = caret.column;
        for (int n = caret.line; n < count; ++n, k = 0) {
            const std::string text = VisibleText(log.Line(n));
            const int m = static_cast<int>(text.size());
            if (k > m) {
                continue;
            }
            if (const auto hit = Search(text, k, m, re)) {
                return SearchHit{n, hit->first, hit->second - 1};
            }
        }
        return std::nullopt;
    }
    for (int n = caret.line; n >= 0; --n) {
        if (n == caret.line && caret.column == 0) {
            continue;
        }
        const std::string text = VisibleText(log.Line(n));
        int limit = static_cast<int>(text.size());
        if (n == caret.line && caret.column < limit) {
            limit = caret.column;
        }
        std::optional<std::pair<int, int>> last;
        for (int start = 0; start <= limit;) {
            const auto hit = Search(text, start, limit, re);
            if (!hit) {
                break;
            }
            last = hit;
            start = hit->first + 1;
        }
        if (last) {
            return SearchHit{n, last->first, last->second - 1};
        }
    }
    return std::nullopt;
}

std::string RandomLog(std::mt19937& random) {
    // Mostly letters of both cases, with carets, digits and some high bytes;
    // CR LF and empty lines now and then.
    const std::string alphabet = "aabbcQqxX ^^^19.\xe9\xc9";
    std::string log;
    const int lines = 1 + static_cast<int>(random() % 40);
    for (int l = 0; l < lines; ++l) {
        const int length = static_cast<int>(random() % 30);
        for (int i = 0; i < length; ++i) {
            log += alphabet[random() % alphabet.size()];
        }
        log += random() % 4 == 0 ? "\r\n" : "\n";
    }
    return log;
}

std::string RandomQuery(std::mt19937& random, bool regExp) {
    if (!regExp) {
        const std::string letters = "abQqx^1 .";
        std::string text;
        const int length = 1 + static_cast<int>(random() % 3);
        for (int i = 0; i < length; ++i) {
            text += letters[random() % letters.size()];
        }
        return text;
    }
    const std::string atoms[] = {"a",  "b",  "Q",     "q",      "x",   "\\^", ".",
                                 "b+", "a*", "(a|x)", "[bq]",   "^",   "$",   "\\d",
                                 "ab", "Qq", "x?",    "(?:ab)", "\\.", "\\b", "\xe9"};
    std::string text;
    const int count = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < count; ++i) {
        text += atoms[random() % std::size(atoms)];
    }
    return text;
}

TEST(SearchAgainstReference, SameHitsEverywhere) {
    std::mt19937 random(20240607);
    int hits = 0;
    for (int round = 0; round < 1500; ++round) {
        HandLog log(RandomLog(random));
        LayRandomStretches(log, random);
        const bool regExp = random() % 2 == 0;
        const bool caseSensitive = random() % 2 == 0;
        const bool backwards = random() % 2 == 0;
        const std::string text = RandomQuery(random, regExp);
        const int line = static_cast<int>(random() % static_cast<unsigned>(log.lineCount()));
        const TextPosition caret{line, static_cast<int>(random() % 12)};

        boost::regex::flag_type flags = regExp ? boost::regex::normal : boost::regex::literal;
        if (!caseSensitive) {
            flags |= boost::regex::icase;
        }
        const boost::regex re(text, flags);
        const auto expected = Reference(log, re, backwards, caret);

        LogSearch search;
        MessageRecorder messages;
        const auto found =
            search.Find(log, text, {caseSensitive, regExp, backwards}, caret, messages);
        ASSERT_EQ(found, expected)
            << "text \"" << text << "\" regex " << regExp << " case " << caseSensitive
            << " backwards " << backwards << " caret " << caret.line << ":" << caret.column;
        hits += found ? 1 : 0;
    }
    EXPECT_GT(hits, 300);
}

} // namespace
