#pragma once

#include "AppConfig.h"

// The program's one configuration, filled once at start-up from quarvel.cfg and
// never reloaded. The RCON flows and the database work read it directly.
extern AppConfig theAppConfig;
