// A log split a part at a time, or split on a second thread while it is
// classified, shows exactly what a log split and classified in one go shows.
#include "LogGenerator.h"
#include "LogModel.h"
#include "ModelDump.h"
#include "TempFile.h"

#include <gtest/gtest.h>
#include <string>

namespace {

// A generated log of about 5 MB (past the first block of line offsets) with
// CR LF line ends here and there, a line longer than any part asked for, and
// no LF after its last line.
const std::string& MixedLog() {
    static const std::string bytes = [] {
        std::string log = GenerateLog(5 * 1024 * 1024, 11);
        std::string out;
        out.reserve(log.size() + log.size() / 20 + 300000);
        int line = 0;
        for (const char c : log) {
            if (c == '\n' && ++line % 7 == 0) {
                out += '\r';
            }
            out += c;
            if (c == '\n' && line == 30000) {
                out += "  1:00 say: " + std::string(300000, 'x') + "\n";
            }
        }
        out += "  9:59 say: no line end";
        return out;
    }();
    return bytes;
}

std::string WholeDump(const std::string& path) {
    LogModel whole;
    whole.Load(path);
    whole.ClassifyUpTo(whole.lineCount());
    return DumpModel(whole);
}

struct PartCase {
    const char* name;
    std::int64_t first; // bytes split by the load
    std::int64_t part;  // bytes split by each SplitMore
};

void PrintTo(const PartCase& c, std::ostream* os) {
    *os << c.name;
}

class PartialLoad : public testing::TestWithParam<PartCase> {};

TEST_P(PartialLoad, PartAtATimeEndsAsTheWholeLoad) {
    const PartCase& c = GetParam();
    TempFile file(MixedLog());
    LogModel model;
    ASSERT_TRUE(model.Load(file.path(), c.first));
    EXPECT_GT(model.lineCount(), 0);
    int parts = 0;
    while (!model.fullySplit()) {
        const int before = model.lineCount();
        const bool more = model.SplitMore(c.part);
        EXPECT_EQ(more, !model.fullySplit());
        EXPECT_GT(model.lineCount(), before) << "a part adds at least one line";
        // Classified as it comes, as the document does.
        model.ClassifyUpTo(model.lineCount());
        ++parts;
    }
    EXPECT_GT(parts, 1);
    EXPECT_FALSE(model.SplitMore(c.part));
    EXPECT_EQ(DumpModel(model), WholeDump(file.path()));
}

TEST_P(PartialLoad, SplitOnASecondThreadEndsAsTheWholeLoad) {
    const PartCase& c = GetParam();
    TempFile file(MixedLog());
    LogModel model;
    ASSERT_TRUE(model.Load(file.path(), c.first));
    model.SplitAndClassifyRest();
    EXPECT_TRUE(model.fullySplit());
    EXPECT_EQ(model.classifiedCount(), model.lineCount());
    EXPECT_EQ(DumpModel(model), WholeDump(file.path()));
}

INSTANTIATE_TEST_SUITE_P(
    Parts, PartialLoad,
    testing::Values(PartCase{"OneByteThenAMegabyte", 1, 1 << 20},
                    PartCase{"AKilobyteThenSixtyFour", 1024, 64 * 1024},
                    PartCase{"HalfAMegabyteThenSeventeenBytes", 1 << 19, 17 * 1024 + 17}),
    [](const testing::TestParamInfo<PartCase>& info) { return info.param.name; });

TEST(PartialLoadStamps, TheStampWidthIsReadFromTheFirstLinesWhateverThePart) {
    // Seven-character stamps: the first fifty lines decide, even when the
    // first part holds only one of them.
    std::string log;
    for (int i = 0; i < 60; ++i) {
        log += "  0:13 say: hello " + std::to_string(i) + "\n";
    }
    TempFile file(log);
    LogModel whole;
    whole.Load(file.path());
    LogModel model;
    model.Load(file.path(), 1);
    EXPECT_EQ(model.eventTextOffset(), whole.eventTextOffset());
    EXPECT_EQ(model.eventTextOffset(), kShortStampOffset);
}

TEST(PartialLoadGrowth, AFileThatGrowsWhileItIsSplitEndsAsAFreshOpen) {
    TempFile file(MixedLog().substr(0, 2 * 1024 * 1024));
    LogModel model;
    model.Load(file.path(), 4096);
    file.Write(MixedLog());
    EXPECT_EQ(model.Refresh(), FileChange::Grew);
    EXPECT_TRUE(model.fullySplit());
    model.ClassifyUpTo(model.lineCount());
    EXPECT_EQ(DumpModel(model), WholeDump(file.path()));
}

} // namespace
