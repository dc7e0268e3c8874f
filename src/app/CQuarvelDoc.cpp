#include "CQuarvelDoc.h"

#include <QFile>
#include <QFileInfo>

bool CQuarvelDoc::Open(const QString& path) {
    // First make sure the file can be read at all: a name that opens nothing is
    // reported by the caller, whereas a file that opens but cannot be mapped is
    // shown as an empty log without complaint.
    const QFileInfo info(path);
    if (info.isDir()) {
        return false;
    }
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly)) {
        return false;
    }
    probe.close();

    path_ = info.absoluteFilePath();
    displayName_ = info.fileName();
    identity_ = info.canonicalFilePath();
    if (identity_.isEmpty()) {
        identity_ = path_;
    }
    // The load status is deliberately not looked at: see above.
    model_.Load(QFile::encodeName(path_).toStdString());
    return true;
}
