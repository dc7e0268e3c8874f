// The window tests need one QApplication for the whole run, made in main so
// that it is gone before the program's static objects are.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // A test's last window closing must not end the loops of the tests after it.
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
