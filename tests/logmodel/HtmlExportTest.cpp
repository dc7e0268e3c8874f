#include "HtmlExport.h"

#include "HandLog.h"
#include "KindTables.h"
#include "SelectionCopy.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace {

const KindTables& Tables() {
    static const KindTables tables = MakeKindTables(CaretColourTable());
    return tables;
}

const std::string kOpenFont = "<FONT face=\"Courier New\" style=\"background-color : #000000\">";

// The whole clipboard document around a body, with its offsets written by
// this test rather than by the code under test.
std::string Document(const std::string& body) {
    const std::size_t length = 142 + 60 + body.size() + 8 + 35;
    char endHtml[9];
    char endFragment[9];
    std::snprintf(endHtml, sizeof endHtml, "%08zu", length - 1);
    std::snprintf(endFragment, sizeof endFragment, "%08zu", length - 36);
    return std::string("Version:0.9\nStartHTML:00000092\nEndHTML:") + endHtml +
           "\nStartFragment:00000142\nEndFragment:" + endFragment +
           "\n<!DOCTYPE ...>\n<HTML>\n<BODY>\n<!--StartFragment-->\n" + kOpenFont + body +
           "</FONT>\n<!--EndFragment-->\n</BODY>\n</HTML>\n";
}

TEST(HtmlExport, WorkedExampleByteForByte) {
    HandLog log("ab\n");
    const auto copied = CopySelection(log, {0, 0, 0, 1}, Tables());
    ASSERT_TRUE(copied);
    const std::string expected =
        "Version:0.9\nStartHTML:00000092\nEndHTML:00000278\nStartFragment:00000142\n"
        "EndFragment:00000243\n<!DOCTYPE ...>\n<HTML>\n<BODY>\n<!--StartFragment-->\n"
        "<FONT face=\"Courier New\" style=\"background-color : #000000\">"
        "<FONT color=#c4c4ff>ab</FONT><br>\n</FONT>\n"
        "<!--EndFragment-->\n</BODY>\n</HTML>\n";
    EXPECT_EQ(copied->html, expected);
    EXPECT_EQ(copied->html.size(), 279u);
    EXPECT_EQ(copied->html.substr(92, 14), "<!DOCTYPE ...>");
    EXPECT_EQ(copied->html.substr(142, 5), "<FONT");
    EXPECT_EQ(copied->html.substr(236, 8), "</FONT>\n");
    EXPECT_TRUE(copied->htmlFits);
    EXPECT_EQ(copied->text, "ab");
}

struct LineHtmlCase {
    const char* name;
    std::string line;
    std::vector<HandLog::Segment> segments;
    int from;
    int to;
    std::string html; // the line's HTML before its "<br>\n"
};

void PrintTo(const LineHtmlCase& c, std::ostream* os) {
    *os << c.name;
}

class LineHtmlTest : public testing::TestWithParam<LineHtmlCase> {};

TEST_P(LineHtmlTest, WritesTheLine) {
    const LineHtmlCase& c = GetParam();
    HandLog log(c.line + "\n");
    log.Lay(0, c.segments);
    HtmlExport html(Tables());
    html.AddLine(log.Line(0), c.from, c.to);
    ASSERT_TRUE(html.Finish());
    EXPECT_EQ(html.document(), Document(c.html + "<br>\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Html, LineHtmlTest,
    testing::Values(
        LineHtmlCase{"EscapesInOrder",
                     "a&b<c>\"d&amp;",
                     {},
                     0,
                     13,
                     "<FONT color=#c4c4ff>a&amp;b&lt;c&gt;&quot;d&amp;amp;</FONT>"},
        LineHtmlCase{"SpanStartingWithTwoCodes",
                     "^1^2ab",
                     {{0, 6, 15}},
                     0,
                     6,
                     "<FONT color=#a9c274></FONT><FONT color=#ff1919></FONT>"
                     "<FONT color=#a9c274>ab</FONT>"},
        LineHtmlCase{"BoldTeamOneNameWithCodes",
                     "x ^3Bob",
                     {{2, 5, 4}},
                     0,
                     7,
                     "<FONT color=#c4c4ff>x </FONT>"
                     "<B><FONT color=#ff1919></FONT><FONT color=#ffff00>Bob</FONT></B>"},
        LineHtmlCase{"CodesInPlainTextChangeColourToo",
                     "a^4b",
                     {},
                     0,
                     4,
                     "<FONT color=#c4c4ff>a</FONT><FONT color=#4c4cff>b</FONT>"},
        LineHtmlCase{"DoubledCaretWrittenAsTwo",
                     "a^^b",
                     {{0, 4, 15}},
                     0,
                     4,
                     "<FONT color=#a9c274>a^^b</FONT>"},
        LineHtmlCase{
            "TrailingCaretNotWritten", "ab^", {{0, 3, 15}}, 0, 3, "<FONT color=#a9c274>ab</FONT>"},
        LineHtmlCase{"CodeLeftOfTheSelectionSetsItsColour",
                     "^1Bob",
                     {{0, 5, 3}},
                     3,
                     5,
                     "<B><FONT color=#ff1919>ob</FONT></B>"},
        LineHtmlCase{"SelectionCutsRunsBothSides",
                     "Kill: abc def",
                     {{0, 4, 2}, {6, 7, 15}},
                     2,
                     9,
                     "<B><FONT color=#ffffff>ll</FONT></B><FONT color=#c4c4ff>: </FONT>"
                     "<FONT color=#a9c274>abc</FONT>"},
        LineHtmlCase{"RunsAfterTheSelectionGiveNothing",
                     "abc def",
                     {{4, 3, 12}},
                     0,
                     3,
                     "<FONT color=#c4c4ff>abc</FONT>"},
        LineHtmlCase{"NothingSelected", "abc", {}, 0, 0, ""},
        LineHtmlCase{"EmptySelectionInABoldRun", "abc", {{0, 3, 2}}, 1, 1, "<B></B>"},
        LineHtmlCase{"HighCodeByteIsWhite",
                     "^\xff"
                     "ab",
                     {{0, 4, 15}},
                     0,
                     4,
                     "<FONT color=#a9c274></FONT><FONT color=#ffffff>ab</FONT>"},
        LineHtmlCase{"NonAsciiAsUtf8",
                     "caf\xe9 \x80\x81",
                     {},
                     0,
                     7,
                     "<FONT color=#c4c4ff>caf\xc3\xa9 \xe2\x82\xac\xc2\x81</FONT>"}),
    [](const testing::TestParamInfo<LineHtmlCase>& info) { return info.param.name; });

TEST(HtmlExport, OffsetsCountEncodedBytes) {
    HandLog log("\xe9\xe9\xe9\n");
    const auto copied = CopySelection(log, {0, 0, 0, 2}, Tables());
    ASSERT_TRUE(copied);
    // Three bytes of the log, six of the document.
    EXPECT_EQ(copied->html.size(), 279u + 4u);
    EXPECT_EQ(copied->html.substr(39, 8), "00000282");
    EXPECT_EQ(copied->html.substr(83, 8), "00000247");
    EXPECT_EQ(copied->html[247], '\n');
    EXPECT_EQ(copied->text, "\xe9\xe9\xe9");
}

TEST(SelectionCopy, OneLineKeepsItsCodes) {
    HandLog log("  0:01 say: ^4Bob: hi\n");
    log.Lay(0, {{7, 3, 2}, {12, 5, 15}});
    // Visible "  0:01 say: Bob: hi": Bob is columns 12 to 14.
    const auto copied = CopySelection(log, {0, 12, 0, 14}, Tables());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->text, "^4Bob");
    EXPECT_EQ(copied->html, Document("<FONT color=#a9c274></FONT><FONT color=#4c4cff>Bob</FONT>"
                                     "<br>\n"));
}

TEST(SelectionCopy, LinesKeepTheFilesLineEnds) {
    HandLog log("one\r\ntwo\nthree\r\nfour\n");
    const auto copied = CopySelection(log, {0, 1, 2, 2}, Tables());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->text, "ne\r\ntwo\nthr");
    EXPECT_EQ(copied->html, Document("<FONT color=#c4c4ff>ne</FONT><br>\n"
                                     "<FONT color=#c4c4ff>two</FONT><br>\n"
                                     "<FONT color=#c4c4ff>thr</FONT><br>\n"));
}

TEST(SelectionCopy, DragEndingAtColumnZero) {
    HandLog log("abc\r\ndef\n");
    const auto copied = CopySelection(log, {0, 1, 1, -1}, Tables());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->text, "bc\r\n");
    EXPECT_EQ(copied->html, Document("<FONT color=#c4c4ff>bc</FONT><br>\n<br>\n"));
}

TEST(SelectionCopy, EmptyActiveSelection) {
    HandLog log("abc\n");
    const auto copied = CopySelection(log, {0, 2, 0, 1}, Tables());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->text, "");
    EXPECT_EQ(copied->html, Document("<br>\n"));
}

TEST(SelectionCopy, PastTheLineEndTakesTheWholeLine) {
    HandLog log("a^1b\nc\n");
    const auto copied = CopySelection(log, {0, 0, 0, 50}, Tables());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->text, "a^1b");
}

TEST(SelectionCopy, RefusesLinesOutsideTheLog) {
    HandLog log("a\nb\n");
    EXPECT_FALSE(CopySelection(log, {0, 0, 2, 0}, Tables()));
    EXPECT_FALSE(CopySelection(log, {-1, 0, 0, 0}, Tables()));
    EXPECT_FALSE(CopySelection(log, {1, 0, 0, 0}, Tables()));
}

// A plain line of n bytes adds n + 32 bytes to the body; the fixed parts of
// the document are 245 bytes.
TEST(HtmlExport, DocumentsOfAHundredMillionBytesDoNotFit) {
    const int lineBytes = 49'999'845;
    std::string text(static_cast<std::size_t>(lineBytes) + 1, 'a');
    LineView line{};
    line.text = text.data();
    line.byteLength = lineBytes;
    for (LineSegment& segment : line.segments) {
        segment.SetEndMark();
    }

    HtmlExport fits(Tables());
    fits.AddLine(line, 0, lineBytes);
    fits.AddLine(line, 0, lineBytes);
    ASSERT_TRUE(fits.Finish());
    EXPECT_EQ(fits.document().size(), 99'999'999u);
    EXPECT_EQ(fits.document().substr(39, 8), "99999998");

    line.byteLength = lineBytes + 1;
    HtmlExport tooLong(Tables());
    tooLong.AddLine(line, 0, lineBytes);
    tooLong.AddLine(line, 0, lineBytes + 1);
    EXPECT_FALSE(tooLong.Finish());
    EXPECT_TRUE(tooLong.document().empty());
}

} // namespace

namespace {

// One long line whose every other byte is a colour code grows tenfold as
// HTML: the limit is met inside the line, the HTML is given up, and the
// text is copied whole. Text alone never builds the HTML.
TEST(SelectionCopy, HtmlPastItsLimitInsideOneLineIsGivenUp) {
    std::string line;
    line.reserve(12'000'000);
    while (line.size() < 12'000'000) {
        line += "^1a^2b";
    }
    HandLog log(line + "\n");
    const int visible = log.Line(0).visibleLength;
    const auto copied = CopySelection(log, {0, 0, 0, visible - 1}, Tables());
    ASSERT_TRUE(copied);
    EXPECT_FALSE(copied->htmlFits);
    EXPECT_TRUE(copied->html.empty());
    EXPECT_EQ(copied->text, line);

    const auto textOnly =
        CopySelection(log, {0, 0, 0, visible - 1}, Tables(), CopyFormats::TextOnly);
    ASSERT_TRUE(textOnly);
    EXPECT_EQ(textOnly->text, line);
    EXPECT_TRUE(textOnly->html.empty());
}

// A long run of high bytes (each three bytes of UTF-8) meets the limit too.
TEST(SelectionCopy, HighBytesPastTheLimitAreGivenUp) {
    HandLog log(std::string(34'000'000, '\x80') + "\n"); // the euro sign
    const auto copied = CopySelection(log, {0, 0, 0, 33'999'999}, Tables());
    ASSERT_TRUE(copied);
    EXPECT_FALSE(copied->htmlFits);
}

} // namespace
