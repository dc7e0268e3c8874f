#include "LogModel.h"
#include "TempFile.h"

#include <filesystem>
#include <fstream>
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
    EXPECT_EQ(LoadStatusCode(model.loadStatus()), 0);
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
    EXPECT_EQ(LoadStatusCode(model.loadStatus()), 1);

    EXPECT_FALSE(model.Load("/nonexistent/quarvel/missing.log"));
    EXPECT_EQ(LoadStatusCode(model.loadStatus()), -1);
    EXPECT_EQ(model.lineCount(), 0);

    TempFile empty("");
    EXPECT_FALSE(model.Load(empty.path()));
    EXPECT_EQ(LoadStatusCode(model.loadStatus()), -2);
    EXPECT_EQ(model.lineCount(), 0);

    EXPECT_FALSE(model.Load(std::filesystem::temp_directory_path().string()));
    EXPECT_EQ(LoadStatusCode(model.loadStatus()), -1);
}

TEST(LineStoreLoad, LinesAcrossBlocksKeepTheirOffsetsAndLengths) {
    // Offsets are kept in blocks of 65536; a line whose end is the first entry
    // of the next block still has its length, and a CR before an LF is still
    // dropped on either side of a block's edge.
    std::string bytes;
    constexpr int kLines = 65536 * 2 + 3;
    for (int i = 0; i < kLines; ++i) {
        bytes += std::to_string(i);
        bytes += i % 3 == 0 ? "\r\n" : "\n";
    }
    LineStore store;
    EXPECT_EQ(store.Append(bytes.data(), 0, static_cast<std::int64_t>(bytes.size())),
              static_cast<std::int64_t>(bytes.size()));
    ASSERT_EQ(store.lineCount(), kLines);
    for (const int i : {0, 1, 65535, 65536, 65537, 131071, 131072, kLines - 1}) {
        const std::string_view text(bytes.data() + store.Offset(i),
                                    static_cast<std::size_t>(store.ByteLength(i)));
        EXPECT_EQ(text, std::to_string(i)) << i;
    }
    // Eight bytes a line, in whole blocks.
    EXPECT_EQ(store.memoryBytes(), 3u * 65536u * 8u);
}

TEST(LineStoreLoad, AppendedBytesContinueTheLastLine) {
    const std::string bytes = "one\r\ntw\r\nthree\nrest";
    LineStore store;
    // The CR LF of the second line arrives in two writes.
    EXPECT_EQ(store.Append(bytes.data(), 0, 8), 5);
    EXPECT_EQ(store.lineCount(), 1);
    EXPECT_EQ(store.Append(bytes.data(), 5, 9), 9);
    EXPECT_EQ(store.Append(bytes.data(), 9, static_cast<std::int64_t>(bytes.size())), 15);
    ASSERT_EQ(store.lineCount(), 3);
    EXPECT_EQ(store.ByteLength(1), 2);
    EXPECT_EQ(store.Offset(2), 9);
    EXPECT_EQ(store.ByteLength(2), 5);
    store.Clear();
    EXPECT_EQ(store.lineCount(), 0);
    EXPECT_EQ(store.memoryBytes(), 0u);
}

// A line that arrives a part at a time is read from where the last look
// ended: the bytes before it, which that look found no LF in, are not read
// again (here an LF placed there is not seen), so a long unfinished line
// costs its bytes once, not once per part.
TEST(LineStoreLoad, BytesALookPassedOverAreNotReadAgain) {
    const std::string bytes = "ab\ncd\nef\n";
    LineStore store;
    EXPECT_EQ(store.Append(bytes.data(), 0, 5, static_cast<std::int64_t>(bytes.size())), 9);
    ASSERT_EQ(store.lineCount(), 2);
    EXPECT_EQ(store.ByteLength(0), 5);
    EXPECT_EQ(store.Offset(1), 6);
}

// A line of more than 2 GiB (a sparse file: only its end is written, and
// only its end is read) keeps its whole length, while what offsets and
// columns within a line reach stops at 2 GiB.
TEST(LineStoreLoad, ALineLongerThanColumnsReachKeepsItsWholeLength) {
    TempFile file("");
    const std::int64_t lineEnd = LineStore::kMaxLineBytes + 5;
    std::filesystem::resize_file(file.path(), static_cast<std::uintmax_t>(lineEnd - 3));
    {
        std::ofstream out(file.path(), std::ios::binary | std::ios::app);
        out << "end\nx\n";
    }
    FileMapping mapping;
    ASSERT_EQ(mapping.Open(file.path()), LoadStatus::Loaded);
    LineStore store;
    EXPECT_EQ(store.Append(mapping.data(), 0, lineEnd - 8, mapping.size()), mapping.size());
    ASSERT_EQ(store.lineCount(), 2);
    EXPECT_EQ(store.LineLength(0), lineEnd);
    EXPECT_EQ(store.ByteLength(0), LineStore::kMaxLineBytes);
    EXPECT_EQ(store.Offset(1), lineEnd + 1);
    EXPECT_EQ(store.LineLength(1), 1);
}

TEST(LineStoreLoad, CloseKeepsStatusAndDropsLines) {
    TempFile file("a\nb\n");
    LogModel model;
    model.Load(file.path());
    model.Close();
    EXPECT_EQ(LoadStatusCode(model.loadStatus()), 0);
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
