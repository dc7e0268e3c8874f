// quarvelctl on a log with a long run of zero bytes in one line (the hole a
// copytruncate leaves when the game server did not open its log to append):
// every command that reads the whole log needs no more memory than on the
// same log without the run, plus the file itself (its mapping, read in) and
// a fixed margin. The text of such a line was once built whole, several
// times over, and a search copied it; memory then grew with the line.
#include "RunQuarvelctl.h"
#include "TempFile.h"

#include <fstream>
#include <gtest/gtest.h>
#include <ostream>

namespace {

// Big enough that a copy of the line, or its text built whole, shows far
// beyond the margin; small enough for the sanitizer build.
constexpr std::int64_t kRunBytes = std::int64_t{24} << 20;
constexpr long kMarginKb = 12 * 1024;

const std::string kEvents =
    "   0:01 ClientConnect: 3 - 10.0.0.7:20100 [0123456789ABCDEF0123456789ABCDEF]\n"
    "   0:01 ClientUserinfoChanged: 3 n\\^1Bob\\t\\1\\identity\\NPC_Hawk/hawk_urban\n"
    "   0:02 say: ^1Bob: hello\n";

// The events, a line that starts with the run of zero bytes and ends in a
// chat line (with a colour code, so its bytes are not simply its visible
// text), then the events again. The run is a hole of the file: it costs no
// disk.
void WriteHostileLog(const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kEvents;
    out.seekp(static_cast<std::streamoff>(kEvents.size() + kRunBytes));
    out << "   0:03 say: ^1Bob: needle\n" << kEvents;
}

struct HostileCommand {
    const char* name;
    std::vector<std::string> args; // LOG and CONFIG stand for the files
};

void PrintTo(const HostileCommand& c, std::ostream* os) {
    *os << c.name;
}

class HostileLogMemory : public testing::TestWithParam<HostileCommand> {
protected:
    static void SetUpTestSuite() {
        peer_ = std::make_unique<TempFile>(kEvents + "   0:03 say: ^1Bob: needle\n" + kEvents);
        hostile_ = std::make_unique<TempFile>("");
        WriteHostileLog(hostile_->path());
        database_ = std::make_unique<TempFile>("", ".sqlite");
        std::filesystem::remove(database_->path());
        config_ =
            std::make_unique<TempFile>("[database]\nfile=" + database_->path() + "\n", ".cfg");
        ASSERT_EQ(RunQuarvelctl({"init-db", database_->path()}).exitCode, 0);
    }
    static void TearDownTestSuite() {
        for (auto* file : {&peer_, &hostile_, &database_, &config_}) {
            file->reset();
        }
    }

    static MeasuredRun Run(const std::string& log) {
        std::vector<std::string> args = GetParam().args;
        for (std::string& arg : args) {
            arg = arg == "LOG" ? log : arg == "CONFIG" ? config_->path() : arg;
        }
        return RunQuarvelctlMeasured(args);
    }

    static std::unique_ptr<TempFile> peer_;
    static std::unique_ptr<TempFile> hostile_;
    static std::unique_ptr<TempFile> database_;
    static std::unique_ptr<TempFile> config_;
};

std::unique_ptr<TempFile> HostileLogMemory::peer_;
std::unique_ptr<TempFile> HostileLogMemory::hostile_;
std::unique_ptr<TempFile> HostileLogMemory::database_;
std::unique_ptr<TempFile> HostileLogMemory::config_;

TEST_P(HostileLogMemory, NeedsNoMoreThanTheFileBeyondTheSameLogWithoutTheRun) {
    const MeasuredRun peer = Run(peer_->path());
    const MeasuredRun hostile = Run(hostile_->path());
    EXPECT_EQ(hostile.exitCode, peer.exitCode);
    const long fileKb = static_cast<long>(std::filesystem::file_size(hostile_->path()) / 1024);
    EXPECT_LE(hostile.maxResidentKb, peer.maxResidentKb + fileKb + kMarginKb)
        << "peer " << peer.maxResidentKb << " KB, file " << fileKb << " KB";
}

INSTANTIATE_TEST_SUITE_P(
    Commands, HostileLogMemory,
    testing::Values(HostileCommand{"Lines", {"lines", "LOG"}},
                    HostileCommand{"Follow", {"follow", "LOG", "--idle-exit", "0"}},
                    HostileCommand{"SearchPlain", {"search", "LOG", "--text", "needle"}},
                    HostileCommand{"SearchRegexAll",
                                   {"search", "LOG", "--text", "ne+dle|hel+o", "--regex", "--all"}},
                    HostileCommand{"Harvest", {"harvest", "--config", "CONFIG", "LOG"}}),
    [](const testing::TestParamInfo<HostileCommand>& info) { return info.param.name; });

} // namespace
