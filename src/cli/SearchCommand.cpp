// quarvelctl search: Find from a caret, and with --all Find next until the
// search runs dry, printing each hit and the messages the window would show.
// Exit 0 with a hit, 1 without, 2 when the expression is bad or the search
// was stopped before it knew (its budget of work ran out).
#include "Arguments.h"
#include "Commands.h"
#include "LogLoading.h"
#include "LogSearch.h"
#include "ModelLines.h"
#include "PositionArgument.h"

#include <cstdio>

namespace {

constexpr char kSearchUsage[] =
    "usage: quarvelctl search LOG --text T [--regex] [--case] [--backwards] [--caret L:C] [--all]";

// Every message the window would show becomes a line of output.
class PrintedMessages final : public MessageSink {
public:
    void Show(const Message& message) override { std::printf("%s\n", message.text.c_str()); }
};

void PrintHit(const SearchHit& hit) {
    std::printf("%d %d %d\n", hit.line, hit.firstColumn, hit.lastColumn);
}

} // namespace

int RunSearch(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "search", error);
    if (!args || args->positional().size() != 1 || !args->Value("text")) {
        PrintError(args ? kSearchUsage : error);
        return 2;
    }
    TextPosition caret;
    if (const auto given = args->Value("caret")) {
        const auto parsed = ParsePosition(*given);
        if (!parsed) {
            PrintError("--caret needs LINE:COLUMN, not \"" + *given + "\"");
            return 2;
        }
        caret = *parsed;
    }
    LogModel model;
    if (!LoadClassifiedLogForCommand(model, args->positional().front())) {
        return 2;
    }

    ModelLines lines(model);
    LogSearch search;
    PrintedMessages messages;
    const SearchOptions options{args->Flag("case"), args->Flag("regex"), args->Flag("backwards")};
    auto hit = search.Find(lines, *args->Value("text"), options, caret, messages);
    if (!search.usable()) {
        return 2; // the expression did not compile
    }
    // Stopped by its budget: whether the log holds a hit is not known.
    if (search.stop() != SearchStop::None) {
        return 2;
    }
    if (!hit) {
        return 1;
    }
    PrintHit(*hit);
    if (args->Flag("all")) {
        for (;;) {
            // As the view does after SelectRange: the hit is the selection
            // and the caret sits on its first character.
            const SelectionBounds selection{hit->line, hit->firstColumn, hit->line,
                                            hit->lastColumn};
            const auto next =
                search.FindNext(lines, selection, {hit->line, hit->firstColumn}, messages);
            // An empty match is found again and again; the window would stay
            // on it.
            if (search.stop() != SearchStop::None) {
                return 2;
            }
            if (!next.hit || *next.hit == *hit) {
                break;
            }
            hit = next.hit;
            PrintHit(*hit);
        }
    }
    return 0;
}
