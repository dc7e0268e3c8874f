#include "ReplyClassifier.h"

#include "RconCodes.h"

#include <gtest/gtest.h>
#include <string>

using enum RconResult;

namespace {

std::string Answer(const std::string& text) {
    return "\xFF\xFF\xFF\xFFprint\n" + text;
}

struct ClassifyCase {
    const char* name;
    std::string datagram;
    bool ban; // ban phrases, else unban phrases
    RconResult result;
};

void PrintTo(const ClassifyCase& c, std::ostream* os) {
    *os << c.name;
}

std::string ReplyCaseName(const testing::TestParamInfo<ClassifyCase>& info) {
    return info.param.name;
}

class FirstReply : public testing::TestWithParam<ClassifyCase> {};

TEST_P(FirstReply, IsClassifiedByItsPhrases) {
    const ClassifyCase& c = GetParam();
    EXPECT_EQ(ClassifyReply(c.datagram, c.ban ? kBanPhrases : kUnbanPhrases), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Phrases, FirstReply,
    testing::Values(
        ClassifyCase{"BanAdded", Answer("GUID x Ban Added to Ban List\n"), true, RCON_DONE},
        ClassifyCase{"BanFailed", Answer("Ban Failed: already banned\n"), true, RCON_REFUSED},
        ClassifyCase{"BadPassword", Answer("Bad rconpassword.\n"), true, RCON_BAD_PASSWORD},
        ClassifyCase{"OtherText", Answer("Unknown command\n"), true, RCON_BAD_REPLY},
        ClassifyCase{"DoneBeatsRefused", Answer("Ban Failed / Ban Added to Ban List"), true,
                     RCON_DONE},
        ClassifyCase{"RefusedBeatsBadPassword", Answer("Bad rconpassword Ban Failed"), true,
                     RCON_REFUSED},
        ClassifyCase{"CaseMatters", Answer("ban failed"), true, RCON_BAD_REPLY},
        ClassifyCase{"UnbanPhraseForBan", Answer("x has been Unbanned"), true, RCON_BAD_REPLY},
        ClassifyCase{"Unbanned", Answer("GUID x has been Unbanned\n"), false, RCON_DONE},
        ClassifyCase{"NotFound", Answer("GUID x Not Found in the Ban List\n"), false, RCON_REFUSED},
        ClassifyCase{"UnbanBadPassword", Answer("Bad rconpassword.\n"), false, RCON_BAD_PASSWORD},
        ClassifyCase{"BanPhraseForUnban", Answer("Ban Added to Ban List"), false, RCON_BAD_REPLY}),
    ReplyCaseName);

INSTANTIATE_TEST_SUITE_P(
    Offsets, FirstReply,
    testing::Values(ClassifyCase{"Empty", "", true, RCON_BAD_REPLY},
                    ClassifyCase{"NineBytes", "\xFF\xFF\xFF\xFFprint", true, RCON_BAD_REPLY},
                    ClassifyCase{"PhraseStartingBeforeByteNine",
                                 "\xFF\xFF\xFF\xFF"
                                 "Ban Failed",
                                 true, RCON_BAD_REPLY},
                    ClassifyCase{"PhraseRightAtByteNine", "\xFF\xFF\xFF\xFFprintBan Failed", true,
                                 RCON_REFUSED},
                    ClassifyCase{"PhraseWithoutPrefix", "123456789Ban Failed", true, RCON_REFUSED},
                    ClassifyCase{"ZeroByteEndsTheText", Answer(std::string("x\0Ban Failed", 12)),
                                 true, RCON_BAD_REPLY},
                    ClassifyCase{"ZeroBytesBeforeNineIgnored", std::string(9, '\0') + "Ban Failed",
                                 true, RCON_REFUSED}),
    ReplyCaseName);

} // namespace
