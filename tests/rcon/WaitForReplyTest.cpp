#include "DescriptorsExhausted.h"
#include "FakeGameServer.h"
#include "MessageRecorder.h"
#include "RconBanSocket.h"
#include "RconUnbanSocket.h"
#include "ReplyWaiterObject.h"
#include "TestApplication.h"

#include <QAbstractEventDispatcher>
#include <QThread>
#include <QTimer>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using enum RconResult;

namespace {

const std::string kWaitGuid = "00112233445566778899aabbccddeeff";

// Sends the command to `server` on a fresh socket of the right kind.
std::unique_ptr<RconSocket> SendTo(const ServerEntry& server, bool ban) {
    if (ban) {
        auto socket = std::make_unique<RconBanSocket>(server.address, server.port, server.rconpass);
        socket->SendBan(kWaitGuid, "1.2.3.4", "Player", "reason");
        return socket;
    }
    auto socket = std::make_unique<RconUnbanSocket>(server.address, server.port, server.rconpass);
    socket->SendUnban(kWaitGuid);
    return socket;
}

bool HasTimers(QObject& object) {
    return !QAbstractEventDispatcher::instance()->registeredTimers(&object).isEmpty();
}

struct WaitCase {
    const char* name;
    bool ban;
    void (*setUp)(FakeGameServer&);
    const char* password;
    int returned;
    RconResult result;   // when it returned 1
    const char* message; // when it returned 0
    MessageIcon icon;
};

void PrintTo(const WaitCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<std::string> Copies(int count, const std::string& datagram) {
    return std::vector<std::string>(static_cast<std::size_t>(count), datagram);
}

const std::string kAdded = FakeGameServer::Answer("Ban Added to Ban List");

class ReplyWait : public testing::TestWithParam<WaitCase> {
protected:
    TestApplication app;
};

TEST_P(ReplyWait, EndsAsTheReplySays) {
    const WaitCase& c = GetParam();
    FakeGameServer server("secret");
    c.setUp(server);
    const ServerEntry entry{"Alpha", "127.0.0.1", server.port(), c.password};
    ReplyWaiterObject waiter;
    MessageRecorder sink;
    const auto socket = SendTo(entry, c.ban);

    EXPECT_EQ(waiter.WaitForReply(*socket, entry, sink), c.returned);
    if (c.returned == 1) {
        EXPECT_EQ(socket->result(), c.result);
        EXPECT_TRUE(sink.messages.empty());
    } else {
        EXPECT_EQ(sink.messages, (std::vector<Message>{{c.message, "Alpha", c.icon}}));
    }
    // The reply was in before the timer could fire, and the timer is gone;
    // replies nobody will read no longer wake the event loop.
    EXPECT_EQ(waiter.timerId(), 0);
    EXPECT_FALSE(HasTimers(waiter));
    EXPECT_FALSE(socket->wakesEventLoop());
    EXPECT_EQ(server.received().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ReplyWait,
    testing::Values(
        WaitCase{"BanDone", true, [](FakeGameServer&) {}, "secret", 1, RCON_DONE, "", {}},
        WaitCase{"BanRefused",
                 true,
                 [](FakeGameServer& s) { s.AddBan(kWaitGuid); },
                 "secret",
                 1,
                 RCON_REFUSED,
                 "",
                 {}},
        WaitCase{"UnbanDone",
                 false,
                 [](FakeGameServer& s) { s.AddBan(kWaitGuid); },
                 "secret",
                 1,
                 RCON_DONE,
                 "",
                 {}},
        WaitCase{"UnbanRefused", false, [](FakeGameServer&) {}, "secret", 1, RCON_REFUSED, "", {}},
        // Only the server asked answers: a datagram from another port is
        // no reply, whatever it says.
        WaitCase{"AnswerFromAnotherPortIsNoReply", true,
                 [](FakeGameServer& s) { s.AnswerFromOtherPort(); }, "secret", 0, RCON_PENDING,
                 "No reply", MessageIcon::Error},
        WaitCase{"StraysBeforeTheAnswerAreDropped", true,
                 [](FakeGameServer& s) {
                     s.StraysFirst(Copies(100, kAdded));
                     s.AnswerWith({FakeGameServer::Answer("Bad rconpassword.\n")});
                 },
                 "secret", 0, RCON_PENDING, "Invalid RCON password", MessageIcon::Warning},
        WaitCase{"StrayZeroLengthDatagramIsDropped",
                 true,
                 [](FakeGameServer& s) { s.StraysFirst({""}); },
                 "secret",
                 1,
                 RCON_DONE,
                 "",
                 {}},
        // Hostile answers from the server itself: cut, read up to a NUL.
        WaitCase{"ReplyOf64KilobytesIsCut", true,
                 [](FakeGameServer& s) {
                     s.AnswerWith({FakeGameServer::Answer(std::string(65000, 'x') + kAdded)});
                 },
                 "secret", 0, RCON_PENDING, "Bad reply", MessageIcon::Error},
        WaitCase{"BinaryReplyReadUpToItsNul", true,
                 [](FakeGameServer& s) {
                     s.AnswerWith({FakeGameServer::Answer(std::string("\x01\x80\0", 3) + kAdded)});
                 },
                 "secret", 0, RCON_PENDING, "Bad reply", MessageIcon::Error},
        WaitCase{"BadPassword", true, [](FakeGameServer&) {}, "wrong", 0, RCON_PENDING,
                 "Invalid RCON password", MessageIcon::Warning},
        WaitCase{"UnbanBadPassword", false, [](FakeGameServer&) {}, "wrong", 0, RCON_PENDING,
                 "Invalid RCON password", MessageIcon::Warning},
        WaitCase{"BadReply", true,
                 [](FakeGameServer& s) { s.AnswerWith({FakeGameServer::Answer("Unknown cmd")}); },
                 "secret", 0, RCON_PENDING, "Bad reply", MessageIcon::Error},
        WaitCase{"SuccessOnlyInSecondDatagram", true,
                 [](FakeGameServer& s) {
                     s.AnswerWith({FakeGameServer::Answer("..."), kAdded});
                 },
                 "secret", 0, RCON_PENDING, "Bad reply", MessageIcon::Error},
        WaitCase{"SuccessInFirstOfSeveral",
                 true,
                 [](FakeGameServer& s) {
                     s.AnswerWith({kAdded, FakeGameServer::Answer("x")});
                 },
                 "secret",
                 1,
                 RCON_DONE,
                 "",
                 {}},
        WaitCase{"ShortFirstDatagram", true, [](FakeGameServer& s) { s.AnswerWith({"\xFF\xFF"}); },
                 "secret", 0, RCON_PENDING, "Bad reply", MessageIcon::Error},
        WaitCase{"PhraseBeyondTheSlot", true,
                 [](FakeGameServer& s) {
                     s.AnswerWith({FakeGameServer::Answer(std::string(250, '.') + "Ban Failed")});
                 },
                 "secret", 0, RCON_PENDING, "Bad reply", MessageIcon::Error},
        WaitCase{"ZeroLengthDatagram", true, [](FakeGameServer& s) { s.AnswerWith({""}); },
                 "secret", 0, RCON_PENDING, "Connection was closed", MessageIcon::Error},
        WaitCase{"ZeroLengthAfterAnAnswer", true,
                 [](FakeGameServer& s) {
                     s.AnswerWith({kAdded, ""});
                 },
                 "secret", 0, RCON_PENDING, "Connection was closed", MessageIcon::Error},
        WaitCase{"Datagrams256", true, [](FakeGameServer& s) { s.AnswerWith(Copies(256, kAdded)); },
                 "secret", 0, RCON_PENDING, "Too many messages received", MessageIcon::Error},
        WaitCase{"Datagrams255",
                 true,
                 [](FakeGameServer& s) { s.AnswerWith(Copies(255, kAdded)); },
                 "secret",
                 1,
                 RCON_DONE,
                 "",
                 {}}),
    [](const testing::TestParamInfo<WaitCase>& info) { return std::string(info.param.name); });

class Wait : public testing::Test {
protected:
    TestApplication app;
    FakeGameServer server{"secret"};
    ServerEntry entry{"Bravo", "127.0.0.1", server.port(), "secret"};
    MessageRecorder sink;
};

TEST_F(Wait, SilentServerGivesNoReplyAfterTheTimer) {
    server.StaySilent();
    ReplyWaiterObject waiter;
    const auto socket = SendTo(entry, true);
    EXPECT_EQ(waiter.WaitForReply(*socket, entry, sink), 0);
    EXPECT_EQ(sink.messages, (std::vector<Message>{{"No reply", "Bravo", MessageIcon::Error}}));
    EXPECT_TRUE(waiter.timedOut());
    EXPECT_FALSE(HasTimers(waiter));
    EXPECT_EQ(socket->result(), RCON_PENDING);
}

TEST_F(Wait, WithoutItsOwnersTimerItStillEndsAfterItsTimeLimit) {
    server.StaySilent();
    ReplyWaiterObject waiter;
    QThread elsewhere; // never started: no timer of this thread can serve the waiter
    waiter.moveToThread(&elsewhere);
    const auto socket = SendTo(entry, true);
    EXPECT_EQ(waiter.WaitForReply(*socket, entry, sink), 0);
    EXPECT_EQ(sink.messages, (std::vector<Message>{{"No reply", "Bravo", MessageIcon::Error}}));
}

TEST_F(Wait, WithoutItsOwnersTimerAReplyIsStillRead) {
    ReplyWaiterObject waiter;
    QThread elsewhere;
    waiter.moveToThread(&elsewhere);
    server.AnswerAfter(std::chrono::milliseconds(50));
    const auto socket = SendTo(entry, true);
    EXPECT_EQ(waiter.WaitForReply(*socket, entry, sink), 1);
    EXPECT_EQ(socket->result(), RCON_DONE);
}

TEST_F(Wait, InAThreadWithoutEventLoopItSleepsOnTheSocketUpToItsTimeLimit) {
    server.StaySilent();
    int returned = -1;
    std::vector<Message> shown;
    std::thread worker([&] {
        ReplyWaiterObject waiter;
        MessageRecorder workerSink;
        const auto socket = SendTo(entry, true);
        returned = waiter.WaitForReply(*socket, entry, workerSink);
        shown = workerSink.messages;
    });
    worker.join();
    EXPECT_EQ(returned, 0);
    EXPECT_EQ(shown, (std::vector<Message>{{"No reply", "Bravo", MessageIcon::Error}}));
}

TEST_F(Wait, LateButTimelyAnswerIsTaken) {
    server.AnswerAfter(std::chrono::milliseconds(100));
    ReplyWaiterObject waiter;
    const auto socket = SendTo(entry, false);
    EXPECT_EQ(waiter.WaitForReply(*socket, entry, sink), 1);
    EXPECT_EQ(socket->result(), RCON_REFUSED);
    EXPECT_FALSE(HasTimers(waiter));
}

// A socket whose poll reports a status the wait does not know.
class StrangeSocket : public RconSocket {
public:
    using RconSocket::RconSocket;
    PollStatus Poll() override { return static_cast<PollStatus>(7); }
};

TEST_F(Wait, UnknownPollStatusIsReported) {
    StrangeSocket socket("127.0.0.1", server.port(), "secret");
    ReplyWaiterObject waiter;
    EXPECT_EQ(waiter.WaitForReply(socket, entry, sink), 0);
    EXPECT_EQ(sink.messages,
              (std::vector<Message>{{"Unknown result: 7", "Bravo", MessageIcon::Error}}));
}

TEST_F(Wait, ReceiveFailureIsReportedWithItsErrorNumber) {
    std::unique_ptr<RconSocket> socket;
    // The sanitizer build checks the sockets' types as they are used, which
    // needs the process's memory map, and so a descriptor: one whole exchange
    // first, while descriptors can still be had.
    {
        const auto warm = SendTo(entry, true);
        ReplyWaiterObject warmWaiter;
        ASSERT_EQ(warmWaiter.WaitForReply(*warm, entry, sink), 1);
        sink.messages.clear();
    }
    {
        DescriptorsExhausted exhausted;
        socket = SendTo(entry, true);
    }
    ReplyWaiterObject waiter;
    EXPECT_EQ(waiter.WaitForReply(*socket, entry, sink), 0);
    EXPECT_EQ(sink.messages, (std::vector<Message>{{"ReceiveFrom ERROR " + std::to_string(EBADF),
                                                    "Bravo", MessageIcon::Error}}));
    EXPECT_FALSE(HasTimers(waiter));
}

TEST_F(Wait, EventsKeepBeingDispatchedAndAQuitIsHandledAfterTheWait) {
    server.AnswerAfter(std::chrono::milliseconds(100));
    ReplyWaiterObject waiter;
    int returned = -1;
    bool quitSeenDuringWait = false;
    QTimer::singleShot(0, [&] {
        const auto socket = SendTo(entry, true);
        // Dispatched while the wait runs: the event loop is told to end.
        QTimer::singleShot(0, [&] {
            quitSeenDuringWait = true;
            QCoreApplication::quit();
        });
        returned = waiter.WaitForReply(*socket, entry, sink);
    });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_TRUE(quitSeenDuringWait);
    EXPECT_EQ(returned, 1);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(Wait, TimerEventsOfOtherTimersAreNotTheReplyTimer) {
    ReplyWaiterObject waiter;
    EXPECT_FALSE(waiter.OnTimer(0));
    EXPECT_FALSE(waiter.OnTimer(12345));
    EXPECT_FALSE(waiter.timedOut());
}

} // namespace
