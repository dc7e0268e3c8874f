#pragma once

#include "AppConfig.h"
#include "StatusQuery.h"

#include <QObject>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

// The GUIDs of live players that only reading can give: each server's own
// log (log=; the connection in effect at the player's slot at the log's end,
// when its address is still his) and, for the rest, the player database (the
// GUID last seen with his address). Both are read on a thread of their own:
// the first question about a server reads its whole log, later ones only what
// was appended since, and the database may be slow or away. The window
// thread only posts questions and takes answers from its event loop.
//
// Each log is read once and followed; database answers are kept a few
// minutes, so that a panel polling every few seconds asks once an address,
// yet learns of players harvested since. Every GUID answered carries its
// active ban state (BanStates::Active), kept as long; ForgetBanStates drops
// them after a ban made here. A database that fails is tried again
// at the first question 30 s later. What went wrong is said once a problem,
// through `problem`.
class ServerGuidLookup final : public QObject, public DeferredGuidSource {
    Q_OBJECT

public:
    explicit ServerGuidLookup(AppConfig config, QObject* parent = nullptr);
    // Stops whatever reading is under way (between slices of a log) and waits
    // for the thread.
    ~ServerGuidLookup() override;

    void FindLater(const ServerEntry& server, std::vector<Question> questions, QObject* context,
                   std::function<void(Answers)> done) override;
    // The ban states kept are asked again at the next question: a ban or
    // unban was just made.
    void ForgetBanStates();

signals:
    // A log that cannot be read, a database that fails (UTF-8, a sentence
    // without its capital: "cannot read ..."); once until the problem changes.
    void problem(const QString& text);

private:
    class Reader;
    struct Pending {
        QPointer<QObject> context;
        std::function<void(Answers)> done;
    };

    void Deliver(std::uint64_t id, const Answers& answers, const std::string& trouble);

    AppConfig config_;
    std::atomic<bool> stopping_{false};
    QThread thread_;
    QObject threadContext_;          // lives on thread_ until the destructor
    std::unique_ptr<Reader> reader_; // used on thread_ only
    std::map<std::uint64_t, Pending> pending_;
    std::uint64_t nextId_ = 1;
    std::string lastProblem_;
};
