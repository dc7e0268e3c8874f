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
    if (const auto refused = ConfigRefusalsMessage(theAppConfig)) {
        frame.messageSink().Show(*refused);
    }
    return everyLogOpened;
}

void LoadGlobalConfig(const QString& configOption) {
    theAppConfig.path = QFile::encodeName(FindConfigFile(configOption)).toStdString();
    theAppConfig.Load(); // a missing file is quiet by design: no servers, no database
}

bool ReloadGlobalConfig() {
    // A fresh object: Load alone would keep a database the file no longer
    // names.
    AppConfig fresh;
    fresh.path = theAppConfig.path;
    const bool read = fresh.Load();
    theAppConfig = std::move(fresh);
    return read;
}

std::optional<Message> ConfigRefusalsMessage(const AppConfig& config) {
    const std::vector<std::string> refusals = config.RefusalMessages();
    if (refusals.empty()) {
        return std::nullopt;
    }
    // The path is in the file system's encoding; the rest is ASCII. A box
    // taller than the screen would hide its OK button: past a screenful the
    // rest is counted, and quarvelctl lists every one.
    constexpr std::size_t kListed = 25;
    QStringList lines;
    for (std::size_t i = 0; i < refusals.size() && i < kListed; ++i) {
        lines << QFile::decodeName(QByteArray::fromStdString(refusals[i]));
    }
    if (refusals.size() > kListed) {
        lines << QStringLiteral("... and %1 more; \"quarvelctl config\" lists every one.")
                     .arg(refusals.size() - kListed);
    }
    return Message{lines.join(QLatin1Char('\n')).toStdString(), kApplicationTitle,
                   MessageIcon::Warning};
}
