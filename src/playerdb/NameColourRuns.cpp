#include "NameColourRuns.h"

std::vector<NameColourRun> NameColourRuns(std::string_view name, const CaretColourTable& colours,
                                          Rgb initial) {
    std::vector<NameColourRun> runs;
    Rgb colour = initial;
    auto show = [&](char byte) {
        if (runs.empty() || runs.back().colour != colour) {
            runs.push_back({{}, colour});
        }
        runs.back().text += byte;
    };
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '^') {
            show(name[i]);
            continue;
        }
        if (i + 1 >= name.size()) {
            break;
        }
        const char code = name[++i];
        if (code == '^') {
            show('^');
        } else {
            colour = colours.Colour(code);
        }
    }
    return runs;
}
