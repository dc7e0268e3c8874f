#include "ConsoleHistory.h"

#include "TestApplication.h"
#include "UserSettings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ConsoleHistory, UpAndDownWalkTheCommandsTyped) {
    ConsoleHistory history;
    EXPECT_EQ(history.Older(), "");
    history.Add("status");
    history.Add("map mp_carentan");
    history.Add("status"); // again: moves to the end
    EXPECT_EQ(history.entries(), (QStringList{"map mp_carentan", "status"}));
    EXPECT_EQ(history.Older(), "status");
    EXPECT_EQ(history.Older(), "map mp_carentan");
    EXPECT_EQ(history.Older(), "map mp_carentan"); // the oldest stays
    EXPECT_EQ(history.Newer(), "status");
    EXPECT_EQ(history.Newer(), ""); // past the end: an empty line
    EXPECT_EQ(history.Newer(), "");
    history.Add("say hi");
    EXPECT_EQ(history.Older(), "say hi");
}

TEST(ConsoleHistory, NeverKeepsAPassword) {
    ConsoleHistory history({QStringLiteral("s3cret"), QString()});
    const struct {
        const char* command;
        bool kept;
    } cases[] = {
        {"status", true},
        {"say my s3cret is out", false},
        {"rconpassword other", false},
        {"  RCON_PASSWORD other", false},
        {"set g_password x", false},
        {"seta sv_privatepassword x", false},
        {"sets sv_hostname x", true},
        {"setup", true},
        {"g_passwordless 1", true},
        {"", false},
        {"   ", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(history.Keepable(QString::fromUtf8(c.command)), c.kept) << c.command;
    }
    history.Add("rconpassword other");
    EXPECT_TRUE(history.entries().isEmpty());
}

TEST(ConsoleHistory, KeepsTheNewest200AcrossRuns) {
    TestApplication app;
    QTemporaryDir settings;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    {
        ConsoleHistory history({QStringLiteral("s3cret")});
        for (int i = 0; i < 250; ++i) {
            history.Add(QStringLiteral("say %1").arg(i));
        }
        history.Save();
    }
    // A password written into the settings by hand is dropped on reading.
    QStringList stored = UserSettings().value(QStringLiteral("RconConsole/History")).toStringList();
    ASSERT_EQ(stored.size(), 200);
    EXPECT_EQ(stored.front(), "say 50");
    stored.append(QStringLiteral("say s3cret"));
    UserSettings().setValue(QStringLiteral("RconConsole/History"), stored);
    ConsoleHistory again({QStringLiteral("s3cret")});
    again.Load();
    EXPECT_EQ(again.entries().size(), 200);
    EXPECT_EQ(again.Older(), "say 249");
}

} // namespace
