#include "Arguments.h"
#include "Commands.h"
#include "Json.h"
#include "LogModel.h"

#include <cstdio>

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
    const std::string& path = args->positional().front();
    LogModel model;
    model.Load(path);
    if (model.loadStatus() == FileMapping::kOpenFailed || model.loadStatus() == FileMapping::kViewFailed) {
        PrintError("cannot read " + path);
        return 2;
    }
    long long end = model.lineCount();
    if (*count >= 0 && *from + *count < end) {
        end = *from + *count;
    }
    std::string out;
    for (long long i = *from; i < end; ++i) {
        const LogLine& line = model.Line(static_cast<int>(i));
        out += "{\"line\": " + std::to_string(i) +
               ", \"byteLength\": " + std::to_string(line.byteLength) + ", \"text\": ";
        AppendJsonLogText(out, std::string_view(line.text, static_cast<std::size_t>(line.byteLength)));
        out += "}\n";
        if (out.size() > (1u << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
