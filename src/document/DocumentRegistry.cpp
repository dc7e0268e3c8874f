#include "DocumentRegistry.h"

#include <QFileInfo>
#include <algorithm>

DocumentRegistry::OpenResult DocumentRegistry::Open(const QString& path) {
    if (auto open = Find(path)) {
        return {std::move(open), true};
    }
    auto document = std::make_shared<CQuarvelDoc>();
    if (!document->Open(path)) {
        return {};
    }
    std::erase_if(documents_, [](const auto& entry) { return entry.expired(); });
    documents_.push_back(document);
    return {std::move(document), false};
}

std::shared_ptr<CQuarvelDoc> DocumentRegistry::Find(const QString& path) const {
    const QFileInfo info(path);
    QString identity = info.canonicalFilePath();
    if (identity.isEmpty()) {
        identity = info.absoluteFilePath();
    }
    for (const auto& entry : documents_) {
        if (auto document = entry.lock(); document && document->identity() == identity) {
            return document;
        }
    }
    return nullptr;
}

std::vector<std::shared_ptr<CQuarvelDoc>> DocumentRegistry::Documents() const {
    std::vector<std::shared_ptr<CQuarvelDoc>> alive;
    for (const auto& entry : documents_) {
        if (auto document = entry.lock()) {
            alive.push_back(std::move(document));
        }
    }
    return alive;
}
