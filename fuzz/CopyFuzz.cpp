// The text and HTML copy of any selection of a fuzzed log: the text is the
// stretch of the file between the selection's bytes, the HTML document's
// header offsets are right and its tags balance.
//
// Input: four bytes of selection ends, then the log.
#include "CaretColourTable.h"
#include "FuzzLines.h"
#include "FuzzLog.h"
#include "SelectionCopy.h"

#include <cstdlib>
#include <string>

namespace {

std::size_t Digits(const std::string& document, std::size_t at) {
    return std::strtoul(document.substr(at, 8).c_str(), nullptr, 10);
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const std::string bytes(reinterpret_cast<const char*>(data + 4), size - 4);
    FuzzLines lines(bytes);
    if (lines.lineCount() == 0) {
        return 0;
    }
    const int count = lines.lineCount();
    int startLine = data[0] % count;
    int endLine = data[2] % count;
    if (endLine < startLine) {
        std::swap(startLine, endLine);
    }
    const SelectionBounds selection{startLine, static_cast<int>(data[1]) - 1, endLine,
                                    static_cast<int>(data[3]) - 2};
    static const KindTables tables = MakeKindTables(CaretColourTable());
    const auto copied = CopySelection(lines, selection, tables);
    FUZZ_CHECK(copied.has_value());
    // The text is one stretch of the input.
    FUZZ_CHECK(copied->text.empty() || bytes.find(copied->text) != std::string::npos);
    FUZZ_CHECK(copied->htmlFits);
    const std::string& html = copied->html;
    FUZZ_CHECK(html.size() > 142 + 60 + 8 + 35);
    FUZZ_CHECK(Digits(html, 22) == 92 && Digits(html, 62) == 142);
    FUZZ_CHECK(Digits(html, 39) == html.size() - 1);
    FUZZ_CHECK(Digits(html, 83) == html.size() - 36);
    FUZZ_CHECK(html.compare(html.size() - 35, 35, "<!--EndFragment-->\n</BODY>\n</HTML>\n") == 0);
    // Tags balance, and no raw markup of the log survives.
    const std::string fragment = html.substr(142, html.size() - 142 - 35);
    FUZZ_CHECK(Count(fragment, "<FONT") == Count(fragment, "</FONT>"));
    FUZZ_CHECK(Count(fragment, "<B>") == Count(fragment, "</B>"));
    FUZZ_CHECK(Count(fragment, "<br>\n") == static_cast<std::size_t>(endLine - startLine + 1));
    FUZZ_CHECK(Count(fragment, "<") == Count(fragment, "<FONT") + Count(fragment, "</FONT>") +
                                           Count(fragment, "<B>") + Count(fragment, "</B>") +
                                           Count(fragment, "<I>") + Count(fragment, "</I>") +
                                           Count(fragment, "<br>"));
    const auto textOnly = CopySelection(lines, selection, tables, CopyFormats::TextOnly);
    FUZZ_CHECK(textOnly && textOnly->text == copied->text && textOnly->html.empty());
    return 0;
}
