#pragma once

#include "PlayerDatabase.h"
#include "PlayerLookup.h"

#include <QMetaObject>
#include <QObject>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>

// What a look-up run off the user-interface thread came back with.
template <typename Result> struct QueryOutcome {
    std::optional<Result> value;
    std::string error; // the engine's description, when there is no value
};

// Runs look-ups off the user-interface thread, so that a slow or distant
// database never freezes a window. Each look-up gets a PlayerLookup of its
// own, made, opened and closed on a pool thread (a Qt SQL connection belongs
// to the thread that opened it). The outcome comes back on the runner's
// thread, through the event loop, and only for the look-up asked for last: a
// newer question makes the answers to older ones moot. Destroying the runner
// drops what is still on its way; the look-up itself runs to its end on its
// thread.
class PlayerQueryRunner : public QObject {
    Q_OBJECT

public:
    using LookupFactory = std::function<std::unique_ptr<PlayerLookup>()>;

    explicit PlayerQueryRunner(LookupFactory factory, QObject* parent = nullptr);
    ~PlayerQueryRunner() override;

    // Runs `job` on a pool thread with an open look-up; `done` is called on
    // this object's thread with its outcome, unless another Run came after.
    template <typename Result>
    void Run(std::function<Result(PlayerLookup&)> job,
             std::function<void(const QueryOutcome<Result>&)> done);

    // Where later look-ups get their database objects.
    void SetLookups(LookupFactory factory) { factory_ = std::move(factory); }

    // Drops the answer still awaited, if any.
    void Cancel();

    // A look-up asked for has not come back yet.
    bool busy() const { return busy_; }

signals:
    void busyChanged(bool busy);

private:
    // What a pool thread reaches the runner by: cleared when the runner goes.
    struct Channel {
        std::mutex mutex;
        PlayerQueryRunner* runner = nullptr;
    };

    template <typename Result>
    static QueryOutcome<Result> RunLookup(const LookupFactory& factory,
                                          const std::function<Result(PlayerLookup&)>& job);

    void Deliver(quint64 ticket, const std::function<void()>& call);
    void SetBusy(bool busy);

    LookupFactory factory_;
    std::shared_ptr<Channel> channel_;
    quint64 latest_ = 0;
    bool busy_ = false;
};

template <typename Result>
QueryOutcome<Result> PlayerQueryRunner::RunLookup(const LookupFactory& factory,
                                                  const std::function<Result(PlayerLookup&)>& job) {
    QueryOutcome<Result> outcome;
    if (!factory) {
        outcome.error = "No player database is configured.";
        return outcome;
    }
    try {
        const std::unique_ptr<PlayerLookup> lookup = factory();
        lookup->Open();
        outcome.value = job(*lookup);
        lookup->Close();
    } catch (const DatabaseError& error) {
        outcome.value.reset();
        outcome.error = error.what();
    } catch (const std::bad_alloc&) {
        outcome.value.reset();
        outcome.error = "Other error";
    } catch (const std::exception& error) {
        // Nothing may escape a pool thread; whatever it was is told.
        outcome.value.reset();
        outcome.error = error.what();
    }
    return outcome;
}

template <typename Result>
void PlayerQueryRunner::Run(std::function<Result(PlayerLookup&)> job,
                            std::function<void(const QueryOutcome<Result>&)> done) {
    const quint64 ticket = ++latest_;
    SetBusy(true);
    QThreadPool::globalInstance()->start([channel = channel_, factory = factory_,
                                          job = std::move(job), done = std::move(done), ticket] {
        auto outcome = std::make_shared<QueryOutcome<Result>>(RunLookup(factory, job));
        const std::lock_guard lock(channel->mutex);
        if (PlayerQueryRunner* runner = channel->runner) {
            // Queued: runs on the runner's thread, or never if the runner
            // is gone by then.
            QMetaObject::invokeMethod(
                runner,
                [runner, ticket, done, outcome] {
                    runner->Deliver(ticket, [&] { done(*outcome); });
                },
                Qt::QueuedConnection);
        }
    });
}
