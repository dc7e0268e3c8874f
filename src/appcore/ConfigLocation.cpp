#include "ConfigLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString FindConfigFile(const QString& commandLineValue) {
    if (!commandLineValue.isEmpty()) {
        return commandLineValue;
    }
    const QString besideExecutable =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quarvel.cfg"));
    if (QFileInfo::exists(besideExecutable)) {
        return besideExecutable;
    }
    const QString userFile =
        QStandardPaths::locate(QStandardPaths::AppConfigLocation, QStringLiteral("quarvel.cfg"));
    if (!userFile.isEmpty()) {
        return userFile;
    }
    return besideExecutable;
}
