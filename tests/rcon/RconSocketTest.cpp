#include "DescriptorsExhausted.h"
#include "FakeGameServer.h"
#include "HostAddress.h"
#include "RconBanSocket.h"
#include "RconUnbanSocket.h"
#include "TestApplication.h"

#include <QCoreApplication>
#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>

using enum PollStatus;
using enum RconResult;
using enum SendResult;

namespace {

const std::string kSocketGuid = "00112233445566778899aabbccddeeff";

std::string Dotted(const std::optional<in_addr>& address) {
    char text[INET_ADDRSTRLEN] = {};
    return address ? inet_ntop(AF_INET, &*address, text, sizeof text) : "none";
}

TEST(ResolveIPv4, TakesDottedAddressesAndLooksUpNames) {
    EXPECT_EQ(Dotted(ResolveIPv4("127.0.0.1")), "127.0.0.1");
    EXPECT_EQ(Dotted(ResolveIPv4("10.20.30.40")), "10.20.30.40");
    EXPECT_EQ(Dotted(ResolveIPv4("localhost")), "127.0.0.1");
    EXPECT_EQ(Dotted(ResolveIPv4("")), "none");
    EXPECT_EQ(Dotted(ResolveIPv4("no such host")), "none");
}

class RequestSocket : public testing::Test {
protected:
    // Lets the fake server read what was sent.
    static void Deliver() { QCoreApplication::processEvents(); }

    TestApplication app;
    FakeGameServer server{"secret"};
};

TEST_F(RequestSocket, SendsTheBanDatagramByteForByte) {
    RconBanSocket socket("127.0.0.1", server.port(), "secret");
    ASSERT_TRUE(socket.valid());
    EXPECT_NE(socket.localPort(), 0);
    EXPECT_EQ(socket.SendBan(kSocketGuid, "1.2.3.4", "^1Name", "wall hack"), SEND_DONE);
    EXPECT_EQ(socket.result(), RCON_PENDING);
    Deliver();
    ASSERT_EQ(server.received().size(), 1u);
    EXPECT_EQ(server.received()[0], "\xFF\xFF\xFF\xFFrcon \"secret\" pb_sv_banguid " + kSocketGuid +
                                        " \"^1Name\" 1.2.3.4 \"wall hack\"");
    EXPECT_EQ(server.received()[0], socket.command());
}

TEST_F(RequestSocket, SendsTheUnbanDatagramToAHostName) {
    RconUnbanSocket socket("localhost", server.port(), "secret");
    EXPECT_EQ(socket.SendUnban(kSocketGuid), SEND_DONE);
    Deliver();
    ASSERT_EQ(server.received().size(), 1u);
    EXPECT_EQ(server.received()[0],
              "\xFF\xFF\xFF\xFFrcon \"secret\" pb_sv_unbanguid " + kSocketGuid);
}

TEST_F(RequestSocket, KeepsTheTextLimitsOfItsCopies) {
    RconUnbanSocket socket("127.0.0.1", server.port(), std::string(39, 'p') + "TOO LONG");
    EXPECT_EQ(socket.SendUnban(kSocketGuid), SEND_DONE);
    EXPECT_EQ(socket.command(), "\xFF\xFF\xFF\xFFrcon \"" + std::string(39, 'p') +
                                    "\" pb_sv_unbanguid " + kSocketGuid);
}

TEST_F(RequestSocket, HostThatCannotBeResolvedSendsNothing) {
    RconBanSocket socket("no such host", server.port(), "secret");
    EXPECT_EQ(socket.SendBan(kSocketGuid, "1.2.3.4", "n", "r"), SEND_FAILED);
    EXPECT_EQ(socket.result(), RCON_PENDING);
}

TEST_F(RequestSocket, RefusedRequestSendsNothingAndSaysWhy) {
    RconBanSocket socket("127.0.0.1", server.port(), "secret");
    EXPECT_EQ(socket.SendBan("not a guid", "1.2.3.4", "n", "r"), SEND_REFUSED);
    EXPECT_EQ(socket.refusal(), "Not sent: the GUID must be exactly 32 hexadecimal digits.");
    Deliver();
    EXPECT_TRUE(server.received().empty());
}

TEST_F(RequestSocket, PortOutsideSixteenBitsIsRefused) {
    for (int port : {0, -1, 65536, server.port() + 65536}) {
        RconUnbanSocket socket("127.0.0.1", port, "secret");
        EXPECT_EQ(socket.SendUnban(kSocketGuid), SEND_REFUSED) << port;
        EXPECT_EQ(socket.refusal(),
                  "Not sent: the RCON port of this server is not between 1 and 65535.");
    }
    Deliver();
    EXPECT_TRUE(server.received().empty());
}

TEST_F(RequestSocket, PollWithNothingWaitingKeepsThePendingResult) {
    RconBanSocket socket("127.0.0.1", server.port(), "secret");
    server.StaySilent();
    socket.SendBan(kSocketGuid, "1.2.3.4", "n", "r");
    Deliver();
    EXPECT_EQ(socket.Poll(), POLL_OK);
    EXPECT_EQ(socket.replyCount(), 0);
    EXPECT_EQ(socket.result(), RCON_PENDING);
}

TEST_F(RequestSocket, LongReplyIsCutToItsSlot) {
    server.AnswerWith({FakeGameServer::Answer("Ban Added to Ban List" + std::string(300, '.'))});
    RconBanSocket socket("127.0.0.1", server.port(), "secret");
    socket.SendBan(kSocketGuid, "1.2.3.4", "n", "r");
    Deliver();
    EXPECT_EQ(socket.Poll(), POLL_OK);
    ASSERT_EQ(socket.replyCount(), 1);
    EXPECT_EQ(socket.Reply(0).size(), RconSocket::kReplyBytes);
    EXPECT_EQ(socket.result(), RCON_DONE);
}

TEST_F(RequestSocket, NoSlotIsWrittenAfterTheLastIsFilled) {
    server.AnswerWith(std::vector<std::string>(RconSocket::kReplySlots + 4,
                                               FakeGameServer::Answer("Ban Failed")));
    RconBanSocket socket("127.0.0.1", server.port(), "secret");
    socket.SendBan(kSocketGuid, "1.2.3.4", "n", "r");
    Deliver();
    EXPECT_EQ(socket.Poll(), POLL_OVERFLOW);
    EXPECT_EQ(socket.Poll(), POLL_OVERFLOW);
    EXPECT_EQ(socket.replyCount(), RconSocket::kReplySlots);
}

TEST_F(RequestSocket, SocketThatCouldNotBeCreatedFailsItsFirstReceive) {
    std::unique_ptr<RconBanSocket> socket;
    // One made first, so that the sanitizer build checks the class's type
    // while it can still read the process's memory map.
    const RconBanSocket first("127.0.0.1", server.port(), "secret");
    {
        DescriptorsExhausted exhausted;
        socket = std::make_unique<RconBanSocket>("127.0.0.1", server.port(), "secret");
    }
    EXPECT_FALSE(socket->valid());
    EXPECT_EQ(socket->SendBan(kSocketGuid, "1.2.3.4", "n", "r"), SEND_FAILED);
    EXPECT_EQ(socket->Poll(), POLL_RECEIVE_ERROR);
    EXPECT_EQ(socket->receiveError(), EBADF);
}

} // namespace
