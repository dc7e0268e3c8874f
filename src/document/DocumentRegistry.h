#pragma once

#include "CQuarvelDoc.h"

#include <QString>
#include <memory>
#include <vector>

// The open documents, one per log file. The windows that show a document hold
// it; the registry only remembers it, so a document lives exactly as long as
// its last window and opening a file that is already open finds the open
// document instead of loading the file again.
class DocumentRegistry {
public:
    struct OpenResult {
        std::shared_ptr<CQuarvelDoc> document; // empty when the file could not be opened
        bool alreadyOpen = false;              // true when an open document was found
    };

    // Finds the document of `path` or opens a new one.
    OpenResult Open(const QString& path);

    // The open document of `path`, if any.
    std::shared_ptr<CQuarvelDoc> Find(const QString& path) const;

    // The documents still alive, in the order they were opened.
    std::vector<std::shared_ptr<CQuarvelDoc>> Documents() const;
    int documentCount() const { return static_cast<int>(Documents().size()); }

private:
    std::vector<std::weak_ptr<CQuarvelDoc>> documents_;
};
