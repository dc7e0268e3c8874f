#pragma once

#include <QEventLoop>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <string>

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs quarvelctl while this test's event loop serves the fake servers; its
// user's login name is "alice".
inline ProgramRun Quarvelctl(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("USER"), QStringLiteral("alice"));
    process.setProcessEnvironment(environment);
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(std::chrono::seconds(30), &loop, &QEventLoop::quit); // a hung run fails
    process.start(QStringLiteral(QUARVELCTL_PATH), arguments);
    loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// A [server] block of quarvel.cfg for a fake server on the loopback.
inline std::string ServerBlock(const std::string& name, int port, const std::string& password) {
    return "[server]\nname=" + name + "\naddress=127.0.0.1\nport=" + std::to_string(port) +
           "\nrconpass=" + password + "\n";
}
