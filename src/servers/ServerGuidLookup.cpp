#include "ServerGuidLookup.h"

#include "BanStates.h"
#include "DatabaseGuids.h"
#include "LogModel.h"
#include "PlayerDatabase.h"
#include "SlotGuids.h"
#include "SqlPlayerLookup.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace {

using LookupClock = std::chrono::steady_clock;

// A log is split and classified in slices, so that closing the panel while a
// log of hundreds of MB is read waits for one slice, not for the whole log.
constexpr std::int64_t kLogSliceBytes = 8 << 20;
constexpr int kClassifyLinesAtOnce = 100'000;
// How long the database's answers (found or not) are kept.
constexpr auto kKeepDatabaseAnswers = std::chrono::minutes(5);
// How long a database that failed is left alone.
constexpr auto kDatabaseRetry = std::chrono::seconds(30);

} // namespace

// What the lookup thread owns: the logs it follows and the database
// connection. Touched on that thread only.
class ServerGuidLookup::Reader {
public:
    Reader(std::string databaseLocation, const std::atomic<bool>& stop)
        : databaseLocation_(std::move(databaseLocation)), stop_(stop) {}

    Answers Find(const std::string& logPath, const std::vector<Question>& questions,
                 std::string& trouble) {
        Answers answers(questions.size());
        // A GUID known already is answered with itself, for its ban state.
        const auto wanted = [&questions, &answers](std::size_t i) {
            return !answers[i] && questions[i].guid.empty();
        };
        if (const LogModel* log = FollowedLog(logPath, trouble)) {
            SlotGuids logGuids(log->playerSlots());
            for (std::size_t i = 0; i < questions.size(); ++i) {
                if (wanted(i)) {
                    answers[i] = logGuids.Find(questions[i].slot, questions[i].ip);
                }
            }
        }
        if (DatabaseGuids* database = Database(trouble)) {
            for (std::size_t i = 0; i < questions.size(); ++i) {
                if (!questions[i].guid.empty()) {
                    answers[i] = KnownGuid{questions[i].guid, GuidFrom::None, {}};
                }
            }
            for (std::size_t i = 0; i < questions.size() && !stop_; ++i) {
                if (wanted(i)) {
                    answers[i] = database->Find(questions[i].slot, questions[i].ip);
                }
            }
            if (!database->failure().empty()) {
                trouble = "the player database gives no GUIDs: " + database->failure();
                ForgetDatabase();
            } else {
                AddBanStates(answers, trouble);
            }
        }
        // A known GUID without a ban to add has nothing to answer.
        for (std::size_t i = 0; i < questions.size(); ++i) {
            if (!questions[i].guid.empty() && answers[i] && answers[i]->ban.empty()) {
                answers[i].reset();
            }
        }
        return answers;
    }

    void ForgetBanStates() { bans_.clear(); }

private:
    struct KeptBan {
        std::optional<BanState> active;
        LookupClock::time_point asked;
    };

    // Each GUID answered gets the ban that holds it off now, from the kept
    // states or the database's.
    void AddBanStates(Answers& answers, std::string& trouble) {
        const auto now = LookupClock::now();
        try {
            if (!states_) {
                states_ = std::make_unique<BanStates>(databaseLocation_);
            }
            for (std::optional<KnownGuid>& answer : answers) {
                if (!answer || stop_) {
                    continue;
                }
                auto kept = bans_.find(answer->guid);
                if (kept == bans_.end() || now - kept->second.asked > kKeepDatabaseAnswers) {
                    kept = bans_
                               .insert_or_assign(answer->guid,
                                                 KeptBan{states_->Active(answer->guid), now})
                               .first;
                }
                // A temp-ban kept a while may have run out since.
                const std::optional<BanState>& active = kept->second.active;
                answer->ban = ActiveBanText(
                    active && active->ActiveAt(states_->Now()) ? active : std::nullopt);
            }
        } catch (const DatabaseError& error) {
            trouble = std::string("the player database gives no ban states: ") + error.what();
            ForgetDatabase();
        }
    }

private:
    // The log at `path`, read on from where the last question left it; null
    // when the server names none or it cannot be read.
    const LogModel* FollowedLog(const std::string& path, std::string& trouble) {
        if (path.empty()) {
            return nullptr;
        }
        std::unique_ptr<LogModel>& log = logs_[path];
        if (!log) {
            log = std::make_unique<LogModel>();
            log->Load(path, kLogSliceBytes);
        } else {
            log->Refresh();
        }
        while (!log->fullySplit() && !stop_) {
            log->SplitMore(kLogSliceBytes);
        }
        while (log->classifiedCount() < log->lineCount() && !stop_) {
            log->ClassifyUpTo(
                std::min(log->lineCount(), log->classifiedCount() + kClassifyLinesAtOnce));
        }
        const LoadStatus status = log->loadStatus();
        if (status == LoadStatus::OpenFailed || status == LoadStatus::ViewFailed) {
            trouble = "cannot read " + path;
            return nullptr;
        }
        return log.get();
    }

    // The database's answers, opened or reopened as needed; null when none
    // is configured or it failed less than kDatabaseRetry ago.
    DatabaseGuids* Database(std::string& trouble) {
        if (databaseLocation_.empty()) {
            return nullptr;
        }
        const auto now = LookupClock::now();
        if (guids_ && now - answersSince_ > kKeepDatabaseAnswers) {
            guids_.reset();
        }
        if (!lookup_) {
            if (failedAt_ && now - *failedAt_ < kDatabaseRetry) {
                return nullptr;
            }
            lookup_ = std::make_unique<SqlPlayerLookup>(databaseLocation_);
            try {
                lookup_->Open();
            } catch (const DatabaseError& error) {
                trouble = std::string("the player database gives no GUIDs: ") + error.what();
                ForgetDatabase();
                return nullptr;
            }
        }
        if (!guids_) {
            guids_ = std::make_unique<DatabaseGuids>(*lookup_);
            answersSince_ = now;
        }
        return guids_.get();
    }

    void ForgetDatabase() {
        guids_.reset();
        lookup_.reset();
        states_.reset();
        bans_.clear();
        failedAt_ = LookupClock::now();
    }

    std::map<std::string, std::unique_ptr<LogModel>> logs_;
    std::string databaseLocation_;
    const std::atomic<bool>& stop_;
    std::unique_ptr<SqlPlayerLookup> lookup_;
    std::unique_ptr<DatabaseGuids> guids_; // after lookup_, which it uses
    std::unique_ptr<BanStates> states_;
    std::map<std::string, KeptBan> bans_; // by GUID
    LookupClock::time_point answersSince_;
    std::optional<LookupClock::time_point> failedAt_;
};

ServerGuidLookup::ServerGuidLookup(AppConfig config, QObject* parent)
    : QObject(parent), config_(std::move(config)),
      reader_(std::make_unique<Reader>(config_.DatabaseLocation(), stopping_)) {
    threadContext_.moveToThread(&thread_);
    thread_.setObjectName(QStringLiteral("Server GUIDs"));
    thread_.start();
}

ServerGuidLookup::~ServerGuidLookup() {
    stopping_ = true;
    // The reader's connection is closed on the thread that opened it; the
    // context comes home so that it is destroyed where it lives.
    QMetaObject::invokeMethod(
        &threadContext_,
        [this, home = thread()] {
            reader_.reset();
            threadContext_.moveToThread(home);
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    thread_.wait();
}

void ServerGuidLookup::FindLater(const ServerEntry& server, std::vector<Question> questions,
                                 QObject* context, std::function<void(Answers)> done) {
    const std::uint64_t id = nextId_++;
    pending_.emplace(id, Pending{context, std::move(done)});
    QMetaObject::invokeMethod(
        &threadContext_,
        [this, id, path = config_.LogLocation(server), questions = std::move(questions)] {
            if (stopping_) {
                return;
            }
            std::string trouble;
            Answers answers = reader_->Find(path, questions, trouble);
            // Posted to this object, which outlives the thread: the
            // destructor waits for it.
            QMetaObject::invokeMethod(
                this,
                [this, id, answers = std::move(answers), trouble = std::move(trouble)] {
                    Deliver(id, answers, trouble);
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void ServerGuidLookup::ForgetBanStates() {
    QMetaObject::invokeMethod(
        &threadContext_,
        [this] {
            if (!stopping_) {
                reader_->ForgetBanStates();
            }
        },
        Qt::QueuedConnection);
}

void ServerGuidLookup::Deliver(std::uint64_t id, const Answers& answers,
                               const std::string& trouble) {
    if (trouble != lastProblem_) {
        lastProblem_ = trouble;
        if (!trouble.empty()) {
            emit problem(QString::fromStdString(trouble));
        }
    }
    const auto found = pending_.find(id);
    if (found == pending_.end()) {
        return;
    }
    Pending pending = std::move(found->second);
    pending_.erase(found);
    if (pending.context) {
        pending.done(answers);
    }
}
