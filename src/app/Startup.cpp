#include "Startup.h"

#include "CMainFrame.h"
#include "ConfigLocation.h"
#include "GlobalConfig.h"

#include <QFile>

void RunStartup(CMainFrame& frame, const StartupOptions& options) {
    for (const QString& log : options.logs) {
        frame.OpenDocumentFile(log);
    }
    LoadGlobalConfig(options.configFile);
}

void LoadGlobalConfig(const QString& configOption) {
    theAppConfig.path = QFile::encodeName(FindConfigFile(configOption)).toStdString();
    theAppConfig.Load(); // failure is quiet by design: no servers, no database
}
