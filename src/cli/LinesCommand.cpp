#include "Arguments.h"
#include "Commands.h"
#include "LineJson.h"
#include "LogLoading.h"
#include "LogModel.h"

#include <algorithm>
#include <cstdio>

int RunLines(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "lines", error);
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
    if (!LoadClassifiedLogForCommand(model, args->positional().front())) {
        return 2;
    }

    // --count may be as large as a long long: compare without adding.
    long long end = model.lineCount();
    if (*count >= 0 && *count < end - std::min(*from, end)) {
        end = *from + *count;
    }
    WriteLinesJson(stdout, model, *from, end);
    return 0;
}
