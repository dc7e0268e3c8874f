#include "BanStoreThread.h"

#include <utility>

BanStoreThread::Stores::Stores(std::string location, std::string admin, BanClock clock)
    : location_(std::move(location)), admin_(std::move(admin)), clock_(std::move(clock)),
      records_(std::make_unique<BanRecordStore>(location_, admin_, clock_)),
      states_(location_, admin_, clock_) {}

void BanStoreThread::Stores::BeginRecords() {
    records_ = std::make_unique<BanRecordStore>(location_, admin_, clock_);
}

BanStoreThread::BanStoreThread(std::string location, std::string admin, BanClock clock,
                               QObject* parent)
    : QObject(parent), location_(std::move(location)), admin_(std::move(admin)),
      clock_(std::move(clock)) {
    threadContext_.moveToThread(&thread_);
    thread_.setObjectName(QStringLiteral("Ban records"));
    thread_.start();
}

BanStoreThread::~BanStoreThread() {
    // Queued after every job, so it runs once they have: nothing handed over
    // is lost. The connections close on the thread that opened them; the
    // context comes home so that it is destroyed where it lives.
    stopping_ = true;
    QMetaObject::invokeMethod(
        &threadContext_,
        [this, home = thread()] {
            stores_.reset();
            threadContext_.moveToThread(home);
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    thread_.wait();
}

void BanStoreThread::Post(Job job) {
    QMetaObject::invokeMethod(
        &threadContext_,
        [this, job = std::move(job)] {
            if (!stores_) {
                stores_ = std::make_unique<Stores>(location_, admin_, clock_);
            }
            std::function<void()> deliver = job(*stores_);
            if (stopping_) {
                return; // the asker is going: the work is done, the answer not wanted
            }
            // Posted to this object, which outlives the thread: the
            // destructor waits for it, and what it has not delivered goes
            // with it.
            QMetaObject::invokeMethod(this, std::move(deliver), Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void BanStoreThread::QueuedRecorder::Record(const ServerOutcomeRecord& record) {
    // The record refers to the flow's texts: copied, as the flow goes on.
    struct Copy {
        BanAction action;
        BanTarget target;
        std::string reason;
        ServerResult result;
        std::optional<int> minutes;
    };
    auto copy = std::make_shared<Copy>(Copy{
        record.action, record.target, std::string(record.reason), record.result, record.minutes});
    owner_.Queue([copy](Stores& stores) {
        // BanRecordStore::Record never throws: a record not kept is counted,
        // for the flow's end to say.
        stores.records().Record(
            {copy->action, copy->target, copy->reason, copy->result, copy->minutes});
    });
}
