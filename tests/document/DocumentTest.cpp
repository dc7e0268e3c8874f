// The document and the registry of open documents, without any window.
#include "CQuarvelDoc.h"
#include "DocumentRegistry.h"
#include "OpenFailure.h"
#include "TempFile.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString PathOf(const TempFile& file) {
    return QString::fromStdString(file.path());
}

TEST(CQuarvelDoc, OpensALogWithItsLines) {
    TempFile log("   0:00 a\n   0:01 b\r\n   0:02 c\n");
    CQuarvelDoc document;
    ASSERT_TRUE(document.Open(PathOf(log)));
    EXPECT_EQ(document.model().lineCount(), 3);
    EXPECT_EQ(document.path(), PathOf(log));
    EXPECT_EQ(document.displayName(), QFileInfo(PathOf(log)).fileName());
}

TEST(CQuarvelDoc, TakesARelativePathAsAbsolute) {
    TempFile log("x\n");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(log.path()).parent_path());
    CQuarvelDoc document;
    const bool opened = document.Open(QFileInfo(PathOf(log)).fileName());
    std::filesystem::current_path(before);
    ASSERT_TRUE(opened);
    EXPECT_EQ(document.path(), PathOf(log));
}

TEST(CQuarvelDoc, AnEmptyLogOpensWithNoLines) {
    TempFile log("");
    CQuarvelDoc document;
    EXPECT_TRUE(document.Open(PathOf(log)));
    EXPECT_EQ(document.model().lineCount(), 0);
}

TEST(CQuarvelDoc, WhatCannotBeReadDoesNotOpen) {
    CQuarvelDoc missing;
    EXPECT_FALSE(missing.Open(QStringLiteral("/no/such/folder/server.log")));
    CQuarvelDoc folder;
    EXPECT_FALSE(folder.Open(QDir::tempPath()));
    if (geteuid() != 0) { // root reads every file
        TempFile locked("secret\n");
        chmod(locked.path().c_str(), 0);
        CQuarvelDoc unreadable;
        EXPECT_FALSE(unreadable.Open(PathOf(locked)));
    }
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The address space the process has mapped now, in bytes.
rlim_t MappedNow() {
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    statm >> pages;
    return pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}

TEST(CQuarvelDoc, ALogTooLargeToMapIsRefusedAndSaysWhy) {
    // A sparse file of 4 GB and room for much less than that.
    TempFile huge("");
    std::filesystem::resize_file(huge.path(), std::uintmax_t{4} << 30);
    rlimit saved{};
    getrlimit(RLIMIT_AS, &saved);
    rlimit tight = saved;
    tight.rlim_cur = MappedNow() + (rlim_t{512} << 20);
    setrlimit(RLIMIT_AS, &tight);
    CQuarvelDoc document;
    const bool opened = document.Open(PathOf(huge));
    const QString why = WhyCannotOpen(PathOf(huge));
    setrlimit(RLIMIT_AS, &saved);
    EXPECT_FALSE(opened);
    EXPECT_EQ(why, QStringLiteral("Not enough memory to map it"));
    EXPECT_EQ(document.model().lineCount(), 0);
}
#endif

TEST(CQuarvelDoc, NeverWritesTheLog) {
    const std::string bytes = "   0:00 InitGame: \\sv_hostname\\x\n";
    TempFile log(bytes);
    chmod(log.path().c_str(), 0444);
    const auto modified = std::filesystem::last_write_time(log.path());
    {
        CQuarvelDoc document;
        ASSERT_TRUE(document.Open(PathOf(log)));
    }
    EXPECT_EQ(std::filesystem::file_size(log.path()), bytes.size());
    EXPECT_EQ(std::filesystem::last_write_time(log.path()), modified);
}

TEST(DocumentRegistry, FindsAnOpenDocumentUnderAnySpellingOfItsPath) {
    TempFile log("x\n");
    const std::filesystem::path target(log.path());
    const std::filesystem::path link = target.string() + "-link.log";
    std::filesystem::create_symlink(target, link);

    DocumentRegistry registry;
    const DocumentRegistry::OpenResult first = registry.Open(PathOf(log));
    ASSERT_NE(first.document, nullptr);
    EXPECT_FALSE(first.alreadyOpen);
    for (const std::string& spelling :
         {log.path(), link.string(), (target.parent_path() / "." / target.filename()).string()}) {
        const DocumentRegistry::OpenResult again = registry.Open(QString::fromStdString(spelling));
        EXPECT_TRUE(again.alreadyOpen) << spelling;
        EXPECT_EQ(again.document, first.document) << spelling;
    }
    EXPECT_EQ(registry.documentCount(), 1);
    std::filesystem::remove(link);
}

TEST(DocumentRegistry, ForgetsADocumentOnceNobodyHoldsIt) {
    TempFile log("x\n");
    DocumentRegistry registry;
    std::weak_ptr<CQuarvelDoc> first = registry.Open(PathOf(log)).document;
    EXPECT_TRUE(first.expired());
    EXPECT_EQ(registry.documentCount(), 0);
    EXPECT_EQ(registry.Find(PathOf(log)), nullptr);

    const DocumentRegistry::OpenResult second = registry.Open(PathOf(log));
    EXPECT_FALSE(second.alreadyOpen);
    EXPECT_EQ(registry.documentCount(), 1);
}

TEST(DocumentRegistry, AFailedOpenAddsNothing) {
    DocumentRegistry registry;
    const DocumentRegistry::OpenResult result = registry.Open(QStringLiteral("/no/such.log"));
    EXPECT_EQ(result.document, nullptr);
    EXPECT_FALSE(result.alreadyOpen);
    EXPECT_EQ(registry.documentCount(), 0);
}

TEST(DocumentRegistry, KeepsDocumentsInOpeningOrder) {
    TempFile a("a\n");
    TempFile b("b\n");
    DocumentRegistry registry;
    const auto first = registry.Open(PathOf(a)).document;
    const auto second = registry.Open(PathOf(b)).document;
    EXPECT_EQ(registry.Documents(), (std::vector<std::shared_ptr<CQuarvelDoc>>{first, second}));
}

} // namespace
