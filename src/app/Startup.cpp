#include "Startup.h"

#include "CMainFrame.h"
#include "ConfigLocation.h"
#include "GlobalConfig.h"

#include <QFile>

bool RunStartup(CMainFrame& frame, const StartupOptions& options) {
    bool everyLogOpened = true;
    for (const QString& log : options.logs) {
        everyLogOpened = frame.OpenDocumentFile(log) && everyLogOpened;
    }
    LoadGlobalConfig(options.configFile);
    return everyLogOpened;
}

void LoadGlobalConfig(const QString& configOption) {
    theAppConfig.path = QFile::encodeName(FindConfigFile(configOption)).toStdString();
    theAppConfig.Load(); // failure is quiet by design: no servers, no database
}
