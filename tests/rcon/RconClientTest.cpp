#include "RconClient.h"

#include "ClientReply.h"
#include "DescriptorsExhausted.h"
#include "FakeGameServer.h"
#include "HostLookup.h"
#include "TestApplication.h"

#include <QCoreApplication>
#include <cerrno>
#include <gtest/gtest.h>

using enum RconReplyStatus;

namespace {

const std::string kClientGuid = "00112233445566778899aabbccddeeff";
const std::string kAdded = FakeGameServer::Answer("Ban Added to Ban List");

std::vector<std::string> Copies(int count, const std::string& datagram) {
    return std::vector<std::string>(static_cast<std::size_t>(count), datagram);
}

// How a reply ended, what it said and what the user would be told.
struct ReplyCase {
    const char* name;
    void (*setUp)(FakeGameServer&);
    const char* password;
    RconReplyStatus status;
    const char* text; // the answer's text; for a failure, the message
};

void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

class Reply : public testing::TestWithParam<ReplyCase> {
protected:
    TestApplication app;
};

TEST_P(Reply, EndsAsTheServerAnswers) {
    const ReplyCase& c = GetParam();
    FakeGameServer server("secret");
    c.setUp(server);
    const ServerEntry entry{"Alpha", "127.0.0.1", server.port(), c.password};
    RconClient client;
    const auto reply = AskAndWait(client, entry, "pb_sv_banguid " + kClientGuid);

    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, c.status);
    if (c.text == nullptr) {
        EXPECT_EQ(reply->text, std::string(1000, 'x') + "end");
    } else if (c.status == Answered) {
        EXPECT_EQ(reply->text, c.text);
    } else {
        EXPECT_EQ(ReplyFailureMessage(*reply, "Alpha").text, c.text);
    }
    EXPECT_EQ(server.received().size(), 1u);
    EXPECT_EQ(client.pending(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Reply,
    testing::Values(
        ReplyCase{"Answer", [](FakeGameServer&) {}, "secret", Answered,
                  "GUID 00112233445566778899aabbccddeeff Ban Added to Ban List\n"},
        // Only the server asked answers: a datagram from another port is no
        // reply, whatever it says.
        ReplyCase{"AnswerFromAnotherPortIsNoReply",
                  [](FakeGameServer& s) { s.AnswerFromOtherPort(); }, "secret", NoReply,
                  "No reply"},
        ReplyCase{"StraysBeforeTheAnswerAreDropped",
                  [](FakeGameServer& s) {
                      s.StraysFirst(Copies(100, kAdded));
                      s.AnswerWith({FakeGameServer::Answer("Bad rconpassword.\n")});
                  },
                  "secret", BadPassword, "Invalid RCON password"},
        ReplyCase{"StrayZeroLengthDatagramIsDropped",
                  [](FakeGameServer& s) {
                      s.StraysFirst({""});
                      s.AnswerWith({kAdded});
                  },
                  "secret", Answered, "Ban Added to Ban List"},
        // The answer is kept whole, however long; only what is sent has a
        // limit.
        ReplyCase{"LongAnswerIsKeptWhole",
                  [](FakeGameServer& s) {
                      s.AnswerWith({FakeGameServer::Answer(std::string(1000, 'x') + "end")});
                  },
                  "secret", Answered, nullptr},
        ReplyCase{"BinaryAnswerIsReadUpToItsNul",
                  [](FakeGameServer& s) {
                      s.AnswerWith({FakeGameServer::Answer(std::string("ab\0cd", 5))});
                  },
                  "secret", Answered, "ab"},
        ReplyCase{"BadPassword", [](FakeGameServer&) {}, "wrong", BadPassword,
                  "Invalid RCON password"},
        ReplyCase{"NoPasswordSet", [](FakeGameServer& s) { s.SetPassword(""); }, "", NoPassword,
                  "No RCON password is set on the server"},
        ReplyCase{"AnswerInSeveralDatagramsIsJoined",
                  [](FakeGameServer& s) {
                      s.AnswerWith({FakeGameServer::Answer("working on it..."),
                                    FakeGameServer::Answer(" Ban Added to Ban List\n")});
                  },
                  "secret", Answered, "working on it... Ban Added to Ban List\n"},
        ReplyCase{"DatagramWithoutPrintHeaderCarriesNoText",
                  [](FakeGameServer& s) { s.AnswerWith({"\xFF\xFF"}); }, "secret", Answered, ""},
        ReplyCase{"ZeroLengthDatagram", [](FakeGameServer& s) { s.AnswerWith({""}); }, "secret",
                  Closed, "Connection was closed"},
        ReplyCase{"ZeroLengthAfterAnAnswer",
                  [](FakeGameServer& s) {
                      s.AnswerWith({kAdded, ""});
                  },
                  "secret", Closed, "Connection was closed"},
        ReplyCase{"Datagrams256", [](FakeGameServer& s) { s.AnswerWith(Copies(256, kAdded)); },
                  "secret", Overflow, "Too many messages received"},
        ReplyCase{"Datagrams255", [](FakeGameServer& s) { s.AnswerWith(Copies(255, "\xFF\xFF")); },
                  "secret", Answered, ""}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.name); });

TEST(ReplyFailureMessages, QuoteTheServersFirstLineWhenNoPhraseMatches) {
    RconReply reply;
    reply.status = Answered;
    reply.text = "unknown command: pb_sv_banguid\nmore\n";
    EXPECT_EQ(
        ReplyFailureMessage(reply, "Caf\xE9"),
        (Message{"Bad reply: unknown command: pb_sv_banguid", "Caf\u00e9", MessageIcon::Error}));
    reply.text = std::string(500, 'y');
    EXPECT_EQ(BadReplyText(reply.text), "Bad reply: " + std::string(160, 'y') + "...");
    EXPECT_EQ(BadReplyText("\n"), "Bad reply");
}

class Client : public testing::Test {
protected:
    TestApplication app;
    FakeGameServer server{"secret"};
    ServerEntry entry{"Bravo", "127.0.0.1", server.port(), "secret"};
    RconClient client;
};

TEST_F(Client, SendsTheCommandByteForByte) {
    const auto reply = AskAndWait(client, entry, "status");
    ASSERT_TRUE(reply);
    ASSERT_EQ(server.received().size(), 1u);
    EXPECT_EQ(server.received()[0], "\xFF\xFF\xFF\xFFrcon \"secret\" status");
    EXPECT_EQ(SendAndWait(client, entry, FormatUnbanRequest("secret", kClientGuid))->status,
              Answered);
    EXPECT_EQ(server.received()[1],
              "\xFF\xFF\xFF\xFFrcon \"secret\" pb_sv_unbanguid " + kClientGuid);
}

TEST_F(Client, LooksUpAHostNameOffTheThreadAndKeepsItAWhile) {
    entry.address = "localhost";
    EXPECT_EQ(AskAndWait(client, entry, "status")->status, Answered);
    HostLookup lookup;
    bool found = false;
    lookup.Find("127.0.0.1", [&](auto address) { found = address == 0x7F000001u; });
    EXPECT_TRUE(found) << "a dotted address needs no look-up";
    found = false;
    lookup.Find("localhost", [&](auto address) { found = address.has_value(); });
    EXPECT_FALSE(found) << "a name is looked up later";
    QEventLoop loop;
    lookup.Find("localhost", [&](auto) { loop.quit(); });
    loop.exec();
    EXPECT_TRUE(found);
    found = false;
    lookup.Find("localhost", [&](auto address) { found = address.has_value(); });
    EXPECT_TRUE(found) << "a name just found is kept";
}

// Nothing is sent for an address the client cannot send to, and the user is
// told so at once, never "No reply".
struct RefusedCase {
    const char* name;
    const char* address;
    int port;
    const char* password;
    const char* command;
    RconReplyStatus status;
    const char* message;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class Refused : public Client, public testing::WithParamInterface<RefusedCase> {};

TEST_P(Refused, SendsNothingAndSaysWhy) {
    const RefusedCase& c = GetParam();
    const ServerEntry target{"Bravo", c.address, c.port == 0 ? server.port() : c.port, c.password};
    const auto reply = AskAndWait(client, target, c.command);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, c.status);
    EXPECT_EQ(ReplyFailureMessage(*reply, "Bravo").text, c.message);
    QCoreApplication::processEvents();
    EXPECT_TRUE(server.received().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, Refused,
    testing::Values(
        RefusedCase{"IPv6Address", "::1", 0, "secret", "status", NotSent,
                    "Not sent: the address of this server is neither a dotted IPv4 address nor a "
                    "host name."},
        RefusedCase{"HostAndPort", "127.0.0.1:27960", 0, "secret", "status", NotSent,
                    "Not sent: the address of this server is neither a dotted IPv4 address nor a "
                    "host name."},
        RefusedCase{"UnknownName", "no-such-host.invalid", 0, "secret", "status", Unresolved,
                    "Not sent: the address \"no-such-host.invalid\" could not be looked up."},
        RefusedCase{"PortZero", "127.0.0.1", -1, "secret", "status", NotSent,
                    "Not sent: the RCON port of this server is not between 1 and 65535."},
        RefusedCase{"PortAbove16Bits", "127.0.0.1", 65536 + 27960, "secret", "status", NotSent,
                    "Not sent: the RCON port of this server is not between 1 and 65535."},
        RefusedCase{"QuoteInPassword", "127.0.0.1", 0, "se\"cret", "status", NotSent,
                    "Not sent: the RCON password of this server holds a double quote or a "
                    "control character."},
        RefusedCase{"LineEndInCommand", "127.0.0.1", 0, "secret", "say a\nquit", NotSent,
                    "Not sent: the command holds a control character."},
        RefusedCase{"CommandTooLong", "127.0.0.1", 0, "secret",
                    "say xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                    "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                    "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                    "xxxxxxxxxxxxxxxxxxxxxxxx",
                    NotSent,
                    "Not sent: the command is too long for one datagram (255 bytes with its "
                    "password)."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Client, SilentServerGivesNoReplyAtTheDeadline) {
    server.StaySilent();
    EXPECT_EQ(AskAndWait(client, entry, "status")->status, NoReply);
}

TEST_F(Client, AnswerAfterQuietPeriodsIsStillPartOfTheReplyUntilTheServerIsQuiet) {
    server.AnswerAfter(std::chrono::milliseconds(100));
    const auto reply = AskAndWait(client, entry, "say hello");
    EXPECT_EQ(reply->status, Answered);
    EXPECT_EQ(reply->text, "broadcast: print \"server: hello\\n\"\n");
}

TEST_F(Client, LateAnswerToAnEarlierRequestIsNeverTakenForTheNext) {
    // The first answer comes after its deadline, while the second request
    // (to the same server and port) waits.
    server.AnswerAfter(std::chrono::milliseconds(400));
    RconTiming shortWait;
    shortWait.deadline = std::chrono::milliseconds(150);
    EXPECT_EQ(AskAndWait(client, entry, "say first", shortWait)->status, NoReply);
    server.StaySilent();
    RconTiming wait;
    wait.deadline = std::chrono::milliseconds(600);
    const auto second = AskAndWait(client, entry, "say second", wait);
    EXPECT_EQ(second->status, NoReply) << second->text;
    EXPECT_EQ(server.answersSent(), 1);
}

TEST_F(Client, AnswerEndsAsSoonAsItSaysItIsWhole) {
    server.AnswerWith({FakeGameServer::Answer("Ban Added to Ban List")});
    RconTiming timing;
    timing.quiet = std::chrono::milliseconds(5000);
    timing.whole = [](std::string_view text) { return text.find("Added") != text.npos; };
    timing.deadline = std::chrono::milliseconds(60000);
    // Without the early end the wait would pass AskAndWait's own limit.
    const auto reply = AskAndWait(client, entry, "x", timing);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, Answered);
}

TEST_F(Client, ServersAreAskedSideBySide) {
    FakeGameServer silent("secret"), other("secret");
    silent.StaySilent();
    std::vector<std::string> order;
    QEventLoop loop;
    auto note = [&](std::string name) {
        return [&, name](const RconReply&) {
            order.push_back(name);
            if (order.size() == 3) {
                loop.quit();
            }
        };
    };
    client.Send({"S", "127.0.0.1", silent.port(), "secret"}, "status", note("silent"));
    client.Send(entry, "status", note("bravo"));
    client.Send({"O", "127.0.0.1", other.port(), "secret"}, "status", note("other"));
    loop.exec();
    EXPECT_EQ(order, (std::vector<std::string>{"bravo", "other", "silent"}));
}

TEST_F(Client, AtMostTenRequestsASecondGoToOneServerTheRestWaitInOrder) {
    FakeGameServer other("secret");
    const ServerEntry otherEntry{"O", "127.0.0.1", other.port(), "secret"};
    std::vector<int> answered;
    QEventLoop loop;
    for (int i = 0; i < 13; ++i) {
        client.Send(entry, "say " + std::to_string(i), [&, i](const RconReply&) {
            answered.push_back(i);
            if (answered.size() == 14) {
                loop.quit();
            }
        });
    }
    client.Send(otherEntry, "status", [&](const RconReply&) {
        answered.push_back(100);
        if (answered.size() == 14) {
            loop.quit();
        }
    });
    EXPECT_EQ(client.queued(entry), 3);
    EXPECT_EQ(client.queued(otherEntry), 0) << "another server has a limit of its own";
    loop.exec();
    std::vector<std::string> expected;
    for (int i = 0; i < 13; ++i) {
        expected.push_back("say " + std::to_string(i));
    }
    EXPECT_EQ(server.commands(), expected);
    EXPECT_EQ(client.queued(entry), 0);
}

TEST_F(Client, CancelledRequestIsNotCalledBackAndAWaitingOneNeverSent) {
    bool called = false;
    for (int i = 0; i < 10; ++i) {
        client.Send(entry, "say x", [](const RconReply&) {});
    }
    const auto waiting = client.Send(entry, "say late", [&](const RconReply&) { called = true; });
    client.Cancel(waiting);
    const auto running = client.Send({"X", "127.0.0.1", server.port(), "secret"}, "say y",
                                     [&](const RconReply&) { called = true; });
    client.Cancel(running);
    EXPECT_EQ(AskAndWait(client, {"Y", "127.0.0.1", server.port(), "secret"}, "status")->status,
              Answered);
    EXPECT_FALSE(called);
    for (const std::string& command : server.commands()) {
        EXPECT_NE(command, "say late");
    }
}

TEST_F(Client, FloodOfAnswersEndsInTooManyMessages) {
    server.Flood(300);
    EXPECT_EQ(AskAndWait(client, entry, "say x")->status, Overflow);
}

TEST_F(Client, SocketThatCannotBeMadeIsReportedWithItsErrorNumber) {
    // One whole exchange first, while descriptors can still be had (the
    // sanitizer build needs one to read the process's memory map).
    ASSERT_EQ(AskAndWait(client, entry, "status")->status, Answered);
    std::optional<RconReply> reply;
    {
        DescriptorsExhausted exhausted;
        client.Send(entry, "status", [&](const RconReply& r) { reply = r; });
    }
    QEventLoop loop;
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, SocketError);
    EXPECT_EQ(ReplyFailureMessage(*reply, "Bravo").text,
              "ReceiveFrom ERROR " + std::to_string(EMFILE));
}

TEST_F(Client, IsNeverCalledBackFromWithinSend) {
    bool called = false;
    client.Send({"X", "::1", 1, "p"}, "status", [&](const RconReply&) { called = true; });
    EXPECT_FALSE(called);
    QCoreApplication::processEvents();
    EXPECT_TRUE(called);
}

} // namespace
