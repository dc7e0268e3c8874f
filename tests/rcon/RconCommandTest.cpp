#include "RconCommand.h"

#include <gtest/gtest.h>
#include <string>

namespace {

const std::string kCommandGuid = "0123456789abcdefABCDEF0123456789";
const std::string kPrefix = "\xFF\xFF\xFF\xFF";

struct DatagramCase {
    const char* name;
    RconRequest request;
    std::string datagram; // expected bytes, when sendable
    std::string refusal;  // expected start of the refusal, when not
};

void PrintTo(const DatagramCase& c, std::ostream* os) {
    *os << c.name;
}

std::string CaseName(const testing::TestParamInfo<DatagramCase>& info) {
    return info.param.name;
}

class RequestDatagram : public testing::TestWithParam<DatagramCase> {};

TEST_P(RequestDatagram, IsFormattedOrRefused) {
    const DatagramCase& c = GetParam();
    if (c.refusal.empty()) {
        EXPECT_TRUE(c.request.sendable()) << c.request.refusal;
        EXPECT_EQ(c.request.datagram, c.datagram);
    } else {
        EXPECT_FALSE(c.request.sendable());
        EXPECT_TRUE(c.request.datagram.empty());
        EXPECT_EQ(c.request.refusal.substr(0, c.refusal.size()), c.refusal);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ban, RequestDatagram,
    testing::Values(
        DatagramCase{
            "FieldsInOrder", FormatBanRequest("pw", kCommandGuid, "Name", "10.1.2.3", "aimbot"),
            kPrefix + "rcon \"pw\" pb_sv_banguid " + kCommandGuid + " \"Name\" 10.1.2.3 \"aimbot\"",
            ""},
        DatagramCase{"EmptyQuotedValuesAsAdjacentQuotes",
                     FormatBanRequest("", kCommandGuid, "", "0.0.0.0", ""),
                     kPrefix + "rcon \"\" pb_sv_banguid " + kCommandGuid + " \"\" 0.0.0.0 \"\"",
                     ""},
        // An empty GUID or IP would move every later argument one place.
        DatagramCase{"EmptyGuid", FormatBanRequest("pw", "", "n", "1.2.3.4", "r"), "",
                     "Not sent: the GUID"},
        DatagramCase{"EmptyIp", FormatBanRequest("pw", kCommandGuid, "n", "", "r"), "",
                     "Not sent: the IP address"},
        // The IP goes out unquoted: only a dotted address, or the server's
        // tokenizer reads a comment or another argument.
        DatagramCase{"IpWithCommentStart",
                     FormatBanRequest("pw", kCommandGuid, "n", "1.2.3.4//", "r"), "",
                     "Not sent: the IP address"},
        DatagramCase{"IpWithBlockComment",
                     FormatBanRequest("pw", kCommandGuid, "n", "1.2.3.4/*", "r"), "",
                     "Not sent: the IP address"},
        DatagramCase{"IpWithPort", FormatBanRequest("pw", kCommandGuid, "n", "1.2.3.4:28960", "r"),
                     "", "Not sent: the IP address"},
        DatagramCase{"IpPartAbove255", FormatBanRequest("pw", kCommandGuid, "n", "1.2.3.256", "r"),
                     "", "Not sent: the IP address"},
        DatagramCase{"IpOfThreeParts", FormatBanRequest("pw", kCommandGuid, "n", "1.2.3", "r"), "",
                     "Not sent: the IP address"},
        DatagramCase{"IpOfFiveParts", FormatBanRequest("pw", kCommandGuid, "n", "1.2.3.4.5", "r"),
                     "", "Not sent: the IP address"},
        DatagramCase{"IpWithLongPart", FormatBanRequest("pw", kCommandGuid, "n", "1.2.3.0004", "r"),
                     "", "Not sent: the IP address"},
        DatagramCase{"HighestIp", FormatBanRequest("pw", kCommandGuid, "n", "255.255.255.255", "r"),
                     kPrefix + "rcon \"pw\" pb_sv_banguid " + kCommandGuid +
                         " \"n\" 255.255.255.255 \"r\"",
                     ""},
        DatagramCase{
            "DelInNameAndReasonDropped",
            FormatBanRequest("pw", kCommandGuid,
                             "a\x7F"
                             "b",
                             "1.2.3.4", "\x7Fr"),
            kPrefix + "rcon \"pw\" pb_sv_banguid " + kCommandGuid + " \"ab\" 1.2.3.4 \"r\"", ""},
        DatagramCase{"PasswordWithDel",
                     FormatBanRequest("p\x7Fw", kCommandGuid, "n", "1.2.3.4", "r"), "",
                     "Not sent: the RCON password"},
        DatagramCase{"ColourCodesAndHighBytesKept",
                     FormatBanRequest("pw", kCommandGuid, "^1Caf\xE9^7!", "1.2.3.4", "r\xE9"),
                     kPrefix + "rcon \"pw\" pb_sv_banguid " + kCommandGuid +
                         " \"^1Caf\xE9^7!\" 1.2.3.4 \"r\xE9\"",
                     ""},
        DatagramCase{"DoubleQuoteInNameAndReasonSentAsSingleQuote",
                     FormatBanRequest("pw", kCommandGuid, "a\"b\"", "1.2.3.4", "x\" ; quit \""),
                     kPrefix + "rcon \"pw\" pb_sv_banguid " + kCommandGuid +
                         " \"a'b'\" 1.2.3.4 \"x' ; quit '\"",
                     ""},
        DatagramCase{"ControlBytesInNameAndReasonDropped",
                     FormatBanRequest("pw", kCommandGuid, std::string("a\r\nb\x01\tc\x1F", 8),
                                      "1.2.3.4", "line\none"),
                     kPrefix + "rcon \"pw\" pb_sv_banguid " + kCommandGuid +
                         " \"abc\" 1.2.3.4 \"lineone\"",
                     ""},
        DatagramCase{"GuidOneDigitShort",
                     FormatBanRequest("pw", kCommandGuid.substr(1), "n", "", "r"), "",
                     "Not sent: the GUID"},
        DatagramCase{"GuidOneDigitLong", FormatBanRequest("pw", kCommandGuid + "0", "n", "", "r"),
                     "", "Not sent: the GUID"},
        DatagramCase{"GuidWithNonHexDigit",
                     FormatBanRequest("pw", "g" + kCommandGuid.substr(1), "n", "", "r"), "",
                     "Not sent: the GUID"},
        DatagramCase{"GuidCarryingAnotherCommand",
                     FormatBanRequest("pw", kCommandGuid.substr(0, 27) + ";quit", "n", "", "r"), "",
                     "Not sent: the GUID"},
        DatagramCase{"IpWithBlank",
                     FormatBanRequest("pw", kCommandGuid, "n", "No connection data", "r"), "",
                     "Not sent: the IP address"},
        DatagramCase{"IpWithDoubleQuote", FormatBanRequest("pw", kCommandGuid, "n", "1.2\"", "r"),
                     "", "Not sent: the IP address"},
        DatagramCase{"IpWithSingleQuote", FormatBanRequest("pw", kCommandGuid, "n", "1.2'", "r"),
                     "", "Not sent: the IP address"},
        DatagramCase{"IpWithSemicolon", FormatBanRequest("pw", kCommandGuid, "n", "1.2;quit", "r"),
                     "", "Not sent: the IP address"},
        DatagramCase{"IpWithLineBreak", FormatBanRequest("pw", kCommandGuid, "n", "1.2\n", "r"), "",
                     "Not sent: the IP address"},
        DatagramCase{"PasswordWithDoubleQuote",
                     FormatBanRequest("p\" quit \"", kCommandGuid, "n", "1.2.3.4", "r"), "",
                     "Not sent: the RCON password"},
        DatagramCase{"PasswordWithControlByte",
                     FormatBanRequest("p\tw", kCommandGuid, "n", "1.2.3.4", "r"), "",
                     "Not sent: the RCON password"},
        DatagramCase{"ReasonTooLong",
                     FormatBanRequest("pw", kCommandGuid, "n", "1.2.3.4", std::string(250, 'r')),
                     "",
                     "Not sent: the ban command is too long for one datagram; please enter a "
                     "shorter reason."}),
    CaseName);

INSTANTIATE_TEST_SUITE_P(
    Unban, RequestDatagram,
    testing::Values(
        DatagramCase{"FieldsInOrder", FormatUnbanRequest("secret", kCommandGuid),
                     kPrefix + "rcon \"secret\" pb_sv_unbanguid " + kCommandGuid, ""},
        DatagramCase{"EmptyPassword", FormatUnbanRequest("", kCommandGuid),
                     kPrefix + "rcon \"\" pb_sv_unbanguid " + kCommandGuid, ""},
        DatagramCase{"EmptyGuid", FormatUnbanRequest("pw", ""), "", "Not sent: the GUID"},
        DatagramCase{"GuidWithLineBreak", FormatUnbanRequest("pw", kCommandGuid.substr(1) + "\n"),
                     "", "Not sent: the GUID"},
        DatagramCase{"PasswordWithDoubleQuote", FormatUnbanRequest("a\"b", kCommandGuid), "",
                     "Not sent: the RCON password"}),
    CaseName);

// The request of `reasonLength` reason bytes, with everything else fixed.
RconRequest BanWithReasonOf(std::size_t reasonLength) {
    return FormatBanRequest("pw", kCommandGuid, "Name", "1.2.3.4", std::string(reasonLength, 'r'));
}

TEST(RequestLength, FullDatagramOf255BytesIsSentAnd256IsRefused) {
    const std::size_t base = BanWithReasonOf(0).datagram.size();
    ASSERT_LT(base, RconRequest::kDatagramLimit);
    const RconRequest fits = BanWithReasonOf(RconRequest::kDatagramLimit - base);
    EXPECT_TRUE(fits.sendable());
    EXPECT_EQ(fits.datagram.size(), 255u);
    EXPECT_FALSE(BanWithReasonOf(RconRequest::kDatagramLimit - base + 1).sendable());
}

TEST(RequestLength, DroppedControlBytesDoNotCount) {
    const std::size_t base = BanWithReasonOf(0).datagram.size();
    const std::string reason = std::string(RconRequest::kDatagramLimit - base, 'r') + "\r\n";
    const RconRequest request = FormatBanRequest("pw", kCommandGuid, "Name", "1.2.3.4", reason);
    EXPECT_TRUE(request.sendable());
    EXPECT_EQ(request.datagram.size(), 255u);
}

} // namespace
