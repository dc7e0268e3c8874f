#pragma once

#include "AppConfig.h"
#include "Arguments.h"
#include "RconReply.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The servers a live command talks to: the one --server names (its name as
// the configuration writes it; the command line's UTF-8 is compared as the
// configuration's bytes), or, where the option may be left out, every
// server in the order they are asked. Nothing, with the error printed, when
// no server has the name or none is configured.
std::optional<std::vector<ServerEntry>> ChooseServers(const AppConfig& config,
                                                      const Arguments& args, bool required);

// The server --server names, from the configuration the command reads (kept
// in `config` where one is given); nothing, with the error printed and the
// exit status set (1 the configuration cannot be read, 2 no such server),
// otherwise.
std::optional<ServerEntry> LoadServerForCommand(const Arguments& args, int& exitCode,
                                                AppConfig* config = nullptr);

// Sends the command to the server over a client of its own, prints the whole
// answer and gives the exit status as ExitCodeOfReply says.
int SendAndPrint(const ServerEntry& server, std::string_view command);
// Prints a reply's whole answer on stdout, as the server sent it.
void PrintAnswer(const RconReply& reply);

// The words of a command line joined by blanks.
std::string JoinedWords(const std::vector<std::string>& words);

// Sends one command to one server over a client of its own and waits in this
// thread's event loop for the whole answer.
RconReply SendAndWait(const ServerEntry& server, std::string_view command);

// The exit status of a command whose one request ended so: 0 answered, 3 no
// reply (or no answer of any use), 4 the password refused, 2 not sent (the
// command cannot go out as given); a failure is said on stderr.
int ExitCodeOfReply(const RconReply& reply, std::string_view serverName);
