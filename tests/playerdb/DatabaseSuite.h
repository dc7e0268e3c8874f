#pragma once

#include "PlayerDatabase.h"
#include "ScratchDatabase.h"
#include "SqlPlayerDatabase.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

// A test run once per engine on a scratch database with the schema made.
class DatabaseSuite : public ::testing::TestWithParam<TestEngine> {
protected:
    static constexpr std::chrono::year_month_day kFixedDay{
        std::chrono::year{2004}, std::chrono::month{2}, std::chrono::day{1}};

    void SetUp() override {
        scratch_.emplace(GetParam());
        if (!scratch_->skipReason().empty()) {
            GTEST_SKIP() << scratch_->skipReason();
        }
        scratch_->Create();
    }

    ScratchDatabase& scratch() { return *scratch_; }

    // A database object on the scratch location whose clock says kFixedDay.
    std::unique_ptr<SqlPlayerDatabase> NewDatabase() {
        return std::make_unique<SqlPlayerDatabase>(scratch_->location(), [] { return kFixedDay; });
    }

    std::unique_ptr<SqlPlayerDatabase> OpenDatabase() {
        auto database = NewDatabase();
        database->Open();
        return database;
    }

private:
    std::optional<ScratchDatabase> scratch_;
};

// A sighting with the address split the way the harvest splits it.
inline PlayerSighting Sighting(std::int32_t guidKey, const std::string& ip,
                               const std::string& nameFormatted, const std::string& nameRaw) {
    PlayerSighting sighting;
    sighting.guidKey = guidKey;
    sighting.ipFull = ip;
    std::size_t part = 0;
    for (char c : ip) {
        if (c == '.') {
            if (++part == 4) {
                break;
            }
        } else {
            sighting.ipParts[part] += c;
        }
    }
    sighting.nameFormatted = nameFormatted;
    sighting.nameRaw = nameRaw;
    return sighting;
}

inline constexpr char kGuidA[] = "0123456789ABCDEF0123456789ABCDEF";
inline constexpr char kGuidB[] = "FEDCBA9876543210FEDCBA9876543210";

#define QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(suite)                                                 \
    INSTANTIATE_TEST_SUITE_P(                                                                      \
        Engines, suite, ::testing::Values(TestEngine::Sqlite, TestEngine::Postgres),               \
        [](const ::testing::TestParamInfo<TestEngine>& info) { return EngineName(info.param); })
