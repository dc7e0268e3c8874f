// quarvelctl copy: the bytes Copy puts on the clipboard for a selection,
// either the plain text or the "HTML Format" document; on a terminal, that
// text with its control characters escaped.
#include "Arguments.h"
#include "Commands.h"
#include "LogLoading.h"
#include "ModelLines.h"
#include "PositionArgument.h"
#include "SelectionCopy.h"
#include "TextEscapes.h"

#include <cstdio>
#include <unistd.h>

namespace {

constexpr char kUsage[] = "usage: quarvelctl copy LOG L1:C1 L2:C2 (--text | --html)";

} // namespace

int RunCopy(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "copy", error);
    if (!args || args->positional().size() != 3 || args->Flag("text") == args->Flag("html")) {
        PrintError(args ? kUsage : error);
        return 2;
    }
    const auto start = ParsePosition(args->positional()[1]);
    const auto end = ParsePosition(args->positional()[2]);
    if (!start || !end) {
        PrintError("selection ends are LINE:COLUMN; " + std::string(kUsage));
        return 2;
    }
    LogModel model;
    if (!LoadClassifiedLogForCommand(model, args->positional()[0])) {
        return 2;
    }

    ModelLines lines(model);
    const KindTables tables = MakeKindTables(CaretColourTable());
    const auto copied =
        CopySelection(lines, {start->line, start->column, end->line, end->column}, tables,
                      args->Flag("html") ? CopyFormats::TextAndHtml : CopyFormats::TextOnly);
    if (!copied) {
        PrintError("the selection's lines must lie within the log's " +
                   std::to_string(model.lineCount()) + " lines, the first not after the last");
        return 2;
    }
    if (args->Flag("html") && !copied->htmlFits) {
        PrintError("the HTML document would reach 100000000 bytes; Copy puts the plain text only");
        return 1;
    }
    const std::string& bytes = args->Flag("html") ? copied->html : copied->text;
    if (isatty(STDOUT_FILENO) != 1) {
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
        return 0;
    }
    // Shown to a person, the selection is text like every other command's
    // log text: decoded, and a name's control characters escaped rather
    // than taken by the terminal for commands.
    std::string shown;
    if (args->Flag("html")) {
        AppendEscaped(shown, bytes, Escapes::Text);
    } else {
        AppendEscapedLogText(shown, bytes, Escapes::Text);
    }
    std::fwrite(shown.data(), 1, shown.size(), stdout);
    return 0;
}
