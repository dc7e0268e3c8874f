#pragma once

#include "BanOutcome.h"
#include "BanRecordStore.h"
#include "BanStates.h"
#include "BanTime.h"
#include "LoginName.h"

#include <QObject>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// The ban records and ban states of one player database, written and read on
// a thread of their own, for a window: a commit waits for the disk (an SQLite
// fdatasync, a PostgreSQL round trip), and a ban over many servers would stall
// every window that long for each record. The window thread only queues jobs
// and takes their answers from its event loop.
//
// Jobs run one at a time in the order they were queued, so a flow's records
// are stored before the state change queued after them. Nothing queued is
// dropped: the destructor waits until every job has run (their answers are
// no longer delivered), so a record handed over just before the window
// closes is still kept.
class BanStoreThread final : public QObject {
    Q_OBJECT

public:
    // What the jobs work with, on the thread only: the current flow's
    // records (BeginRecords starts them afresh) and the ban states. Both
    // open their connection at their first use.
    class Stores {
    public:
        Stores(std::string location, std::string admin, BanClock clock);
        BanRecordStore& records() { return *records_; }
        BanStates& states() { return states_; }
        // A new store for the next flow's records, its failures counted from
        // naught.
        void BeginRecords();

    private:
        std::string location_;
        std::string admin_;
        BanClock clock_;
        std::unique_ptr<BanRecordStore> records_;
        BanStates states_;
    };

    // `admin` and `clock` are who and when the records and the states say.
    explicit BanStoreThread(std::string location, std::string admin = LoginName(),
                            BanClock clock = LocalBanTime, QObject* parent = nullptr);
    ~BanStoreThread() override;
    BanStoreThread(const BanStoreThread&) = delete;
    BanStoreThread& operator=(const BanStoreThread&) = delete;

    // Runs `job` on the thread after every job queued before it; what it
    // returns comes to `done` from this object's event loop, unless
    // `context` is gone by then. A job must not throw.
    template <typename T>
    void Run(std::function<T(Stores&)> job, QObject* context, std::function<void(T)> done) {
        Post([job = std::move(job), context = QPointer<QObject>(context),
              done = std::move(done)](Stores& stores) -> std::function<void()> {
            auto value = std::make_shared<T>(job(stores));
            return [value, context, done] {
                if (context != nullptr) {
                    done(std::move(*value));
                }
            };
        });
    }

    // Runs `job` on the thread after every job queued before it, answering
    // nothing. A job must not throw.
    void Queue(std::function<void(Stores&)> job) {
        Post([job = std::move(job)](Stores& stores) -> std::function<void()> {
            job(stores);
            return [] {};
        });
    }

    // Hands each outcome to the current flow's records on the thread: the
    // flows' ServerOutcomeRecorder, which returns at once.
    ServerOutcomeRecorder& recorder() { return recorder_; }

private:
    class QueuedRecorder final : public ServerOutcomeRecorder {
    public:
        explicit QueuedRecorder(BanStoreThread& owner) : owner_(owner) {}
        void Record(const ServerOutcomeRecord& record) override;

    private:
        BanStoreThread& owner_;
    };

    using Job = std::function<std::function<void()>(Stores&)>;
    void Post(Job job);

    std::atomic<bool> stopping_{false};
    QThread thread_;
    QObject threadContext_;          // lives on thread_ until the destructor
    std::unique_ptr<Stores> stores_; // made, used and destroyed on thread_
    std::string location_;
    std::string admin_;
    BanClock clock_;
    QueuedRecorder recorder_{*this};
};
