#include "ReplyClassifier.h"

#include "RconCodes.h"
#include "ReplyAssembly.h"

#include <gtest/gtest.h>
#include <string>

using enum RconResult;

namespace {

// The answer's text: classified as it is once the print headers are gone.
std::string Answer(const std::string& text) {
    return text;
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

class WholeReply : public testing::TestWithParam<ClassifyCase> {};

TEST_P(WholeReply, IsClassifiedByItsPhrases) {
    const ClassifyCase& c = GetParam();
    EXPECT_EQ(ClassifyReply(c.datagram, c.ban ? kBanPhrases : kUnbanPhrases), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Phrases, WholeReply,
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
    Texts, WholeReply,
    testing::Values(ClassifyCase{"Empty", "", true, RCON_BAD_REPLY},
                    ClassifyCase{"PhraseInALaterLine", "working on it\nBan Failed\n", true,
                                 RCON_REFUSED},
                    ClassifyCase{"PhraseAtTheStart", "Ban Failed", true, RCON_REFUSED}),
    ReplyCaseName);

// The pieces of an answer: the text after each piece's print header up to
// its first zero byte, joined as they came.
TEST(ReplyAssembly, JoinsThePrintedTextsOfItsDatagrams) {
    ReplyAssembly reply;
    EXPECT_EQ(reply.Add("\xFF\xFF\xFF\xFFprint\nmap: q3dm1\ncl sco"), ReplyAssembly::Added::Kept);
    EXPECT_EQ(reply.Add("\xFF\xFF\xFF\xFFprint\nre ping\n"), ReplyAssembly::Added::Kept);
    EXPECT_EQ(reply.Add(std::string("\xFF\xFF\xFF\xFFprint\nx\0Ban Failed", 22)),
              ReplyAssembly::Added::Kept);
    EXPECT_EQ(reply.Add("\xFF\xFF\xFF\xFF"
                        "Ban Failed"),
              ReplyAssembly::Added::Kept);
    EXPECT_EQ(reply.text(), "map: q3dm1\ncl score ping\nx");
    EXPECT_EQ(reply.datagrams(), 4);
    EXPECT_EQ(reply.Add(""), ReplyAssembly::Added::Closed);
}

TEST(ReplyAssembly, KeepsItsLimits) {
    ReplyAssembly reply;
    const std::string big = "\xFF\xFF\xFF\xFFprint\n" + std::string(60000, 'x');
    for (int i = 0; i < 5; ++i) {
        reply.Add(big);
    }
    EXPECT_EQ(reply.text().size(), ReplyAssembly::kMostTextBytes);
    EXPECT_TRUE(reply.cut());
    ReplyAssembly many;
    for (int i = 1; i < ReplyAssembly::kMostDatagrams; ++i) {
        ASSERT_EQ(many.Add("\xFF"), ReplyAssembly::Added::Kept);
    }
    EXPECT_EQ(many.Add("\xFF"), ReplyAssembly::Added::Overflow);
}

TEST(ReplyAssembly, FirstLineIsWhatTheServerSaidFirst) {
    EXPECT_EQ(FirstLine("unknown command: x  \r\nmore"), "unknown command: x");
    EXPECT_EQ(FirstLine(""), "");
}

} // namespace
