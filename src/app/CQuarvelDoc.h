#pragma once

#include "LogModel.h"

#include <QString>

// One open log file. The document owns the log's `LogModel` for as long as a
// window shows it; it never writes the file (there is no save of any kind).
// Documents are made and found through the `DocumentRegistry`, and shared by
// the windows that show them: the last window to close destroys the document,
// which releases the mapping and every line record.
class CQuarvelDoc {
public:
    CQuarvelDoc() = default;
    CQuarvelDoc(const CQuarvelDoc&) = delete;
    CQuarvelDoc& operator=(const CQuarvelDoc&) = delete;

    // Opens the log at `path`. Fails only when the file cannot be opened for
    // reading at all (missing, a folder, no permission); a file that opens but
    // cannot be mapped or split (an empty one, for instance) still makes a
    // document, with no lines.
    bool Open(const QString& path);

    LogModel& model() { return model_; }
    const LogModel& model() const { return model_; }

    // The absolute path the log was opened under.
    const QString& path() const { return path_; }
    // The file name alone, which titles the document's windows.
    const QString& displayName() const { return displayName_; }
    // What tells two paths of one file apart from two files: the path with
    // links resolved, fixed when the document was opened.
    const QString& identity() const { return identity_; }

private:
    LogModel model_;
    QString path_;
    QString displayName_;
    QString identity_;
};
