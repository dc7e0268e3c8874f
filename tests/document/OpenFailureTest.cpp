// Why a log does not open, as the open failure message says it.
#include "OpenFailure.h"

#include "TempFile.h"

#include <QDir>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

struct ErrorCase {
    int error;
    const char* text;
};

class OpenErrorTextTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(OpenErrorTextTest, SaysWhyInAFewWords) {
    EXPECT_EQ(OpenErrorText(GetParam().error).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Errors, OpenErrorTextTest,
                         ::testing::Values(ErrorCase{ENOENT, "No such file"},
                                           ErrorCase{ENOTDIR, "No such file"},
                                           ErrorCase{EACCES, "Permission denied"},
                                           ErrorCase{EPERM, "Permission denied"},
                                           ErrorCase{EISDIR, "Is a folder"}));

TEST(OpenErrorText, OtherErrorsInTheSystemsWords) {
    EXPECT_FALSE(OpenErrorText(EMFILE).isEmpty());
    EXPECT_NE(OpenErrorText(EMFILE), OpenErrorText(ENOENT));
}

TEST(WhyCannotOpen, AMissingFileAFolderAndAReadableFile) {
    const QString missing = QDir::temp().filePath(QStringLiteral("quarvel-no-such-file.log"));
    EXPECT_EQ(WhyCannotOpen(missing), "No such file");
    EXPECT_EQ(WhyCannotOpen(QDir::tempPath()), "Is a folder");
    TempFile log("   0:00 InitGame:\n");
    EXPECT_EQ(WhyCannotOpen(QString::fromStdString(log.path())), QString());
    EXPECT_EQ(WhyCannotOpen(QString::fromStdString(log.path()) + "/inside.log"), "No such file");
}

TEST(WhyCannotOpen, AFileWithoutReadPermission) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    TempFile log("   0:00 InitGame:\n");
    std::filesystem::permissions(log.path(), std::filesystem::perms::none);
    EXPECT_EQ(WhyCannotOpen(QString::fromStdString(log.path())), "Permission denied");
    std::filesystem::permissions(log.path(), std::filesystem::perms::owner_all);
}

TEST(CannotOpenMessage, NamesThePathAndTheReason) {
    const QString missing = QDir::temp().filePath(QStringLiteral("quarvel-no-such-file.log"));
    EXPECT_EQ(CannotOpenMessage(missing),
              "Cannot open " + QDir::toNativeSeparators(missing) + ": No such file.");
}

} // namespace
