#include "BanFlow.h"

#include "ReplyClassifier.h"
#include "Windows1252.h"

#include <algorithm>

using enum RconResult;

namespace {

// How the server's own answer to a command is worded.
struct AnswerTexts {
    const char* done;
    const char* refused;
};

constexpr AnswerTexts kBanAnswers{kBanDoneText, kBanRefusedText};
constexpr AnswerTexts kUnbanAnswers{
    "GUID removed from ban list",
    "Unban failed\nUsually this happens if the\nsupplied GUID is not banned"};

const ReplyPhrases& PhrasesOf(BanAction action) {
    return action == BanAction::Unban ? kUnbanPhrases : kBanPhrases;
}

} // namespace

bool HasConnectionData(const BanTarget& target) {
    return !target.guid.empty() && !target.ip.empty();
}

bool EveryServerDone(const std::vector<ServerResult>& results) {
    return !results.empty() && std::all_of(results.begin(), results.end(), [](const auto& r) {
        return r.outcome == ServerOutcome::Done;
    });
}

BanRun::BanRun(BanAction action, RconClient& client, const std::forward_list<ServerEntry>& servers,
               BanTarget target, BanReasonSource* reasons, MessageSink& messages,
               ServerOutcomeRecorder* recorder, QObject* parent)
    : QObject(parent), action_(action), client_(client), servers_(servers.begin(), servers.end()),
      target_(std::move(target)), reasons_(reasons), messages_(messages), recorder_(recorder) {}

BanRun::~BanRun() {
    if (request_ != 0) {
        client_.Cancel(request_);
    }
}

void BanRun::Start() {
    running_ = true;
    if (action_ != BanAction::Ban && action_ != BanAction::Unban) {
        // A kick or message is one server's, never sent to every server as
        // a ban would be.
        Finish();
        return;
    }
    const bool identified =
        action_ == BanAction::Unban ? !target_.guid.empty() : HasConnectionData(target_);
    // A player the log holds no connection for has no GUID (and no address)
    // to send: refused once, before any reason is asked, instead of reaching
    // every server with an empty GUID.
    if (!identified) {
        messages_.ShowThen(
            {std::string(kNoConnectionDataRefusal), kApplicationTitle, MessageIcon::Warning},
            [self = QPointer(this)] {
                if (self) {
                    self->Finish();
                }
            });
        return;
    }
    if (servers_.empty()) {
        messages_.ShowThen({"No servers configured", "Warning", MessageIcon::Warning},
                           [self = QPointer(this)] {
                               if (self) {
                                   self->Finish();
                               }
                           });
        return;
    }
    Next();
}

void BanRun::Next() {
    if (next_ >= servers_.size()) {
        Finish();
        return;
    }
    const ServerEntry& server = servers_[next_];
    if (action_ != BanAction::Ban || reasons_ == nullptr) {
        SendTo(server, {});
        return;
    }
    reasons_->AskReason("Enter ban reason for " + Windows1252ToUtf8(server.name),
                        [self = QPointer(this)](std::optional<std::string> reason) {
                            if (!self) {
                                return;
                            }
                            const ServerEntry& asked = self->servers_[self->next_];
                            if (!reason) {
                                self->results_.push_back({asked.name, ServerOutcome::Skipped, {}});
                                ++self->next_;
                                self->Next();
                                return;
                            }
                            self->SendTo(asked, *reason);
                        });
}

void BanRun::SendTo(const ServerEntry& server, const std::string& reason) {
    RconRequest request =
        action_ == BanAction::Unban
            ? FormatUnbanRequest(server.rconpass, target_.guid)
            : FormatBanRequest(server.rconpass, target_.guid, target_.name, target_.ip, reason);
    const ReplyPhrases& phrases = PhrasesOf(action_);
    RconTiming timing;
    // The answer is whole once it says how the command went; a service
    // that first says it is working on it is waited for.
    timing.whole = [&phrases](std::string_view text) {
        return text.find(phrases.done) != std::string_view::npos ||
               text.find(phrases.refused) != std::string_view::npos;
    };
    request_ = client_.SendRequest(
        server, std::move(request),
        [this, server, reason](const RconReply& reply) {
            request_ = 0;
            Conclude(server, reason, reply);
        },
        std::move(timing));
}

void BanRun::Conclude(const ServerEntry& server, const std::string& reason,
                      const RconReply& reply) {
    const AnswerTexts& answers = action_ == BanAction::Unban ? kUnbanAnswers : kBanAnswers;
    const std::string caption = Windows1252ToUtf8(server.name);
    ServerResult result{server.name, ServerOutcome::Failed, {}};
    const bool spoke = reply.answered() || reply.status == RconReplyStatus::BadPassword ||
                       reply.status == RconReplyStatus::NoPassword;
    const RconResult said = spoke ? ClassifyReply(reply.text, PhrasesOf(action_)) : RCON_BAD_REPLY;
    if (said == RCON_DONE) {
        result.outcome = ServerOutcome::Done;
        result.message = {answers.done, caption, MessageIcon::None};
    } else if (said == RCON_REFUSED) {
        result.outcome = ServerOutcome::Refused;
        result.message = {answers.refused, caption, MessageIcon::Warning};
    } else if (said == RCON_BAD_PASSWORD) {
        result.message = {"Invalid RCON password", caption, MessageIcon::Warning};
    } else {
        result.message = ReplyFailureMessage(reply, server.name);
    }
    results_.push_back(result);
    // The outcome is kept first, so that its record carries the moment the
    // server answered rather than the moment the user read the answer.
    if (recorder_ != nullptr) {
        recorder_->Record({action_, target_, reason, results_.back()});
    }
    messages_.ShowThen(results_.back().message, [self = QPointer(this)] {
        if (self) {
            ++self->next_;
            self->Next();
        }
    });
}

void BanRun::Finish() {
    running_ = false;
    emit finished();
}
