#pragma once

#include <string>
#include <string_view>
#include <vector>

// The one description of quarvelctl's command line: every command with its
// arguments, options, help texts and exit statuses. The parser takes the
// options from here, --help prints it, and the build writes the manual page
// and the shell completion from it, so none of them can disagree.
// Plain C++: the generator of the manual links it without Qt.

// What a shell offers when completing a value.
enum class Completion { Nothing, LogFile, AnyFile };

struct OptionEntry {
    const char* name;      // without the leading "--"
    const char* valueName; // nullptr for a switch
    const char* help;
    Completion completion = Completion::Nothing;
};

struct ArgumentEntry {
    const char* name;
    const char* help;
    Completion completion = Completion::Nothing;
};

struct ExitEntry {
    int code;
    const char* meaning;
};

struct CommandEntry {
    const char* name;
    // The line `quarvelctl --help` lists: the synopsis, three blanks or more,
    // then a summary.
    const char* usage;
    std::vector<ArgumentEntry> arguments;
    std::vector<OptionEntry> options;
    const char* description;
    std::vector<ExitEntry> exits;
};

// Every command, in the order --help lists them.
const std::vector<CommandEntry>& CommandTable();
const CommandEntry* FindCommandEntry(std::string_view name);

// The parts of a command's usage line.
std::string_view Synopsis(const CommandEntry& command);
std::string_view Summary(const CommandEntry& command);

// What quarvelctl's own options and its exit statuses common to all
// commands say.
inline constexpr char kHelpOptionHelp[] = "print this help and exit";
inline constexpr char kVersionOptionHelp[] = "print the version and exit";
const std::vector<ExitEntry>& CommonExits();

// `quarvelctl --help` and `quarvelctl COMMAND --help`.
std::string ProgramHelp();
std::string CommandHelp(const CommandEntry& command);

// "quarvelctl <version>", what --version prints.
std::string VersionLine();
