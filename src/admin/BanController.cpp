#include "BanController.h"

#include "AppConfig.h"
#include "BanFlow.h"
#include "BanRecordStore.h"
#include "CBanReasonDlg.h"
#include "UserSettings.h"
#include "Windows1252.h"

#include <functional>
#include <optional>
#include <utility>

namespace {

constexpr char kEachServerSetting[] = "Settings/BanReasonForEachServer";

} // namespace

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
            answer(std::move(reply.reason));
        });
    }

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
};

BanController::BanController(const AppConfig& config, QDialog& window)
    : config_(config), window_(window), messageBoxes_(&window),
      namedBoxes_(config.servers, messageBoxes_), admin_(LoginName()), clock_(LocalBanTime),
      askEachServer_(UserSettings().value(QString::fromLatin1(kEachServerSetting)).toBool()) {}

BanController::~BanController() {
    run_.reset(); // before the client, the reasons and the records it uses
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
}

bool BanController::Start(BanAction action, BanTarget target) {
    if (running_) {
        return false;
    }
    running_ = true;
    action_ = action;
    results_.clear();
    if (!config_.databasePath.empty()) {
        records_ = std::make_unique<BanRecordStore>(config_.DatabaseLocation(), admin_, clock_);
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
                                    reasons_.get(), *messages_, records_.get());
    connect(run_.get(), &BanRun::finished, this, &BanController::RunEnded, Qt::QueuedConnection);
    emit started();
    run_->Start();
    return true;
}

void BanController::RunEnded() {
    results_ = run_->results();
    run_.reset();
    reasons_.reset();
    // Each outcome is in the records already; what the whole flow changed
    // for the player (the ban state, once the database keeps one) is settled
    // here, before the end is told.
    if (records_ == nullptr) {
        Finish();
        return;
    }
    records_->Close();
    const std::optional<Message> failure = records_->FailureMessage();
    records_.reset();
    if (!failure) {
        Finish();
        return;
    }
    messages_->ShowThen(*failure, [self = QPointer(this)] {
        if (self) {
            self->Finish();
        }
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
