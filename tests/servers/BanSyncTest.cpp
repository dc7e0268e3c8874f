#include "BanSync.h"

#include "BanFlow.h"
#include "BanRecordStore.h"
#include "BanStates.h"
#include "FakeGameServer.h"
#include "FlowToEnd.h"
#include "MessageRecorder.h"
#include "ScratchDatabase.h"
#include "TestApplication.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const std::string kSyncedGuid = "00112233445566778899AABBCCDDEEFF";
const std::string kLiftedSyncGuid = "FFEEDDCCBBAA99887766554433221100";

BanRecord Record(const std::string& action, const std::string& server, const std::string& result) {
    BanRecord record;
    record.action = action;
    record.server = server;
    record.result = result;
    return record;
}

// Records newest first, as the history reads them.
struct HeldCase {
    const char* name;
    std::vector<BanRecord> records;
    bool held;
};

class BanHeld : public testing::TestWithParam<HeldCase> {};

TEST_P(BanHeld, IsTheNewestBanOrUnbanOnThatServer) {
    EXPECT_EQ(BanHeldOn(GetParam().records, "Main"), GetParam().held);
}

const BanRecord kDone = Record("ban", "Main", kBanDoneText);

INSTANTIATE_TEST_SUITE_P(
    Records, BanHeld,
    testing::Values(
        HeldCase{"None", {}, false}, HeldCase{"Done", {kDone}, true},
        HeldCase{"AlreadyOnTheBanList", {Record("ban", "Main", kBanRefusedText)}, true},
        HeldCase{"NoReply", {Record("ban", "Main", "No reply"), kDone}, false},
        HeldCase{
            "UnbannedSince", {Record("unban", "Main", "GUID removed from ban list"), kDone}, false},
        HeldCase{"BannedAgainAfterAnUnban",
                 {kDone, Record("unban", "Main", "GUID removed from ban list")},
                 true},
        HeldCase{"KicksAndMessagesSayNothing",
                 {Record("kick", "Main", "Done"), Record("message", "Main", "Done"), kDone},
                 true},
        HeldCase{"TheStatesOwnRecordIsNoServers", {Record("ban", "", "Banned permanently")}, false},
        HeldCase{"AnotherServersBan", {Record("ban", "Other", kBanDoneText)}, false}),
    [](const testing::TestParamInfo<HeldCase>& info) { return std::string(info.param.name); });

ServerEntry Server(const std::string& name, const FakeGameServer& fake,
                   const std::string& password) {
    return ServerEntry{name, "127.0.0.1", fake.port(), password};
}

// Three servers and a scratch database; "Late" was silent when the ban was
// made, and answers again (on a new port) by the time of the sync.
class BanSyncRun : public testing::Test {
protected:
    void SetUp() override {
        if (!scratch.skipReason().empty()) {
            GTEST_SKIP() << scratch.skipReason();
        }
        scratch.Create();
    }

    std::forward_list<ServerEntry> Servers(const FakeGameServer& late) const {
        return {Server("First", first, "one"), Server("Late", late, "late"),
                Server("Last", last, "three")};
    }

    // A permanent ban as Player Info makes it: the servers asked, then the state.
    void BanEverywhere(const std::forward_list<ServerEntry>& servers, const std::string& guid) {
        BanRecordStore records(scratch.location(), "alice");
        FixedBanReason reason("aimbot");
        MessageRecorder messages;
        BanOnEveryServer(servers, BanTarget{guid, "192.0.2.9", "^1Cheater"}, reason, messages,
                         &records);
        BanStates(scratch.location(), "alice").Ban({guid, "aimbot", "^1Cheater", "192.0.2.9"});
    }

    // Runs a sync to its end (30 s at most).
    void Sync(BanSync& sync) {
        QEventLoop loop;
        QObject::connect(&sync, &BanSync::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        sync.Start();
        loop.exec();
        ASSERT_FALSE(sync.running());
    }

    TestApplication app;
    ScratchDatabase scratch{TestEngine::Sqlite};
    FakeGameServer first{"one"}, silent{"late"}, last{"three"};
};

TEST_F(BanSyncRun, TheServerThatWasSilentGetsTheBanAndTheOthersAreNotAskedAgain) {
    silent.StaySilent();
    BanEverywhere(Servers(silent), kSyncedGuid);
    ASSERT_TRUE(first.IsBanned(kSyncedGuid));
    ASSERT_FALSE(silent.IsBanned(kSyncedGuid));

    FakeGameServer back{"late"};
    BanSync sync(Servers(back), scratch.location());
    std::vector<std::pair<int, int>> progress;
    QObject::connect(&sync, &BanSync::progressed,
                     [&](int done, int total) { progress.emplace_back(done, total); });
    Sync(sync);
    EXPECT_EQ(sync.error(), "");
    EXPECT_TRUE(back.IsBanned(kSyncedGuid));
    ASSERT_EQ(back.commands().size(), 1u);
    EXPECT_EQ(back.commands()[0],
              "pb_sv_banguid " + kSyncedGuid + " \"^1Cheater\" 192.0.2.9 \"aimbot\"");
    EXPECT_EQ(first.commands().size(), 1u); // the ban's own request only
    EXPECT_EQ(last.commands().size(), 1u);
    std::vector<std::string> lines;
    for (const BanSyncServerReport& report : sync.reports()) {
        lines.push_back(BanSyncReportLine(report));
    }
    EXPECT_EQ(lines,
              (std::vector<std::string>{"First: sent 0, succeeded 0, failed 0, already held 1",
                                        "Late: sent 1, succeeded 1, failed 0, already held 0",
                                        "Last: sent 0, succeeded 0, failed 0, already held 1"}));
    EXPECT_TRUE(sync.EveryServerHoldsEveryBan());
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}}));

    // The outcome is recorded: the next sync asks nobody.
    BanSync again(Servers(back), scratch.location());
    Sync(again);
    EXPECT_EQ(back.commands().size(), 1u);
    EXPECT_EQ(BanSyncReportLine(again.reports()[1]),
              "Late: sent 0, succeeded 0, failed 0, already held 1");
    EXPECT_TRUE(again.EveryServerHoldsEveryBan());
}

TEST_F(BanSyncRun, TempBansLiftedBansAndHeldOnesStayAndFailuresAreSaid) {
    BanStates states(scratch.location(), "alice");
    states.TempBan({kSyncedGuid, "spam", "Temp", "192.0.2.1"}, 60);
    states.Ban({kLiftedSyncGuid, "wallhack", "Gone", "192.0.2.2"});
    states.Lift(kLiftedSyncGuid, "appeal");
    const std::string noAddress = "0123456789ABCDEF0123456789ABCDEF";
    states.Ban({noAddress, "aimbot", "Ghost", ""});
    const std::string refused = "ABCDEFABCDEFABCDEFABCDEFABCDEF01";
    states.Ban({refused, "aimbot", "Known", "192.0.2.3"});
    states.Close();
    first.AddBan(refused); // on its list already, by hand

    // Last's password is wrong: it refuses every request.
    BanSync sync({Server("First", first, "one"), Server("Last", last, "wrong")},
                 scratch.location());
    Sync(sync);
    ASSERT_EQ(sync.reports().size(), 2u);
    EXPECT_EQ(sync.permanentBans(), 2);
    EXPECT_EQ(BanSyncReportLine(sync.reports()[0]),
              "First: sent 2, succeeded 1, failed 1, already held 0 (first failure: " + noAddress +
                  ": No address is known for this GUID: nothing was sent)");
    EXPECT_EQ(BanSyncReportLine(sync.reports()[1]),
              "Last: sent 2, succeeded 0, failed 2, already held 0 (first failure: " + noAddress +
                  ": No address is known for this GUID: nothing was sent)");
    EXPECT_EQ(last.commands().size(), 0u); // refused at the password
    EXPECT_FALSE(sync.EveryServerHoldsEveryBan());
    // Neither the temp-ban nor the lifted ban went anywhere.
    EXPECT_EQ(first.commands(), (std::vector<std::string>{"pb_sv_banguid " + refused +
                                                          " \"Known\" 192.0.2.3 \"aimbot\""}));
}

TEST_F(BanSyncRun, NoServerOrNoDatabaseSendsNothing) {
    BanSync noServers({}, scratch.location());
    Sync(noServers);
    EXPECT_EQ(noServers.error(), "No servers configured");
    BanSync noDatabase({Server("First", first, "one")}, "");
    Sync(noDatabase);
    EXPECT_EQ(noDatabase.error(), "No player database is configured.");
    EXPECT_FALSE(noDatabase.EveryServerHoldsEveryBan());
    EXPECT_TRUE(first.commands().empty());
}

} // namespace
