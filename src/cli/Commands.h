#pragma once

#include <string>
#include <vector>

class Arguments;

// One quarvelctl command: its name (its entry in the command table holds its
// help) and the function that runs it with the words after the command name.
// The function returns the exit code; it prints results on stdout and errors
// on stderr.
struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>& words);
};

// Every command, in the order of the command table.
const std::vector<Command>& AllCommands();

// Prints "quarvelctl: <text>" on stderr, its control characters escaped.
void PrintError(const std::string& text);

int RunConfig(const std::vector<std::string>& words);
int RunLines(const std::vector<std::string>& words);
int RunFollow(const std::vector<std::string>& words);
int RunPlayers(const std::vector<std::string>& words);
int RunInitDb(const std::vector<std::string>& words);
int RunAliases(const std::vector<std::string>& words);
int RunHarvest(const std::vector<std::string>& words);
int RunDb(const std::vector<std::string>& words);
int RunBan(const std::vector<std::string>& words);
int RunUnban(const std::vector<std::string>& words);
int RunStatus(const std::vector<std::string>& words);
int RunRcon(const std::vector<std::string>& words);
int RunKick(const std::vector<std::string>& words);
int RunSay(const std::vector<std::string>& words);
int RunFilter(const std::vector<std::string>& words);
int RunSearch(const std::vector<std::string>& words);
int RunCopy(const std::vector<std::string>& words);
int RunFind(const std::vector<std::string>& words);
int RunHistory(const std::vector<std::string>& words);
int RunTempBan(const std::vector<std::string>& words);
// bans sync: the words after "bans", "sync" among them.
int RunBansSync(const Arguments& args);
int RunBans(const std::vector<std::string>& words);

// The most --limit lets find and history print.
inline constexpr long long kMaxFindLimit = 1000000000;
