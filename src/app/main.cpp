// quarvel: the desktop viewer of game server logs.
#include "CMainFrame.h"
#include "ProgramIcon.h"
#include "Startup.h"
#include "StartupOptions.h"

#include <QApplication>
#include <cstdio>

namespace {

// Help and version need no window system, so they are answered before the
// application object exists (which would need a display).
bool AnswerWithoutGui(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const StartupOptions options = ParseStartupOptions(arguments);
    if (options.error.isEmpty() && options.showHelp) {
        std::printf("%s", qPrintable(options.helpText));
        return true;
    }
    if (options.error.isEmpty() && options.showVersion) {
        std::printf("Quarvel Version 1.3\n");
        return true;
    }
    return false;
}

// Shows the main window with the start-up work done and runs until it closes.
int RunGui(const StartupOptions& options) {
    CMainFrame frame;
    RunStartup(frame, options);
    frame.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    if (AnswerWithoutGui(argc, argv)) {
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Jor"));
    QApplication::setApplicationName(QStringLiteral("Quarvel"));
    QApplication::setApplicationVersion(QStringLiteral("1.3"));
    QApplication::setWindowIcon(ProgramIcon());

    // Read again now that Qt has taken its own options (-platform and such).
    const StartupOptions options = ParseStartupOptions(QApplication::arguments());
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "quarvel: %s\n\n%s", qPrintable(options.error),
                     qPrintable(options.helpText));
        return 2;
    }
    return RunGui(options);
}
