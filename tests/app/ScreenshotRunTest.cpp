// quarvel --screenshot, run as a program: a picture of the window with its
// logs, and an exit code that says when a log did not open.
#include "TempFile.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct QuarvelRun {
    int exitCode = -1;
    QString errors;
};

QuarvelRun RunQuarvel(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // The user's settings of the test run, not of whoever runs it.
    QTemporaryDir home;
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QUARVEL_PATH), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

TEST(ScreenshotRun, SavesAPictureOfTheWindowWithItsLog) {
    TempFile log("   0:00 InitGame:\n   0:01 say: Bob: hi\n");
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("window.png"));
    const QuarvelRun run =
        RunQuarvel({QStringLiteral("--screenshot"), picture, QStringLiteral("--size"),
                    QStringLiteral("640x480"), QString::fromStdString(log.path())});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(QImage(picture).size(), QSize(640, 480));
}

TEST(ScreenshotRun, AMissingLogExitsWithOneAndTakesNoPicture) {
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("window.png"));
    const QString missing = folder.filePath(QStringLiteral("missing.log"));
    const QuarvelRun run = RunQuarvel({QStringLiteral("--screenshot"), picture, missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains(QStringLiteral("Cannot open ") +
                                    QDir::toNativeSeparators(missing) +
                                    QStringLiteral(": No such file.")))
        << run.errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(picture));
}

} // namespace
