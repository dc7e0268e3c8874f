// Every widget test program runs with this main: one QApplication for the
// whole run, made before any window and gone before the program's static
// objects are, on the offscreen platform, with the user's settings store
// pointed at a folder of the test's own.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThreadPool>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Widget tests never need a display: not when ctest runs them, nor when the
    // build lists them, nor when someone runs them by hand.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Jor"));
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    // Closing a test's main window must not end the event loops of the tests
    // after it.
    QApplication::setQuitOnLastWindowClosed(false);

    QTemporaryDir settingsFolder;
    if (!settingsFolder.isValid()) {
        return 1;
    }
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
    const int status = RUN_ALL_TESTS();
    // Look-ups a test left running off the user-interface thread end while
    // the application is still there.
    QThreadPool::globalInstance()->waitForDone();
    return status;
}
