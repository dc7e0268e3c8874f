#include "ServerSnapshot.h"

#include "RconCommand.h"
#include "Windows1252.h"

ServerSnapshot SnapshotOfStatusReply(const RconReply& reply) {
    ServerSnapshot snapshot;
    using enum RconReplyStatus;
    snapshot.reachable = reply.status == Answered || reply.status == BadPassword ||
                         reply.status == NoPassword || reply.status == Overflow;
    if (!reply.answered()) {
        snapshot.failure = ReplyFailureMessage(reply, {}).text;
        return snapshot;
    }
    ServerStatus status = ParseStatus(reply.text);
    if (!status.recognised) {
        snapshot.failure = BadReplyText(reply.text);
        return snapshot;
    }
    snapshot.map = std::move(status.map);
    snapshot.players.reserve(status.players.size());
    for (StatusPlayer& player : status.players) {
        LivePlayer live{std::move(player), {}};
        if (IsSendableGuid(live.status.guid)) {
            live.guid = {live.status.guid, GuidFrom::Status};
        }
        snapshot.players.push_back(std::move(live));
    }
    return snapshot;
}

std::string SnapshotSummary(const ServerSnapshot& snapshot) {
    if (!snapshot.ok()) {
        return snapshot.failure;
    }
    const std::size_t count = snapshot.players.size();
    return Windows1252ToUtf8(snapshot.map) + ", " + std::to_string(count) +
           (count == 1 ? " player" : " players");
}

bool HasUserinfoGuid(const StatusPlayer& player) {
    return !AddressIp(player.address).empty();
}
