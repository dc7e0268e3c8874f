#include "OpenFailure.h"

#include "FileMapping.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

QString OpenErrorText(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR: // a folder on the way is a file
        return QStringLiteral("No such file");
    case EACCES:
    case EPERM:
        return QStringLiteral("Permission denied");
    case EISDIR:
        return QStringLiteral("Is a folder");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QString WhyCannotOpen(const QString& path) {
    // A folder opens for reading on this system; it is still no log.
    if (QFileInfo(path).isDir()) {
        return OpenErrorText(EISDIR);
    }
    // The open the document tried, tried again for its error number: the
    // document's open only says that it failed.
    const QByteArray name = QFile::encodeName(path);
    const int descriptor = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0) {
        ::close(descriptor);
        FileMapping mapping;
        if (mapping.Open(name.toStdString()) == LoadStatus::ViewFailed) {
            return QStringLiteral("Not enough memory to map it");
        }
        return {};
    }
    return OpenErrorText(errno);
}

QString CannotOpenMessage(const QString& path) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const QString why = WhyCannotOpen(path);
    return why.isEmpty() ? QStringLiteral("Cannot open %1.").arg(shown)
                         : QStringLiteral("Cannot open %1: %2.").arg(shown, why);
}
