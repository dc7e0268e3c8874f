// The index against Boost.Regex on random expressions over random logs whose
// lines hide colour codes in some stretches and not in others (names by team,
// chat, plain text), with doubled and trailing carets, CRs inside lines and
// before line ends: every engine path (the scanning engine's exact and
// tolerant patterns, Boost.Regex on visible text, the whole-file reach) must
// take exactly the lines a regex_search of each line's visible text takes.
#include "MatchIndex.h"
#include "MatchIndexReference.h"
#include "TempFile.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>

namespace {

class RandomLog {
public:
    explicit RandomLog(std::uint32_t seed) : random_(seed) {}

    std::string Make(int lines) {
        std::string log;
        // Slots with names of every kind of team, so chat names resolve.
        for (int slot = 0; slot < 6; ++slot) {
            log += "  12:00 ClientConnect: " + std::to_string(slot) + " - 1.2.3." +
                   std::to_string(slot) + ":20000 [" + std::string(31, 'A') +
                   static_cast<char>('0' + slot) + "]\n";
            log += UserInfo(slot);
        }
        for (int i = 0; i < lines; ++i) {
            log += Line();
        }
        return log;
    }

private:
    int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

    // Bytes that make the engines disagree if anything does: carets and
    // codes, letters of both cases, blanks, digits, punctuation, a CR, a tab,
    // a form feed, a NUL, a high byte.
    std::string Text(int most) {
        static const std::string kBytes[] = {"a",
                                             "b",
                                             "B",
                                             "o",
                                             "^",
                                             "^1",
                                             "^^",
                                             " ",
                                             ":",
                                             "1",
                                             "\\",
                                             ".",
                                             "\r",
                                             "\xe9",
                                             "ab",
                                             "\t",
                                             "\f",
                                             "Bob",
                                             std::string(1, '\0')};
        std::string text;
        const int n = Below(most + 1);
        for (int i = 0; i < n; ++i) {
            text += kBytes[Below(static_cast<int>(std::size(kBytes)))];
        }
        return text;
    }
    std::string Name() {
        static const std::string kNames[] = {"Bob", "^1Bob", "B^7ob", "a^^b", "Al^", "^^^1o"};
        return kNames[Below(static_cast<int>(std::size(kNames)))];
    }
    std::string UserInfo(int slot) {
        static const int kTeams[] = {0, 1, 2, 3, 5, 8};
        return "  12:01 ClientUserinfoChanged: " + std::to_string(slot) + " n\\" + Name() +
               "\\t\\" + std::to_string(kTeams[Below(6)]) + "\\model\\x\n";
    }
    std::string Line() {
        std::string line;
        switch (Below(8)) {
        case 0:
            return UserInfo(Below(6));
        case 1:
            line = "  12:02 Kill: " + std::to_string(Below(7)) + " " + std::to_string(Below(7)) +
                   " 3: " + Name() + " killed " + Name() + " by " + Text(3);
            break;
        case 2:
            line = "  12:03 say: " + Name() + ": " + Text(8);
            break;
        case 3:
            line = "  12:04 tell: " + Name() + " to " + Name() + ": " + Text(6);
            break;
        case 4:
            line = "  12:05 admtell: " + Name() + " to " + Name() + ": " + Text(6);
            break;
        case 5:
            line = "  12:06 sayteam: " + Name() + ": " + Text(6);
            break;
        default:
            line = "  12:07 " + Text(12);
            break;
        }
        return line + (Below(5) == 0 ? "\r\n" : "\n");
    }

    std::mt19937 random_;
};

// Expressions of every kind, or (caretFree) only those whose form leaves the
// tolerant pattern to Boost.Regex: alternatives of sequences of pieces none
// of which takes a caret, no groups.
class RandomExpression {
public:
    explicit RandomExpression(std::uint32_t seed, bool caretFree = false)
        : random_(seed), caretFree_(caretFree) {}

    std::string Make() { return Alternatives(2); }

private:
    int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }

    std::string Alternatives(int depth) {
        std::string e = Sequence(depth);
        while (Below(5) == 0) {
            e += "|" + Sequence(depth);
        }
        return e;
    }
    std::string Sequence(int depth) {
        std::string e;
        const int n = 1 + Below(4);
        for (int i = 0; i < n; ++i) {
            e += Piece(depth);
        }
        return e;
    }
    std::string Piece(int depth) {
        static const char* const kCaretFreeAtoms[] = {
            "a",   "b",   "B",    "o",     "1",    " ",   ":",  "\\\\", "\\.", "\\d",
            "\\w", "\\s", "[ab]", "[a-c]", "[1:]", "Bob", "ob", "\\t",  "\xe9"};
        if (caretFree_) {
            static const char* const kRepeats[] = {"",  "",  "",      "",    "*",
                                                   "+", "?", "{1,2}", "{2}", "{0,3}"};
            return std::string(
                       kCaretFreeAtoms[Below(static_cast<int>(std::size(kCaretFreeAtoms)))]) +
                   kRepeats[Below(static_cast<int>(std::size(kRepeats)))];
        }
        static const char* const kAtoms[] = {
            "a",     "b",      "B",      "o",   "\\^", "1",   " ",   ":",    "\\\\",
            "\\.",   ".",      "\\d",    "\\w", "\\s", "\\W", "\\S", "[ab]", "[^a]",
            "[a-c]", "[\\^1]", "[^\\^]", "Bob", "\\t", "^",   "$",   "\\b",  "\xe9"};
        std::string atom =
            depth > 0 && Below(6) == 0
                ? "(" + std::string(Below(3) == 0 ? "?:" : "") + Alternatives(depth - 1) + ")"
                : kAtoms[Below(static_cast<int>(std::size(kAtoms)))];
        static const char* const kRepeats[] = {"", "", "", "*", "+", "?", "{1,2}", "*?", "{2}"};
        return atom + kRepeats[Below(static_cast<int>(std::size(kRepeats)))];
    }

    std::mt19937 random_;
    bool caretFree_;
};

// Compares the index, on classified lines and over the whole file, with the
// reference for texts `next` makes; the number of texts compared (those the
// reference could run).
template <typename NextText> int CompareOnRandomLogs(std::uint32_t seed, int texts, NextText next) {
    RandomLog logs(seed);
    std::mt19937 random(seed + 1);
    int compared = 0;
    for (int round = 0; round < 3; ++round) {
        const TempFile file(logs.Make(120));
        LogModel model;
        model.Load(file.path());
        model.WalkAll(WalkMode::Classify);
        for (int n = 0; n < texts; ++n) {
            LineFilter filter;
            filter.text = next(random);
            const std::string& text = filter.text->text;
            std::set<int> expected;
            try {
                expected = reference::Hits(model, filter);
            } catch (const std::runtime_error&) {
                continue; // malformed, or beyond the engine's own limits
            }
            MatchIndex index(filter);
            index.ScanAll(model);
            EXPECT_EQ(index.stop(), IndexStop::None) << text;
            EXPECT_EQ(Members(index.hits()), expected) << "\"" << text << "\"";

            LogModel unclassified;
            unclassified.Load(file.path(), 64);
            MatchIndex counting(filter, IndexReach::WholeFile);
            counting.ScanAll(unclassified);
            while (counting.stop() == IndexStop::NeedsClassification) {
                unclassified.SplitAndClassifyRest();
                counting.ScanAll(unclassified);
            }
            EXPECT_EQ(Members(counting.hits()), expected) << "\"" << text << "\" (whole file)";
            ++compared;
        }
    }
    return compared;
}

TEST(MatchIndexDifferentialTest, EveryPathTakesWhatBoostRegexTakes) {
    RandomExpression expressions(12);
    const int compared = CompareOnRandomLogs(11, 30, [&expressions](std::mt19937& random) {
        const bool regExp = random() % 4 != 0;
        std::string text = regExp ? expressions.Make() : std::string("Bob");
        if (!regExp) {
            static const char* const kLiterals[] = {
                "Bob", "^", "^1", "o^", "b:", "B", "\r", "a.b", "^^", " to "};
            text = kLiterals[random() % std::size(kLiterals)];
        }
        return TextCriterion{text, regExp, random() % 2 == 0};
    });
    EXPECT_GT(compared, 60);
}

// Literals and caret-free expressions, which the engine scans for exactly
// and for a start followed by a caret, leaving the tolerant form to
// Boost.Regex on the lines it finds: names whose codes split the text
// ("B^7ob", "^1Bob"), doubled and trailing carets, CRs, a text at a line's
// end.
TEST(MatchIndexDifferentialTest, ScansForStartsThenCaretTakeWhatBoostRegexTakes) {
    RandomExpression expressions(22, true);
    const int compared = CompareOnRandomLogs(21, 40, [&expressions](std::mt19937& random) {
        if (random() % 3 == 0) {
            static const char* const kLiterals[] = {"Bob", "ob",       "bo",   "Bob:", "o",
                                                    "a b", "killed B", "ab\\", "b\r",  "1a",
                                                    "Al",  ": Bo",     "BOB"};
            return TextCriterion{kLiterals[random() % std::size(kLiterals)], false,
                                 random() % 2 == 0};
        }
        return TextCriterion{expressions.Make(), true, random() % 2 == 0};
    });
    EXPECT_GT(compared, 100);
}

} // namespace
