// The Find player window on the offscreen platform: finds on a real database
// and on look-ups of the test's own, the busy indicator, the table, and Ban
// and Unban over fake game servers with their records.
#include "AppConfig.h"
#include "BanHistoryList.h"
#include "CBanReasonDlg.h"
#include "CFindPlayerDlg.h"
#include "FakeGameServer.h"
#include "FoundPlayersModel.h"
#include "MessageRecorder.h"
#include "ModalHandler.h"
#include "NameColourRuns.h"
#include "ReadOnlyDatabase.h"
#include "ScratchDatabase.h"
#include "SqlPlayerLookup.h"
#include "StoredPlayers.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QTableView>
#include <QTest>
#include <atomic>
#include <deque>
#include <gtest/gtest.h>

namespace {

constexpr char kGuidA[] = "0123456789ABCDEF0123456789ABCDEF";
constexpr char kGuidB[] = "0123FFFF89ABCDEF0123456789ABCDEF";

QStringList Items(const QWidget& window, const char* name) {
    QStringList items;
    const auto* list = window.findChild<QListWidget*>(QString::fromLatin1(name));
    for (int i = 0; list != nullptr && i < list->count(); ++i) {
        items << list->item(i)->text();
    }
    return items;
}

QString Status(const QWidget& window) {
    return window.findChild<QLabel*>(QStringLiteral("status"))->text();
}

QPushButton* Button(const QWidget& window, const char* name) {
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
}

QTableView* Table(const QWidget& window) {
    return window.findChild<QTableView*>(QStringLiteral("players"));
}

// The table's column as shown, top to bottom.
QStringList Column(const QWidget& window, int column) {
    QStringList cells;
    const QAbstractItemModel* model = Table(window)->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        cells << model->index(row, column).data().toString();
    }
    return cells;
}

// Lets the look-ups off the user-interface thread come back.
bool WaitUntilIdle(const CFindPlayerDlg& window) {
    return QTest::qWaitFor([&] { return !window.busy(); }, 10000);
}

FoundPlayer Player(const std::string& guid, const std::string& name, int names = 1) {
    FoundPlayer player;
    player.guid = guid;
    player.latestName = name;
    player.latestAddress = "1.2.3.4";
    for (int i = 0; i < names; ++i) {
        player.names.push_back(name + std::to_string(i));
    }
    player.addresses = {"1.2.3.4"};
    player.sightings = names;
    player.firstSeen = player.lastSeen = "2004-02-01";
    return player;
}

// Look-ups of a test's own: answers it is given, a failure on demand, and a
// gate that holds the find of the name "slow" until the test lets it go.
struct FakeAnswers {
    PlayerFindResult result;
    bool failOpen = false;
    std::shared_ptr<QSemaphore> gate = std::make_shared<QSemaphore>();
    std::atomic<int> opened{0};
};

class FakeLookup final : public PlayerLookup {
public:
    explicit FakeLookup(std::shared_ptr<FakeAnswers> answers) : answers_(std::move(answers)) {}
    void Open() override {
        ++answers_->opened;
        if (answers_->failOpen) {
            throw DatabaseError("could not connect to server: Connection refused");
        }
    }
    void Close() override {}
    PlayerFindResult FindPlayers(const PlayerSearch& search, int) override {
        if (search.name == "slow") {
            answers_->gate->acquire();
            return {{Player(kGuidB, "Slow")}, false};
        }
        return answers_->result;
    }
    std::vector<BanRecord> BanHistory(std::string_view, int) override { return {}; }

private:
    std::shared_ptr<FakeAnswers> answers_;
};

PlayerQueryRunner::LookupFactory FakeLookups(std::shared_ptr<FakeAnswers> answers) {
    return [answers] { return std::make_unique<FakeLookup>(answers); };
}

// A window over look-ups of the test's own; the configuration names a
// database so that Find is offered.
class FindWindowFake : public ::testing::Test {
protected:
    void SetUp() override {
        config.databasePath = "players.sqlite";
        window.SetMessageSink(&sink);
    }

    AppConfig config;
    std::shared_ptr<FakeAnswers> answers = std::make_shared<FakeAnswers>();
    CFindPlayerDlg window{config, nullptr, FakeLookups(answers)};
    MessageRecorder sink;
};

TEST_F(FindWindowFake, LooksAsDescribed) {
    EXPECT_EQ(window.windowTitle(), "Find player");
    const auto* mode = window.findChild<QComboBox*>(QStringLiteral("searchMode"));
    ASSERT_NE(mode, nullptr);
    QStringList modes;
    for (int i = 0; i < mode->count(); ++i) {
        modes << mode->itemText(i);
    }
    EXPECT_EQ(modes, (QStringList{"Name", "Address", "GUID"}));
    QStringList headers;
    for (int i = 0; i < FoundPlayersModel::kColumns; ++i) {
        headers << Table(window)->model()->headerData(i, Qt::Horizontal).toString();
    }
    EXPECT_EQ(headers, (QStringList{"GUID", "Latest name", "Names", "Addresses", "First seen",
                                    "Last seen", "Ban"}));
    for (const auto& [name, text] :
         {std::pair{"findButton", "Find"}, std::pair{"banButton", "Ban"},
          std::pair{"unbanButton", "Unban"}, std::pair{"copyGuidButton", "Copy GUID"},
          std::pair{"closeButton", "Close"}}) {
        ASSERT_NE(Button(window, name), nullptr) << name;
        EXPECT_EQ(Button(window, name)->text(), text);
    }
    EXPECT_TRUE(Table(window)->isSortingEnabled());
    // Nothing is picked yet.
    EXPECT_FALSE(Button(window, "banButton")->isEnabled());
    EXPECT_FALSE(Button(window, "unbanButton")->isEnabled());
    EXPECT_FALSE(Button(window, "copyGuidButton")->isEnabled());
    EXPECT_FALSE(window.findChild<QProgressBar*>(QStringLiteral("busy"))->isVisibleTo(&window));
}

TEST_F(FindWindowFake, AMalformedTextIsToldInTheWindowAndAsksNothing) {
    for (const auto& [mode, text] :
         {std::pair{PlayerSearchMode::Address, "1.2.3"}, std::pair{PlayerSearchMode::Guid, "12G"},
          std::pair{PlayerSearchMode::Name, ""}}) {
        window.StartFind(mode, QString::fromLatin1(text));
        EXPECT_FALSE(window.busy());
        EXPECT_NE(Status(window), "") << text;
    }
    EXPECT_EQ(Status(window), "The name to look for is empty.");
    EXPECT_EQ(answers->opened, 0);
    EXPECT_TRUE(sink.messages.empty());
}

// An error under the last find's players would pass them off as its
// answer: the table and the lists below it empty, and a find still on its
// way is not shown when it comes.
TEST_F(FindWindowFake, AMalformedTextTakesAwayTheLastFindsPlayers) {
    const auto release = qScopeGuard([gate = answers->gate] { gate->release(); });
    answers->result.players = {Player(kGuidA, "Bob")};
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("bob"));
    ASSERT_TRUE(WaitUntilIdle(window));
    ASSERT_EQ(Table(window)->model()->rowCount(), 1);
    ASSERT_FALSE(Items(window, "names").isEmpty());

    window.StartFind(PlayerSearchMode::Address, QStringLiteral("203.0.113.0/33"));
    EXPECT_NE(Status(window), "1 player found");
    EXPECT_EQ(Table(window)->model()->rowCount(), 0);
    EXPECT_TRUE(Items(window, "names").isEmpty());
    EXPECT_TRUE(Items(window, "addresses").isEmpty());
    EXPECT_FALSE(Button(window, "banButton")->isEnabled());
    EXPECT_FALSE(Button(window, "copyGuidButton")->isEnabled());

    // A find held on its way, then a malformed one: the held answer stays
    // unshown.
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("slow"));
    window.StartFind(PlayerSearchMode::Guid, QStringLiteral("12G"));
    answers->gate->release();
    QTest::qWait(100);
    EXPECT_EQ(Table(window)->model()->rowCount(), 0);
    EXPECT_FALSE(window.busy());
}

TEST_F(FindWindowFake, ACutListSaysSo) {
    for (int i = 0; i < CFindPlayerDlg::kShownLimit; ++i) {
        char guid[33];
        std::snprintf(guid, sizeof guid, "%032X", i);
        answers->result.players.push_back(Player(guid, "Same"));
    }
    answers->result.cut = true;
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("same"));
    ASSERT_TRUE(WaitUntilIdle(window));
    EXPECT_EQ(Status(window), "More than 1,000 players match; only the first 1,000 are shown.");
    EXPECT_EQ(Table(window)->model()->rowCount(), 1000);
}

TEST_F(FindWindowFake, AnEngineErrorIsShownUnderTheApplicationTitle) {
    answers->failOpen = true;
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("bob"));
    ASSERT_TRUE(WaitUntilIdle(window));
    EXPECT_EQ(sink.messages,
              (std::vector<Message>{{"could not connect to server: Connection refused", "Quarvel",
                                     MessageIcon::None}}));
    EXPECT_EQ(Status(window), "The search failed.");
}

TEST_F(FindWindowFake, OnlyTheLastFindIsShownAndTheIndicatorMovesMeanwhile) {
    // Whatever happens, the held find is let go before the test ends.
    const auto release = qScopeGuard([gate = answers->gate] { gate->release(); });
    answers->result.players = {Player(kGuidA, "Fast")};
    window.show();
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("slow"));
    EXPECT_TRUE(window.busy());
    EXPECT_TRUE(window.findChild<QProgressBar*>(QStringLiteral("busy"))->isVisible());
    EXPECT_EQ(Status(window), "Searching...");
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("fast"));
    ASSERT_TRUE(WaitUntilIdle(window));
    EXPECT_EQ(Column(window, FoundPlayersModel::kGuid), QStringList{kGuidA});

    answers->gate->release();
    QTest::qWait(100); // the slow find ends now and must change nothing
    EXPECT_EQ(Column(window, FoundPlayersModel::kGuid), QStringList{kGuidA});
    EXPECT_EQ(Status(window), "1 player found");
    EXPECT_FALSE(window.findChild<QProgressBar*>(QStringLiteral("busy"))->isVisible());
}

TEST_F(FindWindowFake, ColumnsSortByTheirValuesAndCopyGuidTakesThePickedOne) {
    answers->result.players = {Player(kGuidA, "^1zed", 10), Player(kGuidB, "^2Amy", 9)};
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("x"));
    ASSERT_TRUE(WaitUntilIdle(window));
    // The find's order first, the names shown without their codes.
    EXPECT_EQ(Column(window, FoundPlayersModel::kLatestName), (QStringList{"zed", "Amy"}));
    Table(window)->sortByColumn(FoundPlayersModel::kNames, Qt::AscendingOrder);
    EXPECT_EQ(Column(window, FoundPlayersModel::kNames), (QStringList{"9", "10"}));
    Table(window)->sortByColumn(FoundPlayersModel::kLatestName, Qt::DescendingOrder);
    EXPECT_EQ(Column(window, FoundPlayersModel::kLatestName), (QStringList{"zed", "Amy"}));

    Table(window)->selectRow(1);
    ASSERT_NE(window.SelectedPlayer(), nullptr);
    EXPECT_EQ(window.SelectedPlayer()->guid, kGuidB);
    EXPECT_EQ(Items(window, "names"), (QStringList{} << "^2Amy0"
                                                     << "^2Amy1"
                                                     << "^2Amy2"
                                                     << "^2Amy3"
                                                     << "^2Amy4"
                                                     << "^2Amy5"
                                                     << "^2Amy6"
                                                     << "^2Amy7"
                                                     << "^2Amy8"));
    QTest::mouseClick(Button(window, "copyGuidButton"), Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), kGuidB);
}

TEST_F(FindWindowFake, TheLatestNameIsPaintedInItsColours) {
    answers->result.players = {Player(kGuidA, "^1RRRRRRRR^7w")};
    window.resize(900, 500);
    window.show();
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("r"));
    ASSERT_TRUE(WaitUntilIdle(window));
    Table(window)->clearSelection();
    const QRect cell =
        Table(window)->visualRect(Table(window)->model()->index(0, FoundPlayersModel::kLatestName));
    const QImage image = Table(window)->viewport()->grab(cell).toImage();
    int red = 0;
    int black = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 90 && c.blue() < 90 ? 1 : 0;
            black += c.red() < 10 && c.green() < 10 && c.blue() < 10 ? 1 : 0;
        }
    }
    EXPECT_GT(red, 10) << "the ^1 letters";
    EXPECT_GT(black, image.width() * image.height() / 2) << "on black";
}

TEST(FindWindowWithoutDatabase, OffersNoFind) {
    AppConfig config;
    auto answers = std::make_shared<FakeAnswers>();
    CFindPlayerDlg window(config, nullptr, FakeLookups(answers));
    EXPECT_FALSE(Button(window, "findButton")->isEnabled());
    EXPECT_EQ(Status(window), "No player database is configured.");
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("bob"));
    EXPECT_EQ(answers->opened, 0);
}

// --- A real database, fake game servers ---------------------------------------

class FindWindowDatabase : public ::testing::Test {
protected:
    // The database with three sightings, and the two servers.
    AppConfig MakeConfig() {
        scratch.Create();
        StoreSighting(scratch.location(), kGuidA, "81.2.3.4", "Bob", "^1Bob");
        StoreSighting(scratch.location(), kGuidA, "81.2.3.5", "Bobby", "^2Bobby");
        StoreSighting(scratch.location(), kGuidB, "10.0.0.1", "Alice", "Alice");
        AppConfig made;
        made.databasePath = scratch.location();
        made.servers = {{"Alpha", "127.0.0.1", alpha.port(), "a"},
                        {"Bravo", "127.0.0.1", bravo.port(), "b"}};
        return made;
    }

    void SetUp() override {
        window.SetMessageSink(&sink);
        window.SetRecordIdentity("alice", [] { return BanTime{1075665909, 3600}; });
        window.show();
    }

    std::vector<BanRecord> History() { return StoredBanHistory(scratch.location(), kGuidA); }

    ScratchDatabase scratch{TestEngine::Sqlite};
    FakeGameServer alpha{"a"}, bravo{"b"};
    AppConfig config = MakeConfig();
    CFindPlayerDlg window{config, nullptr};
    MessageRecorder sink;
};

TEST_F(FindWindowDatabase, FindsAndListsThePickedPlayersNamesAddressesAndHistory) {
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("BOB"));
    ASSERT_TRUE(WaitUntilIdle(window));
    EXPECT_EQ(sink.messages, std::vector<Message>{});
    EXPECT_EQ(Status(window), "1 player found");
    EXPECT_EQ(Column(window, FoundPlayersModel::kGuid), QStringList{kGuidA});
    EXPECT_EQ(Column(window, FoundPlayersModel::kLatestName), QStringList{"Bobby"});
    EXPECT_EQ(Column(window, FoundPlayersModel::kNames), QStringList{"2"});
    EXPECT_EQ(Column(window, FoundPlayersModel::kAddresses), QStringList{"2"});
    // The first row is picked at once.
    EXPECT_EQ(Items(window, "names"), (QStringList{"Bob", "Bobby"}));
    EXPECT_EQ(Items(window, "addresses"), (QStringList{"81.2.3.4", "81.2.3.5"}));
    EXPECT_EQ(Items(window, "banHistory"), QStringList{kNoHistoryText});
    EXPECT_TRUE(Button(window, "banButton")->isEnabled());

    window.StartFind(PlayerSearchMode::Address, QStringLiteral("10.0.0.0/8"));
    ASSERT_TRUE(WaitUntilIdle(window));
    EXPECT_EQ(Column(window, FoundPlayersModel::kGuid), QStringList{kGuidB});
    window.StartFind(PlayerSearchMode::Guid, QStringLiteral("0123"));
    ASSERT_TRUE(WaitUntilIdle(window));
    EXPECT_EQ(Column(window, FoundPlayersModel::kGuid).size(), 2);
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("nobody"));
    ASSERT_TRUE(WaitUntilIdle(window));
    EXPECT_EQ(Status(window), "No player found");
    EXPECT_EQ(Items(window, "names"), QStringList{});
    EXPECT_FALSE(Button(window, "banButton")->isEnabled());
}

// Answers each Ban reason dialog with `reason` and OK.
ModalHandler AnswerReasons(const QString& reason, QStringList& prompts) {
    return ModalHandler([reason, &prompts](QWidget* modal) {
        auto* reasons = qobject_cast<CBanReasonDlg*>(modal);
        ASSERT_NE(reasons, nullptr);
        prompts << reasons->promptText();
        QTest::keyClicks(modal->findChild<QLineEdit*>(QStringLiteral("reason")), reason);
        QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
    });
}

TEST_F(FindWindowDatabase, BanAndUnbanGoWithTheLatestNameAndAddressAndAreRecorded) {
    window.StartFind(PlayerSearchMode::Guid, QString::fromLatin1(kGuidA));
    ASSERT_TRUE(WaitUntilIdle(window));
    QStringList prompts;
    {
        const ModalHandler reasons = AnswerReasons(QStringLiteral("aimbot"), prompts);
        QTest::mouseClick(Button(window, "banButton"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window.flowRunning(); }, 30000));
    }
    // One reason for both servers.
    EXPECT_EQ(prompts, (QStringList{"Enter ban reason for all 2 servers"}));
    ASSERT_EQ(alpha.received().size(), 1u);
    EXPECT_EQ(alpha.received()[0], std::string("\xFF\xFF\xFF\xFFrcon \"a\" pb_sv_banguid ") +
                                       kGuidA + " \"^2Bobby\" 81.2.3.5 \"aimbot\"");
    EXPECT_TRUE(bravo.IsBanned(kGuidA));
    EXPECT_EQ(sink.messages.size(), 3u); // the servers', then the state's line

    QTest::mouseClick(Button(window, "unbanButton"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window.flowRunning(); }, 30000));
    EXPECT_FALSE(alpha.IsBanned(kGuidA));

    const std::string time = "2004-02-01T21:05:09+01:00";
    // Each flow's servers, then the state's own record, with no server.
    EXPECT_EQ(History(), (std::vector<BanRecord>{
                             {time, "unban", kGuidA, "^2Bobby", "", "", "", "Ban lifted", "alice"},
                             {time, "unban", kGuidA, "^2Bobby", "81.2.3.5", "", "Bravo",
                              "GUID removed from ban list", "alice"},
                             {time, "unban", kGuidA, "^2Bobby", "81.2.3.5", "", "Alpha",
                              "GUID removed from ban list", "alice"},
                             {time, "ban", kGuidA, "^2Bobby", "81.2.3.5", "aimbot", "",
                              "Banned permanently", "alice"},
                             {time, "ban", kGuidA, "^2Bobby", "81.2.3.5", "aimbot", "Bravo",
                              "GUID added to ban list", "alice"},
                             {time, "ban", kGuidA, "^2Bobby", "81.2.3.5", "aimbot", "Alpha",
                              "GUID added to ban list", "alice"},
                         }));
    ASSERT_TRUE(WaitUntilIdle(window));
    const QStringList shown = Items(window, "banHistory");
    ASSERT_EQ(shown.size(), 6);
    EXPECT_EQ(shown[1], QString::fromStdString(time) +
                            "  unban on Bravo by alice: GUID removed from ban list");
    EXPECT_EQ(shown[5], QString::fromStdString(time) +
                            "  ban on Alpha by alice: GUID added to ban list (reason: aimbot)");
}

TEST_F(FindWindowDatabase, AReadOnlyDatabaseDuringABanIsToldAfterTheServersAnswers) {
    window.StartFind(PlayerSearchMode::Name, QStringLiteral("bob"));
    ASSERT_TRUE(WaitUntilIdle(window));
    MakeReadOnly(scratch, TestEngine::Sqlite);
    QStringList prompts;
    {
        const ModalHandler reasons = AnswerReasons(QStringLiteral("r"), prompts);
        QTest::mouseClick(Button(window, "banButton"), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([this] { return !window.flowRunning(); }, 30000));
    }
    EXPECT_TRUE(alpha.IsBanned(kGuidA));
    EXPECT_TRUE(bravo.IsBanned(kGuidA));
    ASSERT_EQ(sink.messages.size(), 4u);
    EXPECT_EQ(sink.messages[0].text, "GUID added to ban list");
    EXPECT_EQ(sink.messages[1].text, "GUID added to ban list");
    EXPECT_TRUE(sink.messages[2].text.starts_with(
        "The ban went ahead on the servers, but the ban state was not kept:\n"))
        << sink.messages[2].text;
    EXPECT_TRUE(sink.messages[3].text.starts_with(
        "The ban went ahead, but the player database did not store 2 of its 2 records:\n"))
        << sink.messages[3].text;
    for (const Message& told : {sink.messages[2], sink.messages[3]}) {
        EXPECT_EQ(told.caption, "Quarvel");
        EXPECT_EQ(told.icon, MessageIcon::Warning);
    }
    EXPECT_FALSE(window.flowRunning());
    EXPECT_TRUE(Button(window, "banButton")->isEnabled());
}

// --- The parts ----------------------------------------------------------------

TEST(FoundPlayersTable, GivesEachColumnsTextAndSortValue) {
    FoundPlayersModel model;
    FoundPlayer player = Player(kGuidA, "^1Bad^^Guy^", 3);
    player.addresses = {"1.1.1.1", "2.2.2.2"};
    player.firstSeen = "2004-01-01";
    player.lastSeen = "2004-02-03";
    model.SetPlayers({player});
    ASSERT_EQ(model.rowCount(), 1);
    model.SetBanTexts({{kGuidA, QStringLiteral("banned")}});
    ASSERT_EQ(model.columnCount(), 7);
    QStringList shown;
    for (int column = 0; column < 7; ++column) {
        shown << model.index(0, column).data().toString();
    }
    EXPECT_EQ(shown,
              (QStringList{kGuidA, "Bad^Guy", "3", "2", "2004-01-01", "2004-02-03", "banned"}));
    EXPECT_EQ(model.index(0, FoundPlayersModel::kNames).data(FoundPlayersModel::kSortRole),
              QVariant(3));
    EXPECT_EQ(model.index(0, FoundPlayersModel::kLatestName)
                  .data(FoundPlayersModel::kColouredNameRole)
                  .toString(),
              "^1Bad^^Guy^");
    EXPECT_FALSE(model.index(0, FoundPlayersModel::kGuid)
                     .data(FoundPlayersModel::kColouredNameRole)
                     .isValid());
    EXPECT_EQ(model.PlayerAt(1), nullptr);
    EXPECT_EQ(model.PlayerAt(-1), nullptr);
}

TEST(NameColours, FollowTheCodesAsTheLogViewDoes) {
    const CaretColourTable colours;
    const Rgb white = 0xFFFFFF;
    const Rgb red = colours.Colour('1');
    const Rgb blue = colours.Colour('4');
    using Runs = std::vector<NameColourRun>;
    EXPECT_EQ(NameColourRuns("Bob", colours, white), (Runs{{"Bob", white}}));
    EXPECT_EQ(NameColourRuns("^1Bad^4Guy", colours, white), (Runs{{"Bad", red}, {"Guy", blue}}));
    EXPECT_EQ(NameColourRuns("a^^b", colours, white), (Runs{{"a^b", white}}));
    EXPECT_EQ(NameColourRuns("^1^4x^", colours, white), (Runs{{"x", blue}}));
    EXPECT_EQ(NameColourRuns("^1", colours, white), Runs{});
    EXPECT_EQ(NameColourRuns("", colours, white), Runs{});
}

TEST(QueryRunner, AnAnswerForARunnerThatIsGoneIsDropped) {
    auto answers = std::make_shared<FakeAnswers>();
    bool called = false;
    {
        PlayerQueryRunner runner(FakeLookups(answers));
        PlayerSearch slow;
        slow.name = "slow";
        runner.Run<PlayerFindResult>(
            [slow](PlayerLookup& lookup) { return lookup.FindPlayers(slow, -1); },
            [&](const QueryOutcome<PlayerFindResult>&) { called = true; });
        EXPECT_TRUE(runner.busy());
    }
    answers->gate->release();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
}

TEST(QueryRunner, CancelDropsTheAnswerAwaited) {
    auto answers = std::make_shared<FakeAnswers>();
    PlayerQueryRunner runner(FakeLookups(answers));
    bool called = false;
    runner.Run<int>([](PlayerLookup&) { return 1; },
                    [&](const QueryOutcome<int>&) { called = true; });
    runner.Cancel();
    EXPECT_FALSE(runner.busy());
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
    int value = 0;
    runner.Run<int>([](PlayerLookup&) { return 7; },
                    [&](const QueryOutcome<int>& outcome) { value = outcome.value.value_or(0); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return value == 7; }, 5000));
}

} // namespace
