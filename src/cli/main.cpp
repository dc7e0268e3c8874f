// quarvelctl: the log model, the RCON client and the player database from the
// command line. Every behaviour it shows is the core's; this is only argument
// parsing and output.
#include "Arguments.h"
#include "CommandTable.h"
#include "Commands.h"
#include "EscapedFailure.h"
#include "UserSettings.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

namespace {

void PrintHelp() {
    std::fputs(ProgramHelp().c_str(), stdout);
}

// "COMMAND --help" is answered before the command runs; words the command's
// options do not allow are left to the command, which says what is wrong.
bool AnswerCommandHelp(const char* name, const std::vector<std::string>& words) {
    const CommandEntry* entry = FindCommandEntry(name);
    if (entry == nullptr) {
        return false;
    }
    std::string error;
    const auto args = Arguments::Parse(words, *entry, error);
    if (!args || !args->WantsHelp()) {
        return false;
    }
    std::fputs(CommandHelp(*entry).c_str(), stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsOrganisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(kSettingsApplication));
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintHelp();
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s\n", VersionLine().c_str());
        return 0;
    }
    const std::vector<std::string> words(argv + 2, argv + argc);
    for (const Command& command : AllCommands()) {
        if (std::strcmp(argv[1], command.name) == 0) {
            if (AnswerCommandHelp(command.name, words)) {
                return 0;
            }
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
