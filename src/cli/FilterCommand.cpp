// quarvelctl filter: the lines of a log that match a filter, from the match
// index the filtered pane uses. Exit 0 when a line matches, 1 when none
// does, 2 when the command line, the log or the expression is wrong or the
// expression takes too much work.
#include "Arguments.h"
#include "Commands.h"
#include "LineJson.h"
#include "LogLoading.h"
#include "LogModel.h"
#include "MatchIndex.h"
#include "TextEscapes.h"

#include <boost/regex.hpp>
#include <cstdio>
#include <sstream>

namespace {

constexpr char kFilterUsage[] =
    "usage: quarvelctl filter LOG [--text T [--regex] [--case]] [--kind KIND]... "
    "[--player GUID] [--not] [--count] [--json]";

std::optional<LineEvent> EventNamed(const std::string& name) {
    if (name == "chat") {
        return LineEvent::Chat;
    }
    if (name == "kill") {
        return LineEvent::Kill;
    }
    if (name == "connect") {
        return LineEvent::Connect;
    }
    if (name == "rename") {
        return LineEvent::Rename;
    }
    return std::nullopt;
}

bool IsGuid(const std::string& text) {
    return text.size() == 32 &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

// The filter the options describe; nothing (with the error printed) when
// they are wrong.
std::optional<LineFilter> FilterOf(const Arguments& args) {
    LineFilter filter;
    if (const auto text = args.Value("text")) {
        filter.text = TextCriterion{*text, args.Flag("regex"), args.Flag("case")};
    } else if (args.Flag("regex") || args.Flag("case")) {
        PrintError("--regex and --case need --text");
        return std::nullopt;
    }
    for (const std::string& value : args.Values("kind")) {
        std::stringstream names(value);
        std::string name;
        while (std::getline(names, name, ',')) {
            const auto event = EventNamed(name);
            if (!event) {
                PrintError("--kind takes chat, kill, connect or rename, not \"" + name + "\"");
                return std::nullopt;
            }
            if (!filter.kinds) {
                filter.kinds.emplace();
            }
            filter.kinds->kinds.Add(*event);
        }
    }
    if (const auto guid = args.Value("player")) {
        if (!IsGuid(*guid)) {
            PrintError("--player needs a GUID of 32 hexadecimal digits, not \"" + *guid + "\"");
            return std::nullopt;
        }
        filter.player = PlayerCriterion{*guid};
    }
    filter.exclude = args.Flag("not");
    return filter;
}

void Flush(std::string& out, bool always) {
    if (always || out.size() > (1u << 16)) {
        std::fwrite(out.data(), 1, out.size(), stdout);
        out.clear();
    }
}

} // namespace

int RunFilter(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "filter", error);
    if (!args || args->positional().size() != 1) {
        PrintError(args ? kFilterUsage : error);
        return 2;
    }
    const auto filter = FilterOf(*args);
    if (!filter) {
        return 2;
    }
    const bool countOnly = args->Flag("count");
    const bool json = args->Flag("json");
    // A count of a text needs no line split or classified beforehand: the
    // index reads the file's bytes, and classifies only when a line's colour
    // codes leave its visible text open.
    const bool bytesOnly = countOnly && !json && !filter->readsEvents();
    std::optional<MatchIndex> index;
    try {
        index.emplace(*filter, bytesOnly ? IndexReach::WholeFile : IndexReach::ClassifiedLines);
    } catch (const boost::regex_error&) {
        PrintError("Bad regular expression supplied");
        return 2;
    }
    LogModel model;
    const std::string& path = args->positional().front();
    if (!(bytesOnly ? LoadLogHeadForCommand(model, path)
                    : LoadClassifiedLogForCommand(model, path))) {
        return 2;
    }
    for (;;) {
        index->ScanAll(model);
        if (index->stop() != IndexStop::NeedsClassification) {
            break;
        }
        model.SplitAndClassifyRest();
    }
    if (index->stop() == IndexStop::TooMuchWork) {
        PrintError("the search was stopped: the expression takes too much work on these lines");
        return 2;
    }

    const LineSet& hits = index->hits();
    std::string out;
    if (countOnly) {
        out = json ? "{\"count\": " + std::to_string(hits.Count()) + "}\n"
                   : std::to_string(hits.Count()) + "\n";
    } else if (json) {
        LineJsonWriter writer(stdout);
        hits.ForEachFrom(0, [&](int line) {
            writer.Line(model, line);
            return true;
        });
    } else {
        // The text as lines would print it: control bytes escaped, so a
        // name with ESC or BEL in it cannot command the terminal.
        hits.ForEachFrom(0, [&](int line) {
            out += std::to_string(line);
            out += '\t';
            const std::string_view text = model.WholeLineText(line);
            for (std::size_t at = 0; at < text.size(); at += std::size_t{1} << 16) {
                AppendEscapedLogText(out, text.substr(at, std::size_t{1} << 16), Escapes::Text);
                Flush(out, false);
            }
            out += '\n';
            Flush(out, false);
            return true;
        });
    }
    Flush(out, true);
    return hits.Empty() ? 1 : 0;
}
