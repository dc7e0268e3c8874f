#include "GlobalConfig.h"

AppConfig theAppConfig;
