#include "LogModel.h"

LogModel::~LogModel() { Close(); }

bool LogModel::Load(const std::string& path) {
    Close();
    loadStatus_ = file_.Open(path);
    if (loadStatus_ != FileMapping::kLoaded) {
        return false;
    }
    fileSize_ = file_.size();
    lineCount_ = lines_.Split(file_.data(), fileSize_);
    return true;
}

void LogModel::Close() {
    file_.Close();
    fileSize_ = 0;
    lineCount_ = 0;
}
