#include "LogLoading.h"

#include "Commands.h"

bool LoadLogForCommand(LogModel& model, const std::string& path) {
    model.Load(path);
    if (model.loadStatus() == FileMapping::kOpenFailed ||
        model.loadStatus() == FileMapping::kViewFailed) {
        PrintError("cannot read " + path);
        return false;
    }
    return true;
}

void RunClassificationWalk(LogModel& model) {
    model.BeginWalk(-1, LogModel::kClassify);
    while (model.WalkStep() >= 0) {
    }
    model.EndWalk();
}
