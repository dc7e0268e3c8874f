#pragma once

#include "AppConfig.h"

// The program's one configuration, filled at start-up from quarvel.cfg and
// read again (ReloadGlobalConfig) after the Servers dialog has written the
// file. Only the frames and start-up read it; everything below them is handed
// a const AppConfig&, which sees the new configuration after a reload. What
// must outlive a reload (a running ban, a live server, a console) copies the
// servers it needs: no pointer into `servers` survives a turn of the event
// loop.
extern AppConfig theAppConfig;
