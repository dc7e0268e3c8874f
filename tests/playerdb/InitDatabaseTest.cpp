#include "DatabaseSuite.h"
#include "PlayerSchema.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using InitDatabaseTest = DatabaseSuite; // the schema is made by init-db already

TEST_P(InitDatabaseTest, MakesAnEmptyDatabaseThatOpens) {
    auto database = OpenDatabase();
    EXPECT_EQ(database->CountGuids(), 0);
    EXPECT_EQ(database->CountPlayers(), 0);
    const std::int32_t key = database->AddGuid(kGuidA);
    EXPECT_GT(key, 0);
}

TEST_P(InitDatabaseTest, RefusesADatabaseThatHasTheTablesAndLeavesItAlone) {
    {
        auto database = OpenDatabase();
        database->AddGuid(kGuidA);
        database->Close();
    }
    std::string error;
    EXPECT_FALSE(InitPlayerDatabase(scratch().location(), error));
    EXPECT_FALSE(error.empty());
    auto database = OpenDatabase();
    EXPECT_EQ(database->CountGuids(), 1);
}

TEST_P(InitDatabaseTest, MakesTheNamedIndexes) {
    const std::string sql =
        GetParam() == TestEngine::Sqlite
            ? "SELECT name FROM sqlite_master WHERE type = 'index' AND name NOT LIKE "
              "'sqlite_%' ORDER BY name"
            : "SELECT indexname FROM pg_indexes WHERE schemaname = current_schema() AND "
              "indexname NOT LIKE '%pkey' AND indexname <> 'Players_Name_Trigrams' ORDER BY "
              "indexname";
    // The ban records' index and the ban states' two beside the two of old;
    // on PostgreSQL the finds' byte-order indexes of addresses and GUIDs too.
    const std::vector<std::string> expected =
        GetParam() == TestEngine::Sqlite
            ? std::vector<std::string>{"Ban_Records_GUID", "Ban_States_GUID", "Ban_States_Open",
                                       "GUID_GUID", "Players_Sighting"}
            : std::vector<std::string>{"Ban_Records_GUID", "Ban_States_GUID", "Ban_States_Open",
                                       "GUID_GUID",        "GUID_GUID_C",     "Players_IP_Full",
                                       "Players_Sighting"};
    EXPECT_EQ(scratch().QueryColumn(sql), expected);
}

QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(InitDatabaseTest);

TEST(InitDatabaseSqlite, NeverTouchesAnExistingFile) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    { std::ofstream(scratch.location(), std::ios::binary) << "an admin's notes"; }
    std::string error;
    EXPECT_FALSE(InitPlayerDatabase(scratch.location(), error));
    EXPECT_NE(error.find("already exists"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(scratch.location()), "an admin's notes");
}

TEST(InitDatabaseSqlite, NeverFollowsADanglingLink) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    const std::string target = scratch.FileInFolder("elsewhere.sqlite");
    std::filesystem::create_symlink(target, scratch.location());
    std::string error;
    EXPECT_FALSE(InitPlayerDatabase(scratch.location(), error));
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(InitDatabaseSqlite, AFolderThatIsNotThereLeavesNothingBehind) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    const std::string path = scratch.FileInFolder("missing/players.sqlite");
    std::string error;
    EXPECT_FALSE(InitPlayerDatabase(path, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(scratch.FileInFolder("missing")));
}

TEST(InitDatabaseSqlite, ABadUriIsRefusedWithItsReason) {
    std::string error;
    EXPECT_FALSE(InitPlayerDatabase("postgresql://host:notaport/db", error));
    EXPECT_NE(error.find("the port"), std::string::npos) << error;
    EXPECT_EQ(error.find("notaport"), std::string::npos) << error; // it might be a password
}

} // namespace
