#pragma once

#include <QCoreApplication>

// The Qt application object a test's event loop needs; one per test, made
// before the sockets and servers that use the loop.
class TestApplication {
public:
    TestApplication() : app_(argc_, argv_) {}

private:
    int argc_ = 1;
    char name_[12] = "rcon_tests";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication app_;
};
