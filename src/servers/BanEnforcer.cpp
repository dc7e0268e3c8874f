#include "BanEnforcer.h"

#include "ConnectLine.h"
#include "GameServer.h"
#include "KickWherePlaying.h"
#include "LogModel.h"
#include "ServerCommands.h"
#include "Windows1252.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>

BanEnforcer::BanEnforcer(ServerEntry server, const std::string& databaseLocation, QObject* parent)
    : QObject(parent), server_(std::move(server)), states_(databaseLocation),
      records_(databaseLocation) {}

BanEnforcer::~BanEnforcer() = default;

void BanEnforcer::LinesRead(const LogModel& model, int first) {
    for (int line = std::max(first, 0); line < model.lineCount(); ++line) {
        LineRead(model.LineText(line), model.eventTextOffset());
    }
}

void BanEnforcer::FileReplaced(const LogModel& model) {
    std::array<int, kPlayerSlotCount> latest{};
    latest.fill(-1);
    for (int line = 0; line < model.lineCount(); ++line) {
        if (const auto connect =
                ReadConnectLine(model.LineText(line), buffer_, model.eventTextOffset())) {
            latest[static_cast<std::size_t>(connect->slot)] = line;
        }
    }
    std::ranges::sort(latest);
    for (const int line : latest) {
        if (line >= 0) {
            LineRead(model.LineText(line), model.eventTextOffset());
        }
    }
}

void BanEnforcer::LineRead(std::string_view line, int eventTextOffset) {
    const auto connect = ReadConnectLine(line, buffer_, eventTextOffset);
    if (!connect) {
        return;
    }
    std::optional<BanState> ban;
    try {
        ban = states_.Active(connect->guid);
    } catch (const DatabaseError& failure) {
        emit problem(QString::fromStdString("cannot check the ban of " +
                                            std::string(connect->guid) + ": " + failure.what()));
        return;
    }
    if (ban) {
        Kick(connect->slot, connect->address, *ban);
    }
}

void BanEnforcer::Kick(int slot, std::string_view ip, const BanState& ban) {
    const PlayerAction action = BanKickAction(ban, states_.Now());
    const ExpandedCommand expanded = action.KickCommand(server_.commands, slot);
    const std::string naming =
        " (" + BanStatusText(ban, states_.Now()) + " by " + ban.issuedBy + "): ";
    const BanTarget target{ban.guid, std::string(ip), Utf8ToWindows1252(ban.name)};
    const auto done = [this, slot, action, naming, target](ServerResult result) {
        result.message.text =
            (result.outcome == ServerOutcome::Done ? "Ban enforced" : "Ban not enforced") + naming +
            result.message.text;
        action.Record(&records_, target, result);
        emit enforced(QString::fromStdString(Windows1252ToUtf8(server_.name) + ": slot " +
                                             std::to_string(slot) + " " + target.guid + ": " +
                                             result.message.text));
        if (records_.failed() > recordsFailed_) {
            recordsFailed_ = records_.failed();
            emit problem(QString::fromStdString("the kick's record was not stored: " +
                                                records_.firstError()));
        }
    };
    if (!expanded.ok()) {
        done(ActionNotSent(server_.name, expanded.error));
        return;
    }
    ++pending_;
    client_.Send(server_, expanded.command, [this, done](const RconReply& reply) {
        done(ActionResult(reply, server_.name));
        if (--pending_ == 0) {
            emit settled();
        }
    });
}

std::optional<ServerEntry> ServerOfLog(const AppConfig& config, const QString& path) {
    const auto same = [](const QString& a, const QString& b) {
        const QFileInfo first(a);
        const QFileInfo second(b);
        const QString canonical = first.canonicalFilePath();
        return canonical.isEmpty() ? first.absoluteFilePath() == second.absoluteFilePath()
                                   : canonical == second.canonicalFilePath();
    };
    for (const ServerEntry& server : config.servers) {
        if (!server.log.empty() && same(QFile::decodeName(server.log.c_str()), path)) {
            return server;
        }
    }
    return std::nullopt;
}
