#include "AliasesLookup.h"
#include "AppConfig.h"
#include "CDatabaseAliasesDlg.h"
#include "DatabaseAliasesCommand.h"
#include "MessageRecorder.h"
#include "ModalHandler.h"
#include "PlayerDatabase.h"
#include "ScratchDatabase.h"

#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

constexpr char kGuid[] = "0123456789ABCDEF0123456789ABCDEF";

QStringList Items(QWidget* dialog) {
    QStringList items;
    const auto* list = dialog->findChild<QListWidget*>(QStringLiteral("aliases"));
    for (int i = 0; list != nullptr && i < list->count(); ++i) {
        items << list->item(i)->text();
    }
    return items;
}

// A database holding names for one GUID, in the order an engine might
// return them, counting how often it is opened and closed.
class FakeAliasSource final : public AliasSource {
public:
    void Open() override {
        ++opened;
        if (failOpen) {
            throw DatabaseError("unable to open database file");
        }
    }
    void Close() override { ++closed; }
    std::optional<std::int32_t> FindGuid(std::string_view guid) override {
        return guid == kGuid ? std::optional<std::int32_t>(7) : std::nullopt;
    }
    std::vector<std::string> FormattedNames(std::int32_t) override { return names; }

    std::vector<std::string> names;
    bool failOpen = false;
    int opened = 0;
    int closed = 0;
};

TEST(AliasesWindow, ListsTheNamesSortedWithOk) {
    QWidget playerInfo;
    CDatabaseAliasesDlg dialog({"zed", "Bob", "O'Neil|x", "Alice"}, &playerInfo);
    EXPECT_EQ(dialog.windowTitle(), "Aliases from database");
    EXPECT_EQ(dialog.parentWidget(), &playerInfo);
    EXPECT_EQ(Items(&dialog), (QStringList{"Alice", "Bob", "O'Neil|x", "zed"}));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    ModalHandler handler([](QWidget* modal) {
        QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

TEST(AliasesFromDatabase, ShowsTheNamesOverThePlayerInfoWindowEachPress) {
    QWidget playerInfo;
    FakeAliasSource database;
    database.names = {"Zed", "Bob", "Amy"};
    MessageRecorder messages;
    std::vector<QStringList> shown;
    ModalHandler handler([&](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), "Aliases from database");
        EXPECT_EQ(modal->parentWidget(), &playerInfo);
        shown.push_back(Items(modal));
        QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("okButton")),
                          Qt::LeftButton);
    });
    ShowAliasesFromDatabase(&playerInfo, database, kGuid, messages);
    ShowAliasesFromDatabase(&playerInfo, database, kGuid, messages);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(shown, (std::vector<QStringList>(2, QStringList{"Amy", "Bob", "Zed"})));
    EXPECT_EQ(database.opened, 2);
    EXPECT_EQ(database.closed, 2);
}

struct MessageCase {
    const char* name;
    std::string guid;
    bool failOpen;
    Message expected;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.name;
}

class AliasesMessages : public ::testing::TestWithParam<MessageCase> {};

TEST_P(AliasesMessages, TellWhyNoListShows) {
    QWidget playerInfo;
    FakeAliasSource database;
    database.failOpen = GetParam().failOpen;
    MessageRecorder messages;
    ModalHandler handler([](QWidget*) { ADD_FAILURE() << "no window was to show"; });
    ShowAliasesFromDatabase(&playerInfo, database, GetParam().guid, messages);
    EXPECT_EQ(messages.messages, std::vector<Message>{GetParam().expected});
    EXPECT_EQ(database.closed, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, AliasesMessages,
    ::testing::Values(
        MessageCase{"NoGuidText", "", false, {"GUID not found in the database", "Aliases"}},
        MessageCase{"UnknownGuid",
                    "FEDCBA9876543210FEDCBA9876543210",
                    false,
                    {"GUID not found in the database", "Aliases"}},
        MessageCase{
            "NoPlayersRows", kGuid, false, {"Guid_Key not found in the database", "Aliases"}},
        MessageCase{"EngineError", kGuid, true, {"unable to open database file", "Quarvel"}}),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return info.param.name; });

TEST(AliasesFromDatabase, TheConfiguredDatabaseAnswersInAMessageBoxOfThePlayerInfoWindow) {
    ScratchDatabase scratch(TestEngine::Sqlite);
    scratch.Create();
    AppConfig config;
    config.databasePath = scratch.location();
    QWidget playerInfo;
    QString title;
    QString text;
    QWidget* owner = nullptr;
    QMessageBox::Icon icon = QMessageBox::Critical;
    ModalHandler handler([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        owner = box->parentWidget();
        icon = box->icon();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    ShowAliasesFromDatabase(&playerInfo, config, kGuid);
    EXPECT_EQ(handler.seen, 1);
    EXPECT_EQ(title, "Aliases");
    EXPECT_EQ(text, "GUID not found in the database");
    EXPECT_EQ(owner, &playerInfo);
    EXPECT_EQ(icon, QMessageBox::NoIcon);
}

} // namespace
