// A log followed while a writer appends to it, truncates, rotates or deletes
// it: after every change the model must show what a model that opened the
// file as it is now shows.
#include "LogModel.h"
#include "ModelDump.h"
#include "TempFile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string& SampleLog() {
    static const std::string bytes = ReadFile(QUARVEL_SOURCE_DIR "/samples/sample.log");
    return bytes;
}

// The sample with every other line ended by CR LF, so that pieces also cut
// between a CR and its LF.
const std::string& MixedLineEnds() {
    static const std::string bytes = [] {
        std::string out;
        bool crlf = false;
        for (const char c : SampleLog()) {
            if (c == '\n') {
                if (crlf) {
                    out += '\r';
                }
                crlf = !crlf;
            }
            out += c;
        }
        return out;
    }();
    return bytes;
}

void Append(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A fresh model of the file as it is now, classified.
std::unique_ptr<LogModel> FreshModelOf(const std::string& path) {
    auto fresh = std::make_unique<LogModel>();
    fresh->Load(path);
    fresh->ClassifyUpTo(fresh->lineCount());
    return fresh;
}

// What a fresh model shows for the file as it is now.
std::string FreshDump(const std::string& path) {
    return DumpModel(*FreshModelOf(path));
}

// Follows the file once, as the document does: look, then classify what
// came.
FileChange Follow(LogModel& model) {
    const FileChange change = model.Refresh();
    model.ClassifyUpTo(model.lineCount());
    return change;
}

struct PieceCase {
    const char* name;
    std::size_t piece;
    std::size_t bytes; // how much of the log is written; 0 for all of it
};

void PrintTo(const PieceCase& c, std::ostream* os) {
    *os << c.name;
}

class GrowthInPieces : public testing::TestWithParam<PieceCase> {};

TEST_P(GrowthInPieces, EndsAsAFreshOpenOfTheFinalFile) {
    const PieceCase& c = GetParam();
    const std::string& log = MixedLineEnds();
    const std::size_t total = c.bytes == 0 ? log.size() : std::min(c.bytes, log.size());
    TempFile file("");
    LogModel model;
    model.Load(file.path()); // empty at first: nothing to map yet
    EXPECT_EQ(model.lineCount(), 0);
    for (std::size_t at = 0; at < total; at += c.piece) {
        Append(file.path(), std::string_view(log).substr(at, std::min(c.piece, total - at)));
        const FileChange change = Follow(model);
        ASSERT_TRUE(change == FileChange::Grew || change == FileChange::None) << at;
    }
    EXPECT_EQ(DumpModel(model), FreshDump(file.path()));
    EXPECT_GT(model.lineCount(), 10);
}

INSTANTIATE_TEST_SUITE_P(
    Pieces, GrowthInPieces,
    testing::Values(PieceCase{"OneByte", 1, 6 * 1024}, PieceCase{"ThreeBytes", 3, 12 * 1024},
                    PieceCase{"SeventeenBytes", 17, 40 * 1024}, PieceCase{"FourKilobytes", 4096, 0},
                    PieceCase{"SixtyFourKilobytes", 64 * 1024, 0}),
    [](const testing::TestParamInfo<PieceCase>& info) { return info.param.name; });

TEST(Follow, APartialLastLineBecomesALineWhenItsLfArrives) {
    TempFile file("   0:01 first\n   0:02 sec");
    LogModel model;
    model.Load(file.path());
    EXPECT_EQ(model.lineCount(), 1);
    Append(file.path(), "ond\r");
    EXPECT_EQ(Follow(model), FileChange::None); // no LF yet: no line
    EXPECT_EQ(model.lineCount(), 1);
    Append(file.path(), "\n");
    EXPECT_EQ(Follow(model), FileChange::Grew);
    ASSERT_EQ(model.lineCount(), 2);
    EXPECT_EQ(model.LineText(1), "   0:02 second"); // and the CR before the LF is dropped
}

TEST(Follow, ClassificationContinuesTheTables) {
    const std::string guid = "0123456789ABCDEF0123456789ABCDEF";
    TempFile file("   0:01 ClientConnect: 3 - 1.2.3.4:5 [" + guid + "]\n");
    LogModel model;
    model.Load(file.path());
    model.ClassifyUpTo(model.lineCount());
    Append(file.path(),
           "   0:02 ClientUserinfoChanged: 3 n\\^1Bob\\t\\2\\m\n   0:03 say: ^1Bob: hi\n");
    EXPECT_EQ(Follow(model), FileChange::Grew);
    // The name line links to the connection the first batch made, and the
    // chat finds the name in its slot.
    const LineView name = model.Line(1);
    ASSERT_NE(name.segments[2].player, nullptr);
    EXPECT_EQ(name.segments[2].player->Guid(), guid);
    EXPECT_EQ(KindNumber(model.Line(2).segments[1].kind()), 5);
    EXPECT_EQ(model.playerSlots().connectionCount(), 1);
    EXPECT_EQ(DumpModel(model), FreshDump(file.path()));
}

// A log rotated under its path goes on with the players on the server: the
// new lines' names link to their last connection from before the rotation,
// with that GUID's names; a player never seen connecting has none.
TEST(Follow, ARotatedLogKeepsThePlayersItsSlotsHeld) {
    const std::string guid = "0123456789ABCDEF0123456789ABCDEF";
    TempFile file("   0:01 ClientConnect: 3 - 1.2.3.4:5 [" + guid +
                  "]\n"
                  "   0:02 ClientUserinfoChanged: 3 n\\Old^1Bob\\t\\2\\m\n"
                  "   0:03 ClientUserinfoChanged: 3 n\\Bob\\t\\2\\m\n"
                  "   0:04 ClientUserinfoChanged: 5 n\\Ghost\\t\\1\\m\n");
    LogModel model;
    model.Load(file.path());
    model.ClassifyUpTo(model.lineCount());
    fs::resize_file(file.path(), 0);
    Append(file.path(), "   0:00 say: Bob: still here\n"
                        "   0:01 Kill: 3 5 1: Bob killed Ghost by MOD_KNIFE\n"
                        "   0:02 say: Ghost: ouch\n");
    EXPECT_EQ(Follow(model), FileChange::Truncated);
    ASSERT_EQ(model.lineCount(), 3);

    const LineView chat = model.Line(0);
    EXPECT_EQ(KindNumber(chat.segments[1].kind()), 5) << "Bob's name, team 2";
    ASSERT_NE(chat.segments[1].player, nullptr);
    EXPECT_EQ(chat.segments[1].player->Guid(), guid);
    EXPECT_EQ(chat.segments[1].player->address.view(), "1.2.3.4");
    const auto* aliases = model.guidTable().Aliases(guid);
    ASSERT_NE(aliases, nullptr);
    std::vector<std::string> names;
    for (const AliasName& alias : *aliases) {
        names.emplace_back(alias.name.view());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Bob", "Old^1Bob"}));

    const LineView kill = model.Line(1);
    // Kill, the three numbers, then the killer and the victim.
    ASSERT_NE(kill.segments[4].player, nullptr);
    EXPECT_EQ(kill.segments[4].player->Guid(), guid);
    EXPECT_EQ(kill.segments[5].player, nullptr) << "Ghost never connected";
    EXPECT_EQ(KindNumber(kill.segments[5].kind()), 4) << "but his name and team are known";
    EXPECT_EQ(KindNumber(model.Line(2).segments[1].kind()), 4);

    // A load of its own starts from nothing.
    EXPECT_EQ(KindNumber(FreshModelOf(file.path())->Line(0).segments[1].kind()), 0);
}

TEST(Follow, TruncationToNothingReloadsAndTheNewLinesFollow) {
    TempFile file("   0:01 one\n   0:02 two\n");
    LogModel model;
    model.Load(file.path());
    model.ClassifyUpTo(model.lineCount());
    fs::resize_file(file.path(), 0);
    EXPECT_EQ(Follow(model), FileChange::Truncated);
    EXPECT_EQ(model.lineCount(), 0);
    Append(file.path(), "   0:00 fresh\n");
    EXPECT_EQ(Follow(model), FileChange::Grew);
    EXPECT_EQ(DumpModel(model), FreshDump(file.path()));
}

TEST(Follow, ACopyTruncateRewrittenPastTheOldSizeIsSeenByItsFirstBytes) {
    const std::string guid = "0123456789ABCDEF0123456789ABCDEF";
    TempFile file("   0:01 ClientConnect: 3 - 1.2.3.4:5 [" + guid + "]\n   0:02 old\n");
    LogModel model;
    model.Load(file.path());
    model.ClassifyUpTo(model.lineCount());
    // Copied away, emptied and written again, more than before, before the
    // model looks: only the first bytes tell.
    fs::resize_file(file.path(), 0);
    Append(file.path(), "   9:00 a new game begins here, with a longer first line\n   9:01 x\n");
    EXPECT_EQ(Follow(model), FileChange::Truncated);
    // The new lines as a fresh load shows them (none names a player); the
    // slot kept its player (ARotatedLogKeepsThePlayersItsSlotsHeld).
    EXPECT_EQ(DumpLines(model), DumpLines(*FreshModelOf(file.path())));
    EXPECT_EQ(model.playerSlots().connectionCount(), 1);
    EXPECT_EQ(model.playerSlots().Slot(3).connection->Guid(), guid);
}

TEST(Follow, ARotationByRenameAndCreateLoadsTheNewFile) {
    TempFile file("   0:01 old one\n   0:02 old two\n");
    const std::string rotated = file.path() + ".1";
    LogModel model;
    model.Load(file.path());
    model.ClassifyUpTo(model.lineCount());
    fs::rename(file.path(), rotated);
    Append(file.path(), "   0:00 new\n");
    EXPECT_EQ(Follow(model), FileChange::Replaced);
    ASSERT_EQ(model.lineCount(), 1);
    EXPECT_EQ(model.LineText(0), "   0:00 new");
    // Writes to the renamed file no longer reach the model.
    Append(rotated, "   0:03 late\n");
    Append(file.path(), "   0:01 more\n");
    EXPECT_EQ(Follow(model), FileChange::Grew);
    EXPECT_EQ(DumpModel(model), FreshDump(file.path()));
    fs::remove(rotated);
}

TEST(Follow, ADeletedLogKeepsWhatWasReadUntilAFileAppearsAgain) {
    TempFile file("   0:01 kept\n");
    LogModel model;
    model.Load(file.path());
    model.ClassifyUpTo(model.lineCount());
    fs::remove(file.path());
    EXPECT_EQ(Follow(model), FileChange::Deleted);
    EXPECT_TRUE(model.deleted());
    EXPECT_EQ(Follow(model), FileChange::None); // said once
    ASSERT_EQ(model.lineCount(), 1);
    EXPECT_EQ(model.LineText(0), "   0:01 kept");
    Append(file.path(), "   0:00 back\n   0:01 again\n");
    EXPECT_EQ(Follow(model), FileChange::Replaced);
    EXPECT_FALSE(model.deleted());
    EXPECT_EQ(DumpModel(model), FreshDump(file.path()));
}

TEST(Follow, ALogRenamedAwayIsReadOnThroughItsDescriptor) {
    TempFile file("   0:01 before\n");
    const std::string rotated = file.path() + ".1";
    LogModel model;
    model.Load(file.path());
    fs::rename(file.path(), rotated);
    EXPECT_EQ(Follow(model), FileChange::Deleted);
    // The writer still holds the old file: what it writes there is read.
    Append(rotated, "   0:02 after the rename\n");
    EXPECT_EQ(Follow(model), FileChange::Grew);
    EXPECT_EQ(DumpModel(model), FreshDump(rotated));
    EXPECT_EQ(Follow(model), FileChange::None);
    fs::remove(rotated);
}

TEST(Follow, ARotatedFileGoesAsideWithItsLinesAndIsReadOnThere) {
    TempFile file("   0:01 old one\n   0:02 old tw");
    const std::string rotated = file.path() + ".1";
    LogModel model;
    model.Load(file.path());
    LogStore old;
    fs::rename(file.path(), rotated);
    Append(file.path(), "   0:00 new\n");
    EXPECT_EQ(model.Refresh(&old), FileChange::Replaced);
    EXPECT_EQ(model.LineText(0), "   0:00 new");
    ASSERT_EQ(old.lineCount(), 1);
    EXPECT_EQ(old.LineText(0), "   0:01 old one");
    EXPECT_EQ(old.identity(), IdentityOfPath(rotated));
    // The line the writer was in the middle of, and one more.
    Append(rotated, "o\n   0:03 late\n");
    EXPECT_EQ(old.ReadGrowth(), FileChange::Grew);
    ASSERT_EQ(old.lineCount(), 3);
    EXPECT_EQ(old.LineText(1), "   0:02 old two");
    EXPECT_EQ(old.LineText(2), "   0:03 late");
    EXPECT_EQ(old.ReadGrowth(), FileChange::None);
    fs::resize_file(rotated, 4);
    EXPECT_EQ(old.ReadGrowth(), FileChange::Truncated);
    fs::remove(rotated);
}

TEST(Follow, ALoadFromAPlaceStartsThereAndReadsTheStampsFromTheFirstLines) {
    // Short stamps at the start, long ones after the place: the width is the
    // whole file's, as a load from the beginning finds it.
    const std::string head = "  0:01 a\n  0:02 b\n  0:03 c\n  0:04 d\n";
    TempFile file(head + "   0:05 e\n   0:06 f\n");
    LogModel whole;
    whole.Load(file.path());
    LogModel fromPlace;
    fromPlace.Load(file.path(), 1 << 20, static_cast<std::int64_t>(head.size()));
    ASSERT_EQ(fromPlace.lineCount(), 2);
    EXPECT_EQ(fromPlace.LineText(0), "   0:05 e");
    EXPECT_EQ(fromPlace.store().LineEndOffset(1), static_cast<std::int64_t>(head.size() + 20));
    EXPECT_EQ(fromPlace.eventTextOffset(), whole.eventTextOffset());
    EXPECT_EQ(whole.eventTextOffset(), 7);
    // It follows the file from there on, and a place past the end is no
    // place in this file: it is read from its beginning.
    Append(file.path(), "   0:07 g\n");
    EXPECT_EQ(fromPlace.Refresh(), FileChange::Grew);
    EXPECT_EQ(fromPlace.LineText(2), "   0:07 g");
    LogModel pastTheEnd;
    pastTheEnd.Load(file.path(), 1 << 20, 1 << 20);
    EXPECT_EQ(pastTheEnd.lineCount(), 7);
}

TEST(Follow, AnUnchangedFileIsNoChange) {
    TempFile file("   0:01 still\n");
    LogModel model;
    model.Load(file.path());
    EXPECT_EQ(Follow(model), FileChange::None);
    EXPECT_EQ(Follow(model), FileChange::None);
    EXPECT_EQ(model.lineCount(), 1);
}

TEST(Follow, GrowthPastTheRoomMappedMovesTheMappingAndKeepsEveryLine) {
    // Long lines, so that many megabytes make few lines.
    const std::string line = std::string(1024 * 1024 - 1, 'x') + "\n";
    TempFile file("   0:00 first\n");
    LogModel model;
    model.Load(file.path());
    for (int i = 0; i < 80; ++i) { // past the least room of 64 MiB
        Append(file.path(), line);
    }
    Append(file.path(), "   0:01 last\n");
    EXPECT_EQ(Follow(model), FileChange::Grew);
    ASSERT_EQ(model.lineCount(), 82);
    EXPECT_EQ(model.LineText(0), "   0:00 first");
    EXPECT_EQ(model.LineText(81), "   0:01 last");
    EXPECT_EQ(model.LineText(40), std::string_view(line).substr(0, line.size() - 1));
}

TEST(Follow, AFifoIsRefusedWithoutBlocking) {
    const std::string path = (fs::temp_directory_path() / "quarvel-test-fifo.log").string();
    fs::remove(path);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    LogModel model;
    EXPECT_FALSE(model.Load(path));
    EXPECT_EQ(model.loadStatus(), LoadStatus::OpenFailed);
    fs::remove(path);
}

} // namespace
