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

// Harvests what the model has, to its end.
void HarvestAll(LiveHarvest& live) {
    for (int batches = 0; !live.upToDate() && batches < 1000; ++batches) {
        ASSERT_FALSE(live.HarvestMore(300));
    }
}

TEST_P(LiveHarvestTest, AFollowerGoesOnFromThePlaceTheLastOneStored) {
    const std::string log = SampleLog();
    // Cut inside a player's lines: the slots must carry over.
    const std::size_t cut = log.find('\n', log.size() / 2) + 1;
    TempFile file(log.substr(0, cut));
    const FollowerKey key{"host", file.path()};
    {
        LogModel model;
        model.Load(file.path());
        LiveHarvest live(model, NewDatabase());
        live.KeepPlace(key);
        HarvestAll(live);
        EXPECT_EQ(live.resumedAt(), -1);
    }
    Append(file.path(), std::string_view(log).substr(cut));
    // Once on the whole file, once on a store that starts at the place.
    for (const std::int64_t firstByte : {std::int64_t{0}, static_cast<std::int64_t>(cut)}) {
        SCOPED_TRACE(firstByte);
        LogModel model;
        model.Load(file.path(), 1 << 30, firstByte);
        LiveHarvest live(model, NewDatabase());
        live.KeepPlace(key);
        HarvestAll(live);
        EXPECT_EQ(live.resumedAt(), static_cast<std::int64_t>(firstByte == 0 ? cut : log.size()));
        EXPECT_EQ(live.counters().guidsNew + live.counters().playersNew > 0, firstByte == 0);
    }
    EXPECT_EQ(Rows(scratch()), RowsOfOneUpdate(file.path()));
}

TEST_P(LiveHarvestTest, AFileReplacedOrRewrittenIsHarvestedFromItsBeginning) {
    const std::string connect =
        "  12:34 ClientConnect: 1 - 1.2.3.4:1 [" + std::string(kGuidA) + "]\n";
    TempFile file(connect + "  12:35 ClientUserinfoChanged: 1 n\\Bob\\t\\1\\m\n");
    const FollowerKey key{"host", file.path()};
    const auto follow = [&] {
        LogModel model;
        model.Load(file.path());
        LiveHarvest live(model, NewDatabase());
        live.KeepPlace(key);
        HarvestAll(live);
        return live.resumedAt();
    };
    EXPECT_EQ(follow(), -1);
    const std::string rewritten = connect + "  12:36 ClientUserinfoChanged: 1 n\\Amy\\t\\1\\m\n";
    std::filesystem::resize_file(file.path(), 0); // rewritten in place, same length
    Append(file.path(), rewritten);
    EXPECT_EQ(follow(), -1);
    // Another file under the path (its inode may be the old one's again: its
    // first bytes tell it apart).
    std::filesystem::remove(file.path());
    Append(file.path(), "  12:30 InitGame: another map\n" + rewritten +
                            "  12:37 ClientUserinfoChanged: 1 n\\Eve\\t\\1\\m\n");
    EXPECT_EQ(follow(), -1);
    EXPECT_EQ(scratch().QueryColumn(R"(SELECT "Player_Name" FROM "Players" ORDER BY "Player_key")"),
              (std::vector<std::string>{"Bob", "Amy", "Eve"}));
    EXPECT_EQ(follow(), static_cast<std::int64_t>(std::filesystem::file_size(file.path())));
}

QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(LiveHarvestTest);

} // namespace

namespace {

// A live harvest whose connection the server drops mid-way (a restart, a
// failover) keeps its place and goes on over a new connection: nothing lost,
// nothing doubled.
TEST(LiveHarvestPostgres, ALostConnectionInterruptsAndTheHarvestGoesOnFromItsPlace) {
    ScratchDatabase scratch(TestEngine::Postgres, ScratchDatabase::Isolation::Database);
    if (!scratch.skipReason().empty()) {
        GTEST_SKIP() << scratch.skipReason();
    }
    scratch.Create();
    const std::string log = SampleLog();
    TempFile file(log.substr(0, log.size() / 3));
    LogModel model;
    model.Load(file.path());
    LiveHarvest live(model, std::make_unique<SqlPlayerDatabase>(scratch.location()));
    live.KeepPlace({"host", file.path()});
    ASSERT_FALSE(live.HarvestMore(100000));
    ASSERT_TRUE(live.upToDate());
    scratch.Execute("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = "
                    "current_database() AND pid <> pg_backend_pid()");
    Append(file.path(), std::string_view(log).substr(log.size() / 3));
    model.Refresh();
    ASSERT_FALSE(live.HarvestMore(100000));
    EXPECT_TRUE(live.interrupted());
    EXPECT_FALSE(live.interruption().empty());
    EXPECT_FALSE(live.upToDate());
    ASSERT_FALSE(live.HarvestMore(100000)); // connects again
    EXPECT_FALSE(live.interrupted());
    EXPECT_TRUE(live.upToDate());

    ScratchDatabase fresh(TestEngine::Postgres);
    fresh.Create();
    LogModel whole;
    whole.Load(file.path());
    LiveHarvest once(whole, std::make_unique<SqlPlayerDatabase>(fresh.location()));
    ASSERT_FALSE(once.HarvestMore(100000));
    const std::string sightings =
        R"(SELECT g."GUID" || ' ' || p."IP_Full" || ' ' || p."Player_Name" FROM "Players" p )"
        R"(JOIN "GUID" g ON g."Guid_Key" = p."Guid_Key" ORDER BY p."Player_key")";
    EXPECT_EQ(scratch.QueryColumn(sightings), fresh.QueryColumn(sightings));
}

} // namespace
