#include "Arguments.h"
#include "Commands.h"
#include "Json.h"
#include "LogLoading.h"
#include "LogModel.h"

#include <algorithm>
#include <cstdio>

namespace {

void AppendSegments(std::string& out, const LogLine& line) {
    out += "[";
    for (int s = 0; s < kSegmentsPerLine; ++s) {
        const LineSegment& segment = line.segments[static_cast<std::size_t>(s)];
        if (segment.kind() == kEndMark) {
            break;
        }
        out += s == 0 ? "{\"kind\": " : ", {\"kind\": ";
        out += std::to_string(segment.kind()) + ", \"start\": " + std::to_string(segment.start()) +
               ", \"length\": " + std::to_string(segment.length()) +
               ", \"visibleStart\": " + std::to_string(segment.visibleStart()) +
               ", \"visibleLength\": " + std::to_string(segment.visibleLength()) + ", \"player\": ";
        if (segment.player == nullptr) {
            out += "null";
        } else {
            out += "{\"guid\": ";
            AppendJsonLogText(out, segment.player->Guid());
            out += ", \"address\": ";
            AppendJsonLogText(out, segment.player->address.view());
            out += "}";
        }
        out += "}";
    }
    out += "]";
}

} // namespace

int RunLines(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, {"from", "count"}, {}, error);
    if (!args || args->positional().size() != 1) {
        PrintError(args ? "usage: quarvelctl lines LOG [--from N] [--count M]" : error);
        return 2;
    }
    const auto from = args->Integer("from", 0, error);
    const auto count = args->Integer("count", -1, error);
    if (!from || !count || *from < 0) {
        PrintError(error.empty() ? "--from must not be negative" : error);
        return 2;
    }
    LogModel model;
    if (!LoadLogForCommand(model, args->positional().front())) {
        return 2;
    }
    RunClassificationWalk(model);

    // --count may be as large as a long long: compare without adding.
    long long end = model.lineCount();
    if (*count >= 0 && *count < end - std::min(*from, end)) {
        end = *from + *count;
    }
    std::string out;
    for (long long i = *from; i < end; ++i) {
        const LogLine& line = model.Line(static_cast<int>(i));
        out += "{\"line\": " + std::to_string(i) +
               ", \"byteLength\": " + std::to_string(line.byteLength) +
               ", \"visibleLength\": " + std::to_string(line.visibleLength) + ", \"text\": ";
        AppendJsonLogText(out,
                          std::string_view(line.text, static_cast<std::size_t>(line.byteLength)));
        out += ", \"segments\": ";
        AppendSegments(out, line);
        out += "}\n";
        if (out.size() > (1u << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
