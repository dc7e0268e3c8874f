#include "../logmodel/TempFile.h"
#include "BanStates.h"
#include "FakeGameServer.h"
#include "QuarvelctlRun.h"
#include "ScratchDatabase.h"
#include "TestApplication.h"

#include <gtest/gtest.h>

namespace {

const std::string kSyncGuid = "00112233445566778899AABBCCDDEEFF";

// quarvelctl bans sync: a line a server, 0 only when every server holds
// every permanent ban.
class BansSyncCommand : public testing::Test {
protected:
    void SetUp() override {
        if (!scratch.skipReason().empty()) {
            GTEST_SKIP() << scratch.skipReason();
        }
        scratch.Create();
        BanStates(scratch.location(), "alice").Ban({kSyncGuid, "aimbot", "Cheater", "192.0.2.9"});
    }

    ProgramRun Sync() {
        const TempFile config(ServerBlock("Last", last.port(), "three") +
                                  ServerBlock("First", first.port(), "one") +
                                  "[database]\nfile=" + scratch.location() + "\n",
                              ".cfg");
        return Quarvelctl({"bans", "sync", "--config", QString::fromStdString(config.path())});
    }

    TestApplication app;
    ScratchDatabase scratch{TestEngine::Sqlite};
    FakeGameServer first{"one"}, last{"three"};
};

TEST_F(BansSyncCommand, ExitsWithZeroOnlyWhenEveryServerHoldsEveryBan) {
    const struct {
        std::string firstPassword; // "other": the configured one is wrong
        int exitCode;
        std::string out;
    } runs[] = {
        {"other", 1,
         "First: sent 1, succeeded 0, failed 1, already held 0 (first failure: " + kSyncGuid +
             ": Invalid RCON password)\nLast: sent 1, succeeded 1, failed 0, already held 0\n"},
        {"one", 0,
         "First: sent 1, succeeded 1, failed 0, already held 0\nLast: sent 0, succeeded 0, "
         "failed 0, already held 1\n"},
        {"one", 0,
         "First: sent 0, succeeded 0, failed 0, already held 1\nLast: sent 0, succeeded 0, "
         "failed 0, already held 1\n"},
    };
    for (const auto& r : runs) {
        first.SetPassword(r.firstPassword);
        const ProgramRun run = Sync();
        EXPECT_EQ(run.exitCode, r.exitCode) << run.err;
        EXPECT_EQ(run.out, r.out);
    }
    EXPECT_TRUE(first.IsBanned(kSyncGuid));
    EXPECT_TRUE(last.IsBanned(kSyncGuid));
}

TEST_F(BansSyncCommand, ListingOptionsAreAUsageErrorAndNoServerIsAFailure) {
    EXPECT_EQ(Quarvelctl({"bans", "sync", "--active"}).exitCode, 2);
    EXPECT_EQ(Quarvelctl({"bans", "resync"}).exitCode, 2);
    const TempFile config("[database]\nfile=" + scratch.location() + "\n", ".cfg");
    const ProgramRun run =
        Quarvelctl({"bans", "sync", "--config", QString::fromStdString(config.path())});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "quarvelctl: No servers configured\n");
}

} // namespace
