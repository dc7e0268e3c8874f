#include "LogModel.h"
#include "TempFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> LinesOf(LogModel& model) {
    std::vector<std::string> lines;
    for (int i = 0; i < model.lineCount(); ++i) {
        const LineView& line = model.Line(i);
        lines.emplace_back(line.text, static_cast<std::size_t>(line.byteLength));
    }
    return lines;
}

struct SplitCase {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    *os << c.name;
}

class LineSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(LineSplit, GivesTheLinesOfTheFile) {
    const SplitCase& c = GetParam();
    TempFile file(c.bytes);
    LogModel model;
    EXPECT_TRUE(model.Load(file.path()));
    EXPECT_EQ(model.loadStatus(), 0);
    EXPECT_EQ(model.fileSize(), static_cast<std::int64_t>(c.bytes.size()));
    EXPECT_EQ(LinesOf(model), c.lines);
}

INSTANTIATE_TEST_SUITE_P(Bytes, LineSplit,
                         testing::Values(SplitCase{"CrLfAndLf", "a\r\nb\n", {"a", "b"}},
                                         SplitCase{"UnterminatedLastLineDropped", "a\nb", {"a"}},
                                         SplitCase{"LeadingLfGivesEmptyLine", "\nx\n", {"", "x"}},
                                         SplitCase{"OnlyTheCrBeforeLfDropped", "a\r\r\n", {"a\r"}},
                                         SplitCase{"LoneCrIsText", "a\rb\n", {"a\rb"}},
                                         SplitCase{"EmptyLineWithCr", "\r\n", {""}},
                                         SplitCase{"NoLfAtAll", "no line end", {}},
                                         SplitCase{"BinaryBytesKept",
                                                   std::string("\0\xff\x80\n", 4),
                                                   {std::string("\0\xff\x80", 3)}}),
                         [](const testing::TestParamInfo<SplitCase>& info) {
                             return info.param.name;
                         });

TEST(LineStoreLoad, StatusesOfFilesThatDoNotLoad) {
    LogModel model;
    EXPECT_EQ(model.loadStatus(), 1);

    EXPECT_FALSE(model.Load("/nonexistent/quarvel/missing.log"));
    EXPECT_EQ(model.loadStatus(), -1);
    EXPECT_EQ(model.lineCount(), 0);

    TempFile empty("");
    EXPECT_FALSE(model.Load(empty.path()));
    EXPECT_EQ(model.loadStatus(), -2);
    EXPECT_EQ(model.lineCount(), 0);

    EXPECT_FALSE(model.Load(std::filesystem::temp_directory_path().string()));
    EXPECT_EQ(model.loadStatus(), -1);
}

TEST(LineStoreLoad, PagesAreMadeOnFirstTouch) {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) {
        bytes += "x\n";
    }
    TempFile file(bytes);
    LogModel model;
    model.Load(file.path());
    EXPECT_EQ(model.lineCount(), 4096);
    EXPECT_EQ(model.lineStore().pagesMade(), 1u);

    file.Write(bytes + "y\n");
    model.Load(file.path());
    EXPECT_EQ(model.lineCount(), 4097);
    EXPECT_EQ(model.lineStore().pagesMade(), 2u);
    EXPECT_EQ(std::string(model.Line(4096).text, 1), "y");
}

TEST(LineStoreLoad, PageTableGrowsPastItsFirstSize) {
    // Line numbers past the first 4096 pages still get records of their own.
    LineStore store;
    const int far = 4096 * 4096 + 5;
    store.Line(far).byteLength = 7;
    store.Line(0).byteLength = 1;
    EXPECT_EQ(store.Line(far).byteLength, 7);
    EXPECT_EQ(store.Line(0).byteLength, 1);
    EXPECT_EQ(store.pagesMade(), 2u);
}

TEST(LineStoreLoad, CloseKeepsStatusAndDropsLines) {
    TempFile file("a\nb\n");
    LogModel model;
    model.Load(file.path());
    model.Close();
    EXPECT_EQ(model.loadStatus(), 0);
    EXPECT_EQ(model.lineCount(), 0);
    EXPECT_EQ(model.fileSize(), 0);
}

TEST(LineStoreLoad, TruncatedFileReadsAsZerosInsteadOfCrashing) {
    // A server truncating its log while it is open must not kill the viewer.
    std::string bytes;
    for (int i = 0; i < 20000; ++i) {
        bytes += "  12:34 say: Bob: a line of text to fill some pages\n";
    }
    TempFile file(bytes);
    LogModel model;
    ASSERT_TRUE(model.Load(file.path()));
    const int lastLine = model.lineCount() - 1;
    std::filesystem::resize_file(file.path(), 100);

    const LineView& line = model.Line(lastLine);
    long sum = 0;
    for (int i = 0; i < line.byteLength; ++i) {
        sum += line.text[i];
    }
    EXPECT_EQ(sum, 0);
    // The part that is still in the file reads as before.
    EXPECT_EQ(std::string(model.Line(0).text, 8), "  12:34 ");
}

} // namespace
