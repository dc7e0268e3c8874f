// quarvelctl: the log model, the RCON client and the player database from the
// command line. Every behaviour it shows is the core's; this is only argument
// parsing and output.
#include "Commands.h"
#include "EscapedFailure.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

namespace {

void PrintHelp() {
    std::printf("usage: quarvelctl COMMAND [ARGS]\n\ncommands:\n");
    for (const Command& command : AllCommands()) {
        std::printf("  %s\n", command.usage);
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Jor"));
    QCoreApplication::setApplicationName(QStringLiteral("Quarvel"));
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintHelp();
        return argc < 2 ? 2 : 0;
    }
    const std::vector<std::string> words(argv + 2, argv + argc);
    for (const Command& command : AllCommands()) {
        if (std::strcmp(argv[1], command.name) == 0) {
            // A failure no command caught (out of memory above all) is told
            // as the window would tell it, with an exit code of its own.
            try {
                return command.run(words);
            } catch (...) {
                PrintError(DescribeEscapedFailure(std::current_exception()).text);
                return 3;
            }
        }
    }
    PrintError(std::string("unknown command \"") + argv[1] + "\"; see quarvelctl --help");
    return 2;
}
