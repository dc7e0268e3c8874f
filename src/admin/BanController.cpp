#include "BanController.h"

#include "AppConfig.h"
#include "BanFlow.h"
#include "BanStoreThread.h"
#include "CBanReasonDlg.h"
#include "KickWherePlaying.h"
#include "PlayerDatabase.h"
#include "PlayerGuid.h"
#include "ServerGuidLookup.h"
#include "UserSettings.h"
#include "Windows1252.h"

#include <functional>
#include <optional>
#include <utility>

namespace {

constexpr char kEachServerSetting[] = "Settings/BanReasonForEachServer";

// The ban state's request for a target: the texts as the records keep them.
BanRequest RequestOf(const BanTarget& target, const std::string& reason) {
    return {Windows1252ToUtf8(target.guid), Windows1252ToUtf8(reason),
            Windows1252ToUtf8(target.name), Windows1252ToUtf8(target.ip)};
}

// Runs a change of the ban state on the database thread, its failure kept
// as a text; the connection is not kept open between flows.
std::optional<BanChange> ChangeState(BanStates& states,
                                     const std::function<BanChange(BanStates&)>& change,
                                     std::string& failure) {
    std::optional<BanChange> changed;
    try {
        changed = change(states);
    } catch (const DatabaseError& error) {
        failure = error.what();
    } catch (const std::exception& error) {
        failure = error.what();
    }
    states.Close();
    return changed;
}

} // namespace

// What the database kept at a flow's end: the state's change (or why none
// was made) and the records' failure, told together.
struct BanController::FlowEnd {
    std::optional<BanChange> change;
    std::string stateFailure;
    std::optional<Message> recordsFailure;
    bool stateAsked = false;
    std::int64_t now = 0; // the database clock's, when the state was changed
};

// The reason source of one ban: asks the window's Ban reason dialog once, and
// answers every server after with that reason, unless "Ask for each server"
// is ticked, which asks again at the next server. Cancel with the box clear
// answers nothing for this server and every one after it, so nothing more is
// sent. The run asks for its servers in list order, once each.
class BanController::Reasons final : public BanReasonSource {
public:
    // `chosen` hears of a change of the box at the first question answered
    // with OK: the user's choice for the bans to come.
    Reasons(CBanReasonDlg& dialog, const std::forward_list<ServerEntry>& servers, bool eachServer,
            std::function<void(bool)> chosen)
        : dialog_(dialog), eachServer_(eachServer), chosen_(std::move(chosen)) {
        for (const ServerEntry& server : servers) {
            names_.push_back(Windows1252ToUtf8(server.name));
        }
    }

    void AskReason(const std::string& prompt, Answer answer) override {
        const std::size_t index = asked_++;
        if (forTheRest_) {
            answer(*forTheRest_);
            return;
        }
        const BanReasonQuestion question{prompt, EveryPrompt(index), eachServer_};
        dialog_.Ask(question, [this, index, answer = std::move(answer)](BanReasonReply reply) {
            if (index == 0 && reply.reason && reply.eachServer != eachServer_) {
                chosen_(reply.eachServer);
            }
            eachServer_ = reply.eachServer;
            if (!eachServer_) {
                forTheRest_ = reply.reason;
            }
            if (reply.reason && !firstReason_) {
                firstReason_ = reply.reason;
            }
            answer(std::move(reply.reason));
        });
    }

    // The first reason given: the ban state's. None when every question was
    // cancelled, and nothing was sent.
    const std::optional<std::string>& firstReason() const { return firstReason_; }

private:
    // The question for every server left from `index`; none when one is
    // left.
    std::string EveryPrompt(std::size_t index) const {
        if (index + 1 >= names_.size()) {
            return {};
        }
        const std::size_t after = names_.size() - index - 1;
        if (index == 0) {
            return "Enter ban reason for all " + std::to_string(names_.size()) + " servers";
        }
        return "Enter ban reason for " + names_[index] + " and the " + std::to_string(after) +
               (after == 1 ? " server after it" : " servers after it");
    }

    CBanReasonDlg& dialog_;
    std::vector<std::string> names_; // UTF-8
    bool eachServer_;
    std::function<void(bool)> chosen_;
    std::size_t asked_ = 0;
    // The answer for every server still to come, once given.
    std::optional<std::optional<std::string>> forTheRest_;
    std::optional<std::string> firstReason_;
};

BanController::BanController(const AppConfig& config, QDialog& window)
    : config_(config), window_(window), messageBoxes_(&window),
      namedBoxes_(config.servers, messageBoxes_), admin_(LoginName()), clock_(LocalBanTime),
      askEachServer_(UserSettings().value(QString::fromLatin1(kEachServerSetting)).toBool()) {}

BanController::~BanController() {
    // Before the client, the reasons, the lookup and the store they use; the
    // store then keeps whatever was handed to it before it goes.
    run_.reset();
    kicks_.reset();
    if (reasonDialog_ != nullptr) {
        // Whatever it was asking goes unanswered.
        reasonDialog_->blockSignals(true);
        delete reasonDialog_;
    }
}

void BanController::SetMessageSink(MessageSink* messages) {
    messages_ = messages != nullptr ? messages : &namedBoxes_;
}

void BanController::SetRecordIdentity(std::string admin, BanClock clock) {
    admin_ = std::move(admin);
    clock_ = std::move(clock);
    store_.reset(); // the next is made with them
}

bool BanController::keepsStates() const {
    return !config_.databasePath.empty();
}

BanStoreThread& BanController::Store() {
    if (!store_) {
        store_ = std::make_unique<BanStoreThread>(config_.DatabaseLocation(), admin_, clock_);
    }
    return *store_;
}

void BanController::ReadActiveStates(std::vector<std::string> guids, QObject* context,
                                     std::function<void(const ActiveBanStates&)> done) {
    if (!keepsStates()) {
        return;
    }
    Store().Run<ActiveBanStates>(
        [guids = std::move(guids)](BanStoreThread::Stores& stores) {
            ActiveBanStates read;
            try {
                for (const std::string& guid : guids) {
                    read.states.push_back(stores.states().Active(guid));
                }
            } catch (const DatabaseError& error) {
                read.states.clear();
                read.failure = error.what();
            }
            stores.states().Close();
            return read;
        },
        context, [done = std::move(done)](ActiveBanStates read) { done(read); });
}

bool BanController::Start(BanAction action, BanTarget target) {
    if (running_) {
        return false;
    }
    running_ = true;
    action_ = action;
    results_.clear();
    target_ = target;
    ServerOutcomeRecorder* records = nullptr;
    if (keepsStates()) {
        Store().Queue([](BanStoreThread::Stores& stores) { stores.BeginRecords(); });
        records = &Store().recorder();
    }
    if (reasonDialog_ == nullptr) {
        // Shown over the window, so it has the window as its parent.
        reasonDialog_ = new CBanReasonDlg(&window_);
    }
    reasons_ = std::make_unique<Reasons>(
        *reasonDialog_, config_.servers, askEachServer_, [this](bool each) {
            askEachServer_ = each;
            UserSettings().setValue(QString::fromLatin1(kEachServerSetting), each);
        });
    run_ = std::make_unique<BanRun>(action, client_, config_.servers, std::move(target),
                                    reasons_.get(), *messages_, records);
    connect(run_.get(), &BanRun::finished, this, &BanController::RunEnded, Qt::QueuedConnection);
    emit started();
    run_->Start();
    return true;
}

void BanController::RunEnded() {
    results_ = run_->results();
    const std::optional<std::string> reason = reasons_->firstReason();
    run_.reset();
    reasons_.reset();
    if (!keepsStates()) {
        Finish();
        return;
    }
    // After the servers, whatever they answered: the state is the team's
    // answer to "is he banned?", which enforcement on connect and a later
    // sync take to the servers that missed the command. A ban whose every
    // question was cancelled sent nothing and changes nothing.
    std::function<BanChange(BanStates&)> change;
    if (IsPlayerGuid(target_.guid) && action_ == BanAction::Ban && reason) {
        change = [request = RequestOf(target_, *reason)](BanStates& states) {
            return states.Ban(request);
        };
    } else if (IsPlayerGuid(target_.guid) && action_ == BanAction::Unban) {
        change = [guid = Windows1252ToUtf8(target_.guid)](BanStates& states) {
            return states.Lift(guid, {});
        };
    }
    Store().Run<FlowEnd>(
        [change](BanStoreThread::Stores& stores) {
            FlowEnd end;
            stores.records().Close();
            end.recordsFailure = stores.records().FailureMessage();
            if (change) {
                end.stateAsked = true;
                end.change = ChangeState(stores.states(), change, end.stateFailure);
            }
            return end;
        },
        this, [this](const FlowEnd& end) { TellEnd(end); });
}

namespace {

// Shows each message in turn, each once the one before was acknowledged,
// then calls `then`, unless `owner` is gone by then.
void ShowInTurn(MessageSink& sink, std::vector<Message> messages, QPointer<QObject> owner,
                std::function<void()> then) {
    if (messages.empty()) {
        then();
        return;
    }
    const Message first = messages.front();
    messages.erase(messages.begin());
    sink.ShowThen(first, [&sink, messages = std::move(messages), owner, then = std::move(then)] {
        if (owner != nullptr) {
            ShowInTurn(sink, messages, owner, then);
        }
    });
}

// What the user is told of the state: its line, or why it was not kept.
// `notKept` says what went ahead without it.
std::vector<Message> StateMessages(const std::optional<BanChange>& change,
                                   const std::string& failure, const std::string& notKept) {
    std::vector<Message> messages;
    if (change) {
        messages.push_back({"Ban state: " + change->text, kApplicationTitle,
                            change->kept() ? MessageIcon::None : MessageIcon::Warning});
    } else {
        messages.push_back({notKept + ":\n" + failure, kApplicationTitle, MessageIcon::Warning});
    }
    return messages;
}

} // namespace

void BanController::TellEnd(const FlowEnd& end) {
    // An unban of a GUID the state did not hold (or that the Bans window
    // lifted just before) changed nothing there: nothing to say of it.
    const bool nothingLifted = action_ == BanAction::Unban && end.change &&
                               end.change->outcome == BanChangeOutcome::NotBanned;
    std::vector<Message> messages;
    if (end.stateAsked && !nothingLifted) {
        messages = StateMessages(
            end.change, end.stateFailure,
            action_ == BanAction::Ban
                ? "The ban went ahead on the servers, but the ban state was not kept"
                : "The unban went ahead on the servers, but the ban state was not lifted");
    }
    if (end.recordsFailure) {
        messages.push_back(*end.recordsFailure);
    }
    ShowInTurn(*messages_, std::move(messages), this, [this] { Finish(); });
}

bool BanController::StartTempBan(BanTarget target, long long minutes, std::string reason) {
    if (running_ || !keepsStates()) {
        return false;
    }
    running_ = true;
    action_ = BanAction::TempKick;
    results_.clear();
    target_ = target;
    emit started();
    Store().Queue([](BanStoreThread::Stores& stores) { stores.BeginRecords(); });
    Store().Run<FlowEnd>(
        [request = RequestOf(target, reason), minutes](BanStoreThread::Stores& stores) {
            FlowEnd end;
            end.stateAsked = true;
            end.change = ChangeState(
                stores.states(),
                [&](BanStates& states) {
                    end.now = states.Now();
                    return states.TempBan(request, minutes);
                },
                end.stateFailure);
            return end;
        },
        this, [this](const FlowEnd& end) { TempBanKept(end); });
    return true;
}

void BanController::TempBanKept(const FlowEnd& end) {
    std::vector<Message> messages =
        StateMessages(end.change, end.stateFailure, "The temp-ban was not kept");
    // Where he plays now he goes at once, for what is left of the ban that
    // holds him (the new one, or a longer one that stands); elsewhere the
    // harvest services kick him at his next connect.
    const bool holds = end.change && end.change->state && end.change->state->ActiveAt(end.now);
    if (!holds || config_.servers.empty()) {
        EndRecords(std::move(messages));
        return;
    }
    ShowInTurn(
        *messages_, std::move(messages), this, [this, state = *end.change->state, now = end.now] {
            if (!guids_) {
                guids_ = std::make_unique<ServerGuidLookup>(config_);
            }
            kicks_ = std::make_unique<KickWherePlaying>(
                client_, std::vector<ServerEntry>(config_.servers.begin(), config_.servers.end()),
                state.guid, BanKickAction(state, now), guids_.get(), &Store().recorder());
            connect(kicks_.get(), &KickWherePlaying::finished, this, &BanController::KicksEnded,
                    Qt::QueuedConnection);
            kicks_->Start();
        });
}

void BanController::KicksEnded() {
    results_ = kicks_->results();
    kicks_.reset();
    // Each server he was on answers, naming itself; the servers he was not
    // on say nothing, unless he was on none.
    std::vector<Message> messages;
    for (const ServerResult& result : results_) {
        if (result.outcome != ServerOutcome::Skipped) {
            messages.push_back(result.message);
        }
    }
    if (messages.empty()) {
        messages.push_back({"He is on no server now: the ban keeps him off when he connects.",
                            kApplicationTitle, MessageIcon::None});
    }
    EndRecords(std::move(messages));
}

void BanController::EndRecords(std::vector<Message> messages) {
    Store().Run<std::optional<Message>>(
        [](BanStoreThread::Stores& stores) {
            stores.records().Close();
            return stores.records().FailureMessage();
        },
        this,
        [this, messages = std::move(messages)](std::optional<Message> failure) mutable {
            if (failure) {
                messages.push_back(*failure);
            }
            ShowInTurn(*messages_, std::move(messages), this, [this] { Finish(); });
        });
}

void BanController::Finish() {
    running_ = false;
    emit finished(action_, results_);
    if (closeHeld_) {
        closeHeld_ = false;
        window_.done(heldResult_);
    }
}

bool BanController::HoldClose(int result) {
    if (!running_) {
        return false;
    }
    closeHeld_ = true;
    heldResult_ = result;
    return true;
}
