#include "StatusQuery.h"

#include "ServerCommands.h"
#include "Userinfo.h"

#include <QMetaObject>

namespace {

// `status` is whole at the empty line after its table; a server that ends
// it otherwise is waited for until it has been quiet a while.
RconTiming StatusTiming() {
    RconTiming timing;
    timing.whole = [](std::string_view text) { return IsWholeStatus(text); };
    return timing;
}

} // namespace

std::string UserinfoCommand(const ServerEntry& server, int slot) {
    CommandValues values;
    values.slot = slot;
    // A template the configuration took always expands with a slot.
    return ExpandServerCommand(server.commands.userinfo, values).command;
}

StatusQuery::StatusQuery(RconClient& client, ServerEntry server, std::vector<GuidSource*> sources,
                         QObject* parent)
    : QObject(parent), client_(client), server_(std::move(server)), sources_(std::move(sources)) {}

StatusQuery::~StatusQuery() {
    for (const RconClient::RequestId id : asked_) {
        client_.Cancel(id);
    }
}

void StatusQuery::Start() {
    asked_.push_back(client_.Send(
        server_, "status", [this](const RconReply& reply) { StatusAnswered(reply); },
        StatusTiming()));
}

void StatusQuery::StatusAnswered(const RconReply& reply) {
    snapshot_ = SnapshotOfStatusReply(reply);
    for (LivePlayer& player : snapshot_.players) {
        const std::string_view ip = AddressIp(player.status.address);
        for (GuidSource* source : sources_) {
            if (player.guid.from != GuidFrom::None) {
                break;
            }
            if (auto known = source->Find(player.status.slot, ip)) {
                player.guid = std::move(*known);
            }
        }
    }
    // Counted as one more answer awaited, so that nothing ends the query
    // before the deferred source and the userinfo questions are all asked.
    ++waiting_;
    AskDeferred();
}

void StatusQuery::AskDeferred() {
    std::vector<DeferredGuidSource::Question> questions;
    std::vector<std::size_t> asked;
    for (std::size_t i = 0; deferred_ != nullptr && i < snapshot_.players.size(); ++i) {
        const LivePlayer& player = snapshot_.players[i];
        const std::string_view ip = AddressIp(player.status.address);
        if (player.guid.from == GuidFrom::None && !ip.empty()) {
            questions.push_back({player.status.slot, std::string(ip), {}});
            asked.push_back(i);
        } else if (player.guid.from != GuidFrom::None) {
            // Known already: the source may add what it knows of the GUID.
            questions.push_back({player.status.slot, std::string(ip), player.guid.guid});
            asked.push_back(i);
        }
    }
    if (questions.empty()) {
        AskUserinfoOfUnknown();
        return;
    }
    deferred_->FindLater(server_, std::move(questions), this,
                         [this, asked](const DeferredGuidSource::Answers& answers) {
                             for (std::size_t k = 0; k < asked.size() && k < answers.size(); ++k) {
                                 KnownGuid& known = snapshot_.players[asked[k]].guid;
                                 if (answers[k] && known.from != GuidFrom::None) {
                                     known.ban = answers[k]->ban;
                                 } else if (answers[k]) {
                                     known = *answers[k];
                                 }
                             }
                             AskUserinfoOfUnknown();
                         });
}

void StatusQuery::AskUserinfoOfUnknown() {
    for (std::size_t i = 0; askUserinfo_ && i < snapshot_.players.size(); ++i) {
        const LivePlayer& player = snapshot_.players[i];
        const bool wanted = !userinfoSlot_ || *userinfoSlot_ == player.status.slot;
        if (player.guid.from == GuidFrom::None && wanted && HasUserinfoGuid(player.status)) {
            AskUserinfo(i);
        }
    }
    EndOfWait();
}

void StatusQuery::EndOfWait() {
    if (--waiting_ == 0) {
        Finish();
    }
}

void StatusQuery::AskUserinfo(std::size_t index) {
    const std::string command = UserinfoCommand(server_, snapshot_.players[index].status.slot);
    if (command.empty()) {
        return;
    }
    ++waiting_;
    asked_.push_back(client_.Send(server_, command, [this, index](const RconReply& reply) {
        LivePlayer& player = snapshot_.players[index];
        const std::string ip = UserinfoValue(reply.text, "ip");
        if (reply.answered() && (ip.empty() || AddressIp(ip) == AddressIp(player.status.address))) {
            if (std::string guid = UserinfoGuid(reply.text); !guid.empty()) {
                player.guid = {std::move(guid), GuidFrom::Userinfo};
            }
        }
        EndOfWait();
    }));
}

void StatusQuery::Finish() {
    if (done_) {
        return;
    }
    done_ = true;
    asked_.clear();
    // The client's callbacks already come from the event loop.
    emit finished();
}
