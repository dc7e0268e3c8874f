// The live harvest on each engine: a log harvested batch by batch while it
// grows must leave the rows one database update of the final file leaves.
#include "LiveHarvest.h"

#include "DatabaseSuite.h"
#include "DatabaseUpdateRun.h"
#include "TempFile.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

std::string SampleLog() {
    std::ifstream in(QUARVEL_SOURCE_DIR "/samples/sample.log", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Append(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class NoProgress final : public DatabaseUpdateProgress {
public:
    void Begin(int) override {}
    bool StepDone(int, const HarvestCounters&) override { return true; }
};

class LiveHarvestTest : public DatabaseSuite {
protected:
    static std::vector<std::string> Rows(ScratchDatabase& database) {
        std::vector<std::string> rows = database.QueryColumn(
            R"(SELECT "Guid_Key" || ' ' || "IP_Full" || ' ' || "Player_Name_formated" || ' ' || )"
            R"("Player_Name" FROM "Players" ORDER BY "Player_key")");
        for (const std::string& guid : database.QueryColumn(
                 R"(SELECT "Guid_Key" || ' ' || "GUID" FROM "GUID" ORDER BY "Guid_Key")")) {
            rows.push_back("GUID " + guid);
        }
        return rows;
    }

    // One database update of the whole file into a fresh database.
    std::vector<std::string> RowsOfOneUpdate(const std::string& path) {
        ScratchDatabase fresh(GetParam());
        fresh.Create();
        LogModel model;
        model.Load(path);
        model.SetPlayerDatabase(
            std::make_unique<SqlPlayerDatabase>(fresh.location(), [] { return kFixedDay; }));
        NoProgress progress;
        EXPECT_FALSE(RunHarvestWalk(model, progress).failure);
        return Rows(fresh);
    }
};

TEST_P(LiveHarvestTest, BatchesWhileTheLogGrowsLeaveWhatOneUpdateOfTheFinalFileLeaves) {
    const std::string log = SampleLog();
    TempFile file("");
    LogModel model;
    model.Load(file.path());
    {
        LiveHarvest live(model, NewDatabase());
        // Pieces that cut lines, so batches end in the middle of a player's
        // connection and name lines.
        for (std::size_t at = 0; at < log.size(); at += 7001) {
            Append(file.path(), std::string_view(log).substr(at, 7001));
            model.Refresh();
            while (!live.upToDate()) {
                ASSERT_FALSE(live.HarvestMore(50)) << at;
            }
        }
        EXPECT_EQ(live.harvested(), model.lineCount());
        EXPECT_GT(live.counters().playersNew, 0);
    }
    EXPECT_EQ(Rows(scratch()), RowsOfOneUpdate(file.path()));
}

TEST_P(LiveHarvestTest, ALogLoadedAgainIsHarvestedFromItsStartWithEmptySlots) {
    // The name line of the new file comes before its slot's connection: the
    // slot the old file left must not lend it a GUID.
    TempFile file("  12:34 ClientConnect: 4 - 1.2.3.4:1 [" + std::string(kGuidA) + "]\n");
    LogModel model;
    model.Load(file.path());
    LiveHarvest live(model, NewDatabase());
    ASSERT_FALSE(live.HarvestMore(100));
    std::filesystem::resize_file(file.path(), 0);
    Append(file.path(), "  12:35 ClientUserinfoChanged: 4 n\\Bob\\t\\1\\m\n");
    ASSERT_EQ(model.Refresh(), FileChange::Truncated);
    ASSERT_FALSE(live.Restart());
    ASSERT_FALSE(live.HarvestMore(100));
    EXPECT_EQ(live.harvested(), 1);
    EXPECT_TRUE(scratch().QueryColumn(R"(SELECT "Player_Name" FROM "Players")").empty());
}

TEST_P(LiveHarvestTest, AFailureEndsItAndKeepsWhatWasStored) {
    const std::string connect =
        "  12:34 ClientConnect: 1 - 1.2.3.4:1 [" + std::string(kGuidA) + "]\n";
    TempFile file(connect + "  12:35 ClientUserinfoChanged: 1 n\\Bob\\t\\1\\m\n");
    LogModel model;
    model.Load(file.path());
    LiveHarvest live(model, NewDatabase());
    ASSERT_FALSE(live.HarvestMore(100));
    scratch().Execute(R"(DROP TABLE "Players")");
    Append(file.path(), "  12:36 ClientUserinfoChanged: 1 n\\Rob\\t\\1\\m\n");
    model.Refresh();
    const auto failure = live.HarvestMore(100);
    ASSERT_TRUE(failure);
    EXPECT_FALSE(failure->text.empty());
    EXPECT_TRUE(live.failed());
    EXPECT_TRUE(live.upToDate()); // nothing more is tried
    EXPECT_EQ(scratch().QueryColumn(R"(SELECT "GUID" FROM "GUID")"),
              std::vector<std::string>{kGuidA});
}

QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(LiveHarvestTest);

} // namespace
