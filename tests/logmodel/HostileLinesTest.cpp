// Lines built from the pieces events are made of, at every length around the
// limits, must classify into sound segments and never crash or reach outside
// their line. The sanitizer build runs this too.
#include "ClassifiedLog.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kPieces = {
    "ClientConnect: ",
    "ClientUserinfoChanged: ",
    "Kill: ",
    "say: ",
    "sayteam: ",
    "tell: ",
    "admchat: ",
    "admtalk: ",
    "admtell: ",
    ": ",
    ":",
    " to ",
    " killed ",
    " by ",
    " - ",
    " [",
    "]",
    "0123456789ABCDEF0123456789ABCDEF",
    "64",
    "63",
    "1022",
    "99999999999999999999999",
    "7",
    " ",
    R"( n\)",
    R"(\t\)",
    R"(\)",
    "^",
    "^^",
    "^1",
    "Bob",
    "10.0.0.1:20100",
    std::string("\0", 1),
    "\r",
    "\xff\x80",
};

std::string RandomLine(std::mt19937& random) {
    std::string line(kLinePrefix);
    std::uniform_int_distribution<std::size_t> piece(0, kPieces.size() - 1);
    std::uniform_int_distribution<int> count(0, 40);
    const int pieces = count(random);
    for (int i = 0; i < pieces; ++i) {
        line += kPieces[piece(random)];
    }
    return line;
}

void ExpectSoundSegments(const LineView& line, const PlayerSlotTable& slots, int index) {
    int end = 0;
    int visible = 0;
    const int count = SegmentCount(line);
    ASSERT_GE(count, 1) << index;
    for (int s = 0; s < count; ++s) {
        const LineSegment& segment = line.segments[static_cast<std::size_t>(s)];
        ASSERT_LE(KindNumber(segment.kind()), 20) << index;
        ASSERT_GE(segment.start(), end) << index << " segment " << s;
        ASSERT_LE(segment.start() + segment.length(), std::min(line.byteLength, 4095)) << index;
        ASSERT_LE(segment.visibleLength(), segment.length()) << index;
        ASSERT_GE(segment.visibleStart(), visible) << index;
        end = segment.start() + segment.length();
        visible = segment.visibleStart() + segment.visibleLength();
        if (segment.player != nullptr) {
            ASSERT_GE(KindNumber(segment.kind()), 3) << index;
            bool known = false;
            for (const ConnectionRecord& record : slots.connections()) {
                known = known || &record == segment.player;
            }
            ASSERT_TRUE(known) << index;
        }
    }
    ASSERT_LE(line.visibleLength, line.byteLength) << index;
    ASSERT_GE(line.visibleLength, 0) << index;
}

TEST(HostileLines, ClassifyIntoSoundSegments) {
    std::mt19937 random(20240611);
    std::vector<std::string> lines;
    for (int i = 0; i < 4000; ++i) {
        lines.push_back(RandomLine(random));
    }
    // Every length around the limits, holding an event or not.
    for (int length = 0; length <= 300; ++length) {
        std::string event = EventLine("say: Bob: ");
        event.resize(static_cast<std::size_t>(length), '^');
        lines.push_back(event);
    }
    lines.push_back(std::string(70000, '^'));
    ClassifiedLog log(lines);
    log.Walk();
    log.Walk();
    const PlayerSlotTable& slots = log.model.playerSlots();
    for (int i = 0; i < log.model.lineCount(); ++i) {
        ExpectSoundSegments(log.Line(i), slots, i);
    }
    for (int slot = 0; slot < PlayerSlotTable::kSlotCount; ++slot) {
        EXPECT_LE(slots.Slot(slot).name.size(), 49u);
        EXPECT_LE(slots.Slot(slot).team, 9);
    }
}

} // namespace
