#include "ConfigSecrets.h"

#include <gtest/gtest.h>

namespace {

struct MaskCase {
    const char* value;
    const char* shown;
};

class DatabaseValueMask : public testing::TestWithParam<MaskCase> {};

TEST_P(DatabaseValueMask, HidesEveryPassword) {
    EXPECT_EQ(MaskedDatabaseValue(GetParam().value), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DatabaseValueMask,
    testing::Values(
        MaskCase{"players.sqlite", "players.sqlite"},
        MaskCase{"/var/lib/quarvel/p:w@x.sqlite", "/var/lib/quarvel/p:w@x.sqlite"},
        MaskCase{"postgresql://admin@db/quarvel", "postgresql://admin@db/quarvel"},
        MaskCase{"postgresql://admin:Xk9@db:5432/q?sslmode=require",
                 "postgresql://admin:********@db:5432/q?sslmode=require"},
        MaskCase{"POSTGRES://a:b@h", "POSTGRES://a:********@h"},
        MaskCase{"postgresql://a:p/w?x@y@db/q", "postgresql://a:********@db/q"},
        MaskCase{"postgresql://db/q?sslmode=require&password=Xk9&user=a",
                 "postgresql://db/q?sslmode=require&password=********&user=a"},
        MaskCase{"postgresql://db/q?%70assword=Xk9", "postgresql://db/q?%70assword=********"},
        // A password option runs to the next '&', whatever it holds.
        MaskCase{"postgresql://db/q?password=a@b", "postgresql://db/q?password=********"},
        MaskCase{"postgresql://db/q?password=a?b&sslmode=require",
                 "postgresql://db/q?password=********&sslmode=require"},
        // Read either way, no part of it shows.
        MaskCase{"postgresql://db/q?password=a:b@c", "postgresql://db/q?password=********"},
        MaskCase{"postgresql://u:pw@db/q?application_name=a@b&password=Xk9",
                 "postgresql://u:********@b&password=********"}));

TEST(PasswordMask, ShowsWhetherOneIsSet) {
    EXPECT_EQ(MaskedPassword("secret"), "********");
    EXPECT_EQ(MaskedPassword(""), "");
}

} // namespace
