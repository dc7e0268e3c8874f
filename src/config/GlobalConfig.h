#pragma once

#include "AppConfig.h"

// The program's one configuration, filled once at start-up from quarvel.cfg and
// never reloaded. Only the frames and start-up read it; everything below them
// is handed a const AppConfig&.
extern AppConfig theAppConfig;
