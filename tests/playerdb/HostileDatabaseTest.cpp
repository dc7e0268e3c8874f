#include "../cli/RunQuarvelctl.h"
#include "HarvestLog.h"
#include "ScratchDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

// quarvelctl harvest against SQLite files that are not what they should be,
// or that another program holds: a clear message, no file changed that is
// not a player database, and a writer's lock waited for.
namespace {

constexpr char kHostileGuid[] = "0123456789ABCDEF0123456789ABCDEF";

std::string ConfigFor(const ScratchDatabase& scratch, const std::string& file) {
    const std::string config = scratch.FileInFolder("quarvel.cfg");
    std::ofstream(config) << "[database]\nfile=" << file << "\n";
    return config;
}

struct NotADatabase {
    const char* name;
    std::string bytes;
    std::string said; // by the harvest, or by the engine for a damaged file
};

void PrintTo(const NotADatabase& c, std::ostream* os) {
    *os << c.name;
}

class NotAPlayerDatabaseFile : public testing::TestWithParam<NotADatabase> {};

// SQLite takes an empty or foreign file for a new database and writes into
// it; the harvest refuses it first and leaves every byte as it was.
TEST_P(NotAPlayerDatabaseFile, IsRefusedAndLeftUnchanged) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    const std::string file = scratch.FileInFolder("players.sqlite");
    std::ofstream(file, std::ios::binary) << GetParam().bytes;
    HarvestLog log({ConnectLine(0, "1.2.3.4", kHostileGuid), UserinfoLine(0, "Bob")});

    const CliResult r =
        RunQuarvelctl({"harvest", "--config", ConfigFor(scratch, file), log.path()});

    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(GetParam().said), std::string::npos) << r.err;
    EXPECT_EQ(ReadWholeFile(file), GetParam().bytes);
    EXPECT_FALSE(std::filesystem::exists(file + "-wal"));
    EXPECT_FALSE(std::filesystem::exists(file + "-journal"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotAPlayerDatabaseFile,
    testing::Values(NotADatabase{"Empty", "", "is not a player database"},
                    NotADatabase{"Text", "[server]\nname=A\n", "is not a player database"},
                    NotADatabase{"ShortHeader", "SQLite format", "is not a player database"},
                    NotADatabase{"HeaderOnly", std::string("SQLite format 3\0", 16),
                                 "file is not a database"}),
    [](const testing::TestParamInfo<NotADatabase>& info) { return info.param.name; });

TEST(HostileDatabase, AnSqliteDatabaseWithoutThePlayerTablesIsLeftUnchanged) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    const std::string file = scratch.FileInFolder("other.sqlite");
    {
        const QString name = QStringLiteral("other-db");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(QString::fromStdString(file));
            ASSERT_TRUE(db.open());
            QSqlQuery(db).exec(QStringLiteral("CREATE TABLE Notes (text TEXT)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    const std::string before = ReadWholeFile(file);
    HarvestLog log({ConnectLine(0, "1.2.3.4", kHostileGuid), UserinfoLine(0, "Bob")});

    const CliResult r =
        RunQuarvelctl({"harvest", "--config", ConfigFor(scratch, file), log.path()});

    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("is not a player database"), std::string::npos) << r.err;
    EXPECT_EQ(ReadWholeFile(file), before);
    EXPECT_FALSE(std::filesystem::exists(file + "-wal"));
}

// Another program holds a write transaction for a while: the harvest waits
// for it (within the busy timeout) instead of failing at once with
// "database is locked", and both programs' rows are kept.
TEST(HostileDatabase, AWriterHoldingTheDatabaseIsWaitedFor) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    scratch.Create();
    const std::string file = scratch.location();
    const std::string config = ConfigFor(scratch, file);
    HarvestLog log({ConnectLine(0, "1.2.3.4", kHostileGuid), UserinfoLine(0, "Bob")});

    std::atomic<bool> holding = false;
    std::atomic<bool> failed = false;
    std::thread otherWriter([&] {
        const QString name = QStringLiteral("other-writer");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(QString::fromStdString(file));
            if (!db.open() || !QSqlQuery(db).exec(QStringLiteral("BEGIN IMMEDIATE")) ||
                !QSqlQuery(db).exec(QStringLiteral(
                    "INSERT INTO GUID (GUID) VALUES ('FEDCBA9876543210FEDCBA9876543210')"))) {
                failed = true;
                holding = true;
                return;
            }
            holding = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            failed = !QSqlQuery(db).exec(QStringLiteral("COMMIT"));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    });
    while (!holding) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const CliResult r = RunQuarvelctl({"harvest", "--config", config, log.path()});
    otherWriter.join();

    ASSERT_FALSE(failed);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // The run counted the rows it could see when it began.
    EXPECT_EQ(r.out, "GUIDs new 1 total 1; Players new 1 total 1\n");
    EXPECT_EQ(scratch.QueryText(R"(SELECT COUNT(*) FROM "GUID")"), "2");
}

} // namespace
