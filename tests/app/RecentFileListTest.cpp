#include "RecentFileList.h"

#include "ShellTestSupport.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace {

class RecentFileListTest : public ::testing::Test {
protected:
    void SetUp() override { ClearUserSettings(); }

    static QStringList Stored() {
        QSettings settings(QStringLiteral("Jor"), QStringLiteral("Quarvel"));
        settings.beginGroup(QStringLiteral("Recent File List"));
        QStringList entries;
        for (const QString& key : settings.childKeys()) {
            entries.append(key + "=" + settings.value(key).toString());
        }
        return entries;
    }
};

TEST_F(RecentFileListTest, KeepsTheFourMostRecentNewestFirst) {
    RecentFileList list;
    for (const char* path :
         {"/logs/a.log", "/logs/b.log", "/logs/c.log", "/logs/d.log", "/logs/e.log"}) {
        list.Add(path);
    }
    EXPECT_EQ(list.paths(),
              (QStringList{"/logs/e.log", "/logs/d.log", "/logs/c.log", "/logs/b.log"}));
    EXPECT_EQ(Stored(), (QStringList{"File1=/logs/e.log", "File2=/logs/d.log", "File3=/logs/c.log",
                                     "File4=/logs/b.log"}));
}

TEST_F(RecentFileListTest, AddingAListedFileMovesItToTheHead) {
    RecentFileList list;
    list.Add("/logs/a.log");
    list.Add("/logs/b.log");
    list.Add("/logs/c.log");
    list.Add("/logs/a.log");
    EXPECT_EQ(list.paths(), (QStringList{"/logs/a.log", "/logs/c.log", "/logs/b.log"}));
}

TEST_F(RecentFileListTest, RemovingAnEntryRemovesItsStoredKey) {
    RecentFileList list;
    list.Add("/logs/a.log");
    list.Add("/logs/b.log");
    list.Remove(0);
    list.Remove(7);
    list.Remove(-1);
    EXPECT_EQ(list.paths(), QStringList{"/logs/a.log"});
    EXPECT_EQ(Stored(), QStringList{"File1=/logs/a.log"});
}

TEST_F(RecentFileListTest, LoadsWhatWasStoredSkippingGapsAndRepeats) {
    {
        QSettings settings(QStringLiteral("Jor"), QStringLiteral("Quarvel"));
        settings.beginGroup(QStringLiteral("Recent File List"));
        settings.setValue("File1", "/logs/x.log");
        settings.setValue("File3", "/logs/y.log");
        settings.setValue("File4", "/logs/x.log");
        settings.setValue("File5", "/logs/ignored.log");
    }
    RecentFileList list;
    list.Load();
    EXPECT_EQ(list.paths(), (QStringList{"/logs/x.log", "/logs/y.log"}));
}

TEST(RecentFileMenuText, NumbersTheEntryAndKeepsAmpersands) {
    EXPECT_EQ(RecentFileList::MenuText(0, "/logs/server.log"), "&1 server.log");
    EXPECT_EQ(RecentFileList::MenuText(3, "/logs/cops & robbers.log"), "&4 cops && robbers.log");
    EXPECT_EQ(RecentFileList::MenuText(1, "/logs/%1 %2.log"), "&2 %1 %2.log");
}

} // namespace
