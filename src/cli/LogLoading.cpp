#include "LogLoading.h"

#include "Commands.h"

namespace {

// What a classified load splits before it starts the second thread.
constexpr std::int64_t kFirstPartBytes = 1 << 20;

bool ReportUnreadable(const LogModel& model, const std::string& path) {
    if (model.loadStatus() == LoadStatus::OpenFailed ||
        model.loadStatus() == LoadStatus::ViewFailed) {
        PrintError("cannot read " + path);
        return true;
    }
    return false;
}

} // namespace

bool LoadLogForCommand(LogModel& model, const std::string& path) {
    model.Load(path);
    return !ReportUnreadable(model, path);
}

bool LoadLogHeadForCommand(LogModel& model, const std::string& path) {
    model.Load(path, kFirstPartBytes);
    return !ReportUnreadable(model, path);
}

bool LoadClassifiedLogForCommand(LogModel& model, const std::string& path) {
    // The first part is split here, so that a file that cannot be read is
    // told before anything else; the rest is split while it is classified.
    model.Load(path, kFirstPartBytes);
    if (ReportUnreadable(model, path)) {
        return false;
    }
    model.SplitAndClassifyRest();
    return true;
}
