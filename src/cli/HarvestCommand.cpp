#include "AppConfig.h"
#include "Arguments.h"
#include "Commands.h"
#include "ConfigLoading.h"
#include "DatabaseUpdateRun.h"
#include "LogLoading.h"
#include "SqlPlayerDatabase.h"
#include "TextEscapes.h"

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

// The run's progress as a bar on stderr, redrawn once per step, when stderr
// is a terminal; nothing otherwise, so that logs and pipes stay clean.
class TerminalProgress final : public DatabaseUpdateProgress {
public:
    explicit TerminalProgress(std::string label)
        : label_(std::move(label)), shown_(isatty(STDERR_FILENO) == 1) {}
    ~TerminalProgress() override { Clear(); }

    void Begin(int plannedSteps) override {
        planned_ = plannedSteps;
        Draw(0);
    }

    bool StepDone(int stepsDone, const HarvestCounters&) override {
        Draw(stepsDone);
        return true;
    }

private:
    static constexpr int kBarWidth = 30;

    void Draw(int stepsDone) {
        if (!shown_ || planned_ <= 0) {
            return;
        }
        const int done = std::min(stepsDone, planned_);
        const int filled = static_cast<int>(static_cast<long long>(done) * kBarWidth / planned_);
        const std::string bar = std::string(static_cast<std::size_t>(filled), '#') +
                                std::string(static_cast<std::size_t>(kBarWidth - filled), '.');
        std::fprintf(stderr, "\r%s [%s] %3d%%", label_.c_str(), bar.c_str(),
                     static_cast<int>(static_cast<long long>(done) * 100 / planned_));
        std::fflush(stderr);
        drawn_ = true;
    }

    void Clear() {
        if (drawn_) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
        }
    }

    std::string label_;
    bool shown_;
    bool drawn_ = false;
    int planned_ = 0;
};

} // namespace

// quarvelctl harvest [--config FILE] LOG...: the "Database update" run of the
// GUI over each log in turn, each log a document of its own, without the
// window. One line of counters per log on stdout; an engine error ends the
// command with its description, keeping what was stored before it.
int RunHarvest(const std::vector<std::string>& words) {
    std::string error;
    const auto args = Arguments::Parse(words, "harvest", error);
    if (!args || args->positional().empty()) {
        PrintError(args ? "usage: quarvelctl harvest [--config FILE] LOG..." : error);
        return 2;
    }
    const auto location = LoadDatabaseLocationForCommand(*args);
    if (!location) {
        return 1;
    }
    // Every log is read before the first is harvested, so that a mistyped
    // name does not leave a batch half done.
    std::vector<std::unique_ptr<LogModel>> logs;
    for (const std::string& path : args->positional()) {
        logs.push_back(std::make_unique<LogModel>());
        if (!LoadLogForCommand(*logs.back(), path)) {
            return 2;
        }
    }
    for (std::size_t i = 0; i < logs.size(); ++i) {
        LogModel& model = *logs[i];
        auto database = std::make_unique<SqlPlayerDatabase>(*location);
        database->SetNotices([](const std::string& text) { PrintError(text); });
        model.SetPlayerDatabase(std::move(database));
        DatabaseUpdateOutcome outcome;
        {
            TerminalProgress progress(args->positional()[i]);
            outcome = RunHarvestWalk(model, progress);
        }
        if (outcome.failure) {
            std::fprintf(stderr, "%s\n", TerminalText(outcome.failure->text).c_str());
            return 1;
        }
        const HarvestCounters& c = outcome.counters;
        std::printf("GUIDs new %ld total %ld; Players new %ld total %ld\n", long{c.guidsNew},
                    long{c.guidsTotal}, long{c.playersNew}, long{c.playersTotal});
        std::fflush(stdout);
    }
    return 0;
}
