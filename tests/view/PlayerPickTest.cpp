// The log view's double-click: on a player's name it opens the Player Info
// window filled from the log; anywhere else it opens nothing.
#include "CPlayerInfoDlg.h"
#include "ModalScript.h"
#include "PlayerInfoWindow.h"
#include "ViewTestSupport.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

const QString kPickGuid = QStringLiteral("0123456789ABCDEF0123456789ABCDEF");

// Slot 0 connects and goes by three names; slot 7 never connected.
std::string PickLog() {
    return "   0:01 ClientConnect: 0 - 10.0.0.1:20100 [0123456789ABCDEF0123456789ABCDEF]\n"
           "   0:02 ClientUserinfoChanged: 0 n\\^1Bob\\t\\1\\model\\x\n"
           "   0:03 ClientUserinfoChanged: 0 n\\J\xF6rg\\t\\1\\model\\x\n"
           "   0:04 ClientUserinfoChanged: 0 n\\Alice\\t\\2\\model\\x\n"
           "   0:05 ClientUserinfoChanged: 7 n\\Ghost\\t\\0\\model\\z\n"
           "   0:06 say: Alice: hello there\n";
}

const QStringList kAliases{"Alice", QString::fromUtf8("Jörg"), "^1Bob"};

struct PickCase {
    const char* name;
    int line;
    int column;                       // visible column double-clicked
    std::optional<ShownPlayer> shown; // what Player Info shows; none when it must not open
};

void PrintTo(const PickCase& c, std::ostream* os) {
    *os << c.name;
}

class PlayerPick : public ::testing::TestWithParam<PickCase> {};

TEST_P(PlayerPick, OpensPlayerInfoOnlyOnAName) {
    ViewOnLog log(PickLog(), 10, 100);
    CQuarvelView& view = log.view();
    std::optional<ShownPlayer> shown;
    ModalScript script({[&](QWidget& window) {
        EXPECT_EQ(window.windowTitle(), "Player Info");
        shown = ReadPlayerInfo(window);
        QTest::mouseClick(FindButton(window, "closeButton"), Qt::LeftButton);
    }});
    const PickCase& c = GetParam();
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, log.PointAt(c.line, c.column));

    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(script.shown(), c.shown ? 1 : 0);
    EXPECT_EQ(view.caretLine(), c.line);
    if (c.shown) {
        ASSERT_NE(view.playerInfoDialog(), nullptr);
        EXPECT_FALSE(view.playerInfoDialog()->isVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Picks, PlayerPick,
    ::testing::Values(
        // The colour codes are hidden on screen and kept in the name.
        PickCase{"NameWithColourCodes", 1, 36,
                 ShownPlayer{"^1Bob", "10.0.0.1", kPickGuid, kAliases}},
        PickCase{"FirstColumnOfAName", 3, 35,
                 ShownPlayer{"Alice", "10.0.0.1", kPickGuid, kAliases}},
        PickCase{"LastColumnOfAName", 2, 38,
                 ShownPlayer{QString::fromUtf8("Jörg"), "10.0.0.1", kPickGuid, kAliases}},
        PickCase{"NameInChat", 5, 15, ShownPlayer{"Alice", "10.0.0.1", kPickGuid, kAliases}},
        PickCase{"NameWithoutConnection", 4, 36,
                 ShownPlayer{"Ghost", "No connection data", "", {}}},
        PickCase{"ChatText", 5, 24, std::nullopt}, PickCase{"Keyword", 5, 9, std::nullopt},
        PickCase{"SlotNumber", 1, 31, std::nullopt},
        PickCase{"JustAfterAName", 3, 40, std::nullopt},
        PickCase{"PastTheEndOfTheLine", 5, 70, std::nullopt},
        PickCase{"GuidOfAConnect", 0, 50, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlayerPickWindow, IsOneWindowPerViewRefilledForEveryPick) {
    ViewOnLog log(PickLog(), 10, 100);
    CQuarvelView& view = log.view();
    std::vector<ShownPlayer> shown;
    const auto read = [&](QWidget& window) {
        shown.push_back(ReadPlayerInfo(window));
        QTest::mouseClick(FindButton(window, "closeButton"), Qt::LeftButton);
    };
    ModalScript script({read, read});
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, log.PointAt(1, 36));
    CPlayerInfoDlg* first = view.playerInfoDialog();
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, log.PointAt(4, 36));

    EXPECT_EQ(view.playerInfoDialog(), first);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], (ShownPlayer{"Ghost", "No connection data", "", {}}));
    // Without a configured database the aliases button is off.
    EXPECT_FALSE(FindButton(*first, "aliasesButton")->isEnabled());
}

} // namespace
