#pragma once

#include <string>

// The login name of the user running the program, as UTF-8: what a ban record
// names as its admin. From the environment (USER, LOGNAME, USERNAME), else
// the system's account of the process's user; "unknown" when neither says.
std::string LoginName();
