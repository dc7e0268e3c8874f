// A player whose name carries terminal commands (an ESC sequence that sets
// the window title, a BEL, a screen clear, DEL, and the byte Windows-1252
// leaves for the C1 control that starts an operating-system command): every
// quarvelctl command that prints log text, run on a terminal as a person
// runs it, writes the name with those characters escaped, never the bytes
// themselves.
#include "../cli/RunQuarvelctl.h"
#include "BanRecordStore.h"
#include "HarvestLog.h"
#include "ScratchDatabase.h"
#include "Windows1252.h"

#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>

namespace {

constexpr char kEscapingGuid[] = "0123456789ABCDEF0123456789ABCDEF";
const std::string kCommandingName = "Ev\x1b]0;owned\x07il\x1b[2J\x7f\x9d";

struct PrintingCommand {
    const char* name;
    std::vector<std::string> args; // LOG, CONFIG and GUID stand for the test's own
};

void PrintTo(const PrintingCommand& c, std::ostream* os) {
    *os << c.name;
}

// A log naming the player, harvested into an SQLite database that also
// holds a ban record of the name.
class EscapingPlayer : public testing::Test {
protected:
    void SetUp() override {
        scratch_.emplace(TestEngine::Sqlite);
        scratch_->Create();
        config_ = scratch_->FileInFolder("quarvel.cfg");
        std::ofstream(config_) << "[database]\nfile=" << scratch_->location() << "\n";
        log_.emplace(std::vector<std::string>{ConnectLine(3, "10.0.0.7", kEscapingGuid),
                                              UserinfoLine(3, kCommandingName),
                                              "  12:35 say: " + kCommandingName + ": hi"});
        ASSERT_EQ(RunQuarvelctl({"harvest", "--config", config_, log_->path()}).exitCode, 0);
        BanRecordStore records(scratch_->location());
        BanRecord record;
        record.action = kBanActionText;
        record.guid = kEscapingGuid;
        record.name = Windows1252ToUtf8(kCommandingName);
        records.Store(record, BanTime{});
        records.Close();
    }

    std::vector<std::string> Args(std::vector<std::string> args) const {
        for (std::string& arg : args) {
            arg = arg == "LOG"      ? log_->path()
                  : arg == "CONFIG" ? config_
                  : arg == "GUID"   ? kEscapingGuid
                                    : arg;
        }
        return args;
    }

    std::optional<ScratchDatabase> scratch_;
    std::string config_;
    std::optional<HarvestLog> log_;
};

class EscapedOutput : public EscapingPlayer, public testing::WithParamInterface<PrintingCommand> {};

TEST_P(EscapedOutput, OnATerminalTheNameComesOutEscaped) {
    const CliResult r = RunQuarvelctlOnTerminal(Args(GetParam().args));
    EXPECT_EQ(r.exitCode, 0) << r.out;
    for (const std::string raw : {"\x1b", "\x07", "\x7f", "\x9d", "\xc2\x9d"}) {
        EXPECT_EQ(r.out.find(raw), std::string::npos) << testing::PrintToString(raw);
    }
    for (const char* escaped : {"\\u001b]0;owned\\u0007il", "\\u001b[2J\\u007f\\u009d"}) {
        EXPECT_NE(r.out.find(escaped), std::string::npos) << escaped << " in " << r.out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, EscapedOutput,
    testing::Values(PrintingCommand{"Lines", {"lines", "LOG"}},
                    PrintingCommand{"Follow", {"follow", "LOG", "--idle-exit", "0"}},
                    PrintingCommand{"Players", {"players", "LOG"}},
                    PrintingCommand{"CopyText", {"copy", "LOG", "1:0", "2:60", "--text"}},
                    PrintingCommand{"CopyHtml", {"copy", "LOG", "1:0", "2:60", "--html"}},
                    PrintingCommand{"Aliases", {"aliases", "--config", "CONFIG", "GUID"}},
                    PrintingCommand{"Find", {"find", "--config", "CONFIG", "--guid", "GUID"}},
                    PrintingCommand{"History", {"history", "--config", "CONFIG"}}),
    [](const testing::TestParamInfo<PrintingCommand>& info) { return info.param.name; });

// Into a file or a pipe, Copy's bytes stay the clipboard's, exactly.
TEST_F(EscapingPlayer, CopyIntoAFileKeepsTheBytes) {
    const CliResult r = RunQuarvelctl(Args({"copy", "LOG", "1:0", "1:300", "--text"}));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(kCommandingName), std::string::npos);
}

} // namespace
