#pragma once

#include "AppConfig.h"
#include "Arguments.h"

#include <optional>
#include <string>

// The configuration a command works with: the --config value when given,
// else quarvel.cfg where the GUI would find it. Nothing (with the error
// printed) when the file cannot be read. Each line the reader refused is
// printed on stderr, naming the file and line.
std::optional<AppConfig> LoadConfigForCommand(const Arguments& args);

// The player database `config` names; nothing (with the error printed) when
// it names none.
std::optional<std::string> DatabaseLocationForCommand(const AppConfig& config);

// The player database the configuration names; nothing (with the error
// printed) when the configuration cannot be read or names none.
std::optional<std::string> LoadDatabaseLocationForCommand(const Arguments& args);
