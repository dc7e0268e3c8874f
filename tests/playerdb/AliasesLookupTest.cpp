#include "AliasesLookup.h"

#include "DatabaseSuite.h"

#include <new>

namespace {

using AliasesLookupTest = DatabaseSuite;

const Message kGuidMissing{"GUID not found in the database", "Aliases", MessageIcon::None};
const Message kKeyMissing{"Guid_Key not found in the database", "Aliases", MessageIcon::None};

TEST_P(AliasesLookupTest, ListsEveryColourFreeNameOfTheGuidOnce) {
    {
        auto database = OpenDatabase();
        const std::int32_t key = database->AddGuid(kGuidA);
        const std::int32_t other = database->AddGuid(kGuidB);
        database->InsertSighting(Sighting(key, "1.2.3.4", "Rob", "^1Rob"));
        database->InsertSighting(Sighting(key, "1.2.3.4", "Bob", "^1Bob"));
        database->InsertSighting(Sighting(key, "5.6.7.8", "Bob", "^4Bob"));
        database->InsertSighting(Sighting(key, "5.6.7.8", "O'Neil|x", "O'Neil|x"));
        database->InsertSighting(Sighting(key, "5.6.7.8", "\xE9t\xE9", "\xE9t\xE9"));
        database->InsertSighting(Sighting(other, "1.2.3.4", "Someone", "Someone"));
        database->Close();
    }
    auto database = NewDatabase();
    const AliasesLookup lookup = LookUpAliases(*database, kGuidA);
    EXPECT_EQ(lookup.message, std::nullopt);
    const std::vector<std::string> expected = {"Bob", "O'Neil|x", "Rob", "\u00E9t\u00E9"};
    EXPECT_EQ(lookup.names, expected);
    EXPECT_FALSE(database->isOpen());
}

TEST_P(AliasesLookupTest, AGuidNotStoredIsReported) {
    auto database = NewDatabase();
    for (const char* guid : {kGuidA, ""}) {
        SCOPED_TRACE(guid);
        const AliasesLookup lookup = LookUpAliases(*database, guid);
        EXPECT_EQ(lookup.message, kGuidMissing);
        EXPECT_TRUE(lookup.names.empty());
        EXPECT_FALSE(database->isOpen());
    }
}

TEST_P(AliasesLookupTest, AGuidWithoutPlayersIsReported) {
    {
        auto database = OpenDatabase();
        database->AddGuid(kGuidA);
        database->Close();
    }
    auto database = NewDatabase();
    const AliasesLookup lookup = LookUpAliases(*database, kGuidA);
    EXPECT_EQ(lookup.message, kKeyMissing);
    EXPECT_TRUE(lookup.names.empty());
}

TEST_P(AliasesLookupTest, AMissingTableIsReportedWithTheEnginesDescription) {
    {
        auto database = OpenDatabase();
        database->AddGuid(kGuidA);
        database->Close();
    }
    scratch().Execute(R"(DROP TABLE "Players")");
    auto database = NewDatabase();
    const AliasesLookup lookup = LookUpAliases(*database, kGuidA);
    ASSERT_TRUE(lookup.message.has_value());
    EXPECT_EQ(lookup.message->caption, "Quarvel");
    EXPECT_EQ(lookup.message->icon, MessageIcon::None);
    EXPECT_NE(lookup.message->text.find("Players"), std::string::npos) << lookup.message->text;
    EXPECT_FALSE(database->isOpen());
}

TEST_P(AliasesLookupTest, LookingUpTwiceGivesTheSameList) {
    {
        auto database = OpenDatabase();
        const std::int32_t key = database->AddGuid(kGuidA);
        database->InsertSighting(Sighting(key, "1.2.3.4", "Bob", "Bob"));
        database->Close();
    }
    auto database = NewDatabase();
    const AliasesLookup first = LookUpAliases(*database, kGuidA);
    const AliasesLookup second = LookUpAliases(*database, kGuidA);
    EXPECT_EQ(first.names, std::vector<std::string>{"Bob"});
    EXPECT_EQ(second.names, first.names);
}

QUARVEL_INSTANTIATE_ON_BOTH_ENGINES(AliasesLookupTest);

TEST(AliasesLookupFailures, AMissingFileIsReportedUnderTheApplicationTitle) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    SqlPlayerDatabase database(scratch.location());
    const AliasesLookup lookup = LookUpAliases(database, kGuidA);
    ASSERT_TRUE(lookup.message.has_value());
    EXPECT_EQ(lookup.message->caption, "Quarvel");
    EXPECT_NE(lookup.message->text.find(scratch.location()), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(scratch.location()));
}

// A source that fails on demand at one point of the lookup, and records
// whether it was left open.
class FailingSource : public AliasSource {
public:
    enum class Where { Open, FindGuid, FormattedNames };
    enum class What { Engine, Memory };

    FailingSource(Where where, What what) : where_(where), what_(what) {}

    void Open() override {
        FailAt(Where::Open);
        open = true;
    }
    void Close() override { open = false; }
    std::optional<std::int32_t> FindGuid(std::string_view) override {
        FailAt(Where::FindGuid);
        return 7;
    }
    std::vector<std::string> FormattedNames(std::int32_t) override {
        FailAt(Where::FormattedNames);
        return {"Bob"};
    }

    bool open = false;

private:
    void FailAt(Where where) const {
        if (where != where_) {
            return;
        }
        if (what_ == What::Memory) {
            throw std::bad_alloc();
        }
        throw DatabaseError("the engine's own words");
    }

    Where where_;
    What what_;
};

struct FailureCase {
    const char* label;
    FailingSource::Where where;
    FailingSource::What what;
    const char* text;
};

void PrintTo(const FailureCase& failure, std::ostream* out) {
    *out << failure.label;
}

class AliasesLookupFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(AliasesLookupFailureTest, IsShownUnderTheApplicationTitleAndClosesTheDatabase) {
    FailingSource source(GetParam().where, GetParam().what);
    const AliasesLookup lookup = LookUpAliases(source, kGuidA);
    const Message expected{GetParam().text, "Quarvel", MessageIcon::None};
    EXPECT_EQ(lookup.message, expected);
    EXPECT_TRUE(lookup.names.empty());
    EXPECT_FALSE(source.open);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, AliasesLookupFailureTest,
    ::testing::Values(FailureCase{"OpenEngine", FailingSource::Where::Open,
                                  FailingSource::What::Engine, "the engine's own words"},
                      FailureCase{"FindEngine", FailingSource::Where::FindGuid,
                                  FailingSource::What::Engine, "the engine's own words"},
                      FailureCase{"NamesEngine", FailingSource::Where::FormattedNames,
                                  FailingSource::What::Engine, "the engine's own words"},
                      FailureCase{"FindMemory", FailingSource::Where::FindGuid,
                                  FailingSource::What::Memory, "Other error"},
                      FailureCase{"NamesMemory", FailingSource::Where::FormattedNames,
                                  FailingSource::What::Memory, "Other error"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.label; });

} // namespace
