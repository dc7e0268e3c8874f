#pragma once

// What the tests of several programs on one player database share: a
// database of the test's own with a configuration naming it, and the
// follower as the service runs it.
#include "DatabaseComparison.h"
#include "DatabaseSuite.h"
#include "GrowingLog.h"
#include "QuarvelctlChild.h"

#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

// A scratch database of its own (its URI short enough for the
// configuration) with a configuration file naming it.
class SharedDatabaseTest : public ::testing::TestWithParam<TestEngine> {
protected:
    void SetUp() override {
        scratch_.emplace(GetParam(), ScratchDatabase::Isolation::Database);
        if (!scratch_->skipReason().empty()) {
            GTEST_SKIP() << scratch_->skipReason();
        }
        scratch_->Create();
        config_ = scratch_->FileInFolder("quarvel.cfg");
        std::ofstream(config_) << "[database]\nfile=" << scratch_->location() << "\n";
    }

    ScratchDatabase& scratch() { return *scratch_; }
    const std::string& config() const { return config_; }
    std::string File(const std::string& name) const { return scratch_->FileInFolder(name); }

    // A follower as the service runs it, ending once its log has been quiet
    // for a second.
    std::vector<std::string> FollowArgs(const std::string& log,
                                        std::vector<std::string> more = {}) const {
        std::vector<std::string> args{"follow",    log,          "--config",    config_,
                                      "--harvest", "--no-lines", "--idle-exit", "1"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

private:
    std::optional<ScratchDatabase> scratch_;
    std::string config_;
};
