// The window's live harvest ("Keep database updated") follows the same rule
// as the harvest service when its log is rotated: the old file is read on
// through its descriptor until it has been quiet for the grace, the new one
// is harvested from its first line.
#include "CQuarvelDoc.h"
#include "DatabaseComparison.h"
#include "GrowingLog.h"
#include "TempFile.h"

#include <QCoreApplication>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// Turns the event loop until `done` says so, or `limit` has passed.
template <typename Done> bool TurnUntil(Done done, std::chrono::milliseconds limit = 10s) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

TEST(DocumentLiveHarvest, ARotatedLogIsHarvestedToItsEndAndTheNewOneFromItsStart) {
    int argc = 1;
    char name[] = "document_live_harvest";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    ScratchDatabase scratch(TestEngine::Sqlite);
    scratch.Create();
    TempFile log("");
    const std::string rotated = log.path() + ".1";
    {
        LogWriter writer(log.path(), SharedPlayersLog(31, 1500), 0ms);
        writer.Finish();
    }
    // The game server's descriptor, still open after the rotation.
    const int server = ::open(log.path().c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(server, 0);

    CQuarvelDoc document;
    document.SetRotationGrace(300ms);
    ASSERT_TRUE(document.Open(QString::fromStdString(log.path())));
    int rotatedLines = -1;
    QObject::connect(&document, &CQuarvelDoc::rotatedLogDone,
                     [&rotatedLines](int lines) { rotatedLines = lines; });
    document.StartLiveHarvest(scratch.location());
    ASSERT_TRUE(TurnUntil([&] { return document.liveHarvestUpToDate(); }));

    std::filesystem::rename(log.path(), rotated);
    AppendTo(log.path(), SharedPlayersLog(32, 500));
    ASSERT_TRUE(TurnUntil([&] {
        return document.model().path() == log.path() &&
               document.fileStatus() == "Log replaced: reloaded";
    }));
    const std::string late = SharedPlayersLog(33, 200);
    ASSERT_EQ(::write(server, late.data(), late.size()), static_cast<ssize_t>(late.size()));
    ::close(server);
    ASSERT_TRUE(TurnUntil([&] { return rotatedLines >= 0 && document.liveHarvestUpToDate(); }));
    EXPECT_EQ(rotatedLines, 200);

    ReferenceHarvest reference(TestEngine::Sqlite, {rotated, log.path()});
    EXPECT_TRUE(SameRows(SightingKeys(scratch), SightingKeys(reference.database())));
    document.StopLiveHarvest();
    std::filesystem::remove(rotated);
}

} // namespace
