#pragma once

#include "BanOutcome.h"
#include "BanRecord.h"
#include "BanTime.h"
#include "LoginName.h"
#include "Messages.h"
#include "SqlConnection.h"

#include <optional>
#include <string>

// Keeps every server's outcome of a ban or unban, or of an action on a live
// server's player (kick, temp-kick, message), as a row of the ban records,
// for one flow or action: it is handed each outcome (ServerOutcomeRecorder). The
// database is opened at the first record and closed with the store; an older
// database is brought up to date then (UpgradePlayerSchema), which gives one
// from before ban records their table.
// Each record is stored by itself as it comes, so a flow cut short keeps
// those before.
//
// A record that cannot be stored never stops the flow: the store notes the
// failure, closes the connection (the next record opens it again) and goes
// on; FailureMessage then says what was lost.
class BanRecordStore final : public ServerOutcomeRecorder {
public:
    explicit BanRecordStore(std::string location, std::string admin = LoginName(),
                            BanClock clock = LocalBanTime);
    ~BanRecordStore() override;
    BanRecordStore(const BanRecordStore&) = delete;
    BanRecordStore& operator=(const BanRecordStore&) = delete;

    void Record(const ServerOutcomeRecord& record) override;

    // Stores one record made elsewhere, at `time` (its text is made from
    // it). Raises DatabaseError; Record is the one that never throws.
    void Store(const BanRecord& record, BanTime time);

    void Close();

    int stored() const { return stored_; }
    int failed() const { return failed_; }
    const std::string& firstError() const { return firstError_; }

    // When records were lost: that the command went ahead all the same, how
    // many records are missing, and the engine's description of the first
    // failure, under the application title.
    std::optional<Message> FailureMessage() const;

private:
    void OpenAndUpgrade();

    std::string location_;
    std::string admin_;
    BanClock clock_;
    SqlConnection connection_;
    BanAction action_ = BanAction::Ban;
    int stored_ = 0;
    int failed_ = 0;
    std::string firstError_;
};
