// The frame's commands for the game servers: the Servers dialog, the Bans
// window, the RCON console and Execute RCON file (View > Servers is with the
// other view toggles).
#include "CMainFrame.h"
#include "CServersDlg.h"
#include "GlobalConfig.h"
#include "LogText.h"
#include "RconConsoleWindow.h"
#include "RconFile.h"
#include "ServersPanel.h"
#include "Startup.h"

#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// The server a command is for: the only one, or the one the user picks;
// null when none is configured or the user cancels.
const ServerEntry* ChooseServer(QWidget* parent, const QString& title) {
    QStringList names;
    std::vector<const ServerEntry*> servers;
    for (const ServerEntry& server : theAppConfig.servers) {
        names.append(LogTextToQString(server.name));
        servers.push_back(&server);
    }
    if (servers.size() <= 1) {
        return servers.empty() ? nullptr : servers.front();
    }
    bool ok = false;
    const QString picked =
        QInputDialog::getItem(parent, title, QStringLiteral("Server:"), names, 0, false, &ok);
    if (!ok) {
        return nullptr;
    }
    return servers[static_cast<std::size_t>(std::max<qsizetype>(names.indexOf(picked), 0))];
}

} // namespace

void CMainFrame::OnServersDialog() {
    ConfigDocumentRead read = ConfigDocument::Read(theAppConfig.path);
    if (!read.document) {
        messages_->Show({read.error, "Servers", MessageIcon::Error});
        return;
    }
    CServersDlg dialog(std::move(*read.document), this);
    if (dialog.exec() == QDialog::Accepted && dialog.saved()) {
        ReloadConfiguration();
    }
}

void CMainFrame::OnBansWindow() {
    if (theAppConfig.databasePath.empty()) {
        return;
    }
    if (bansWindow_ == nullptr) {
        // Made anew after a close, so it reads the database the
        // configuration names now.
        bansWindow_ = new CBansDlg(theAppConfig, this);
        bansWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    bansWindow_->show();
    bansWindow_->raise();
    bansWindow_->activateWindow();
}

void CMainFrame::ReloadConfiguration() {
    ReloadGlobalConfig();
    if (serversDock_ != nullptr) {
        static_cast<ServersPanel*>(serversDock_->widget())->ReloadServers();
    }
    for (RconConsoleWindow* console : findChildren<RconConsoleWindow*>()) {
        console->SetConfiguredSecrets(theAppConfig);
    }
    UpdateCommandStates();
    if (const auto refused = ConfigRefusalsMessage(theAppConfig)) {
        messages_->Show(*refused);
    }
}

RconConsoleWindow* CMainFrame::OnRconConsole() {
    const ServerEntry* server = ChooseServer(this, QStringLiteral("RCON console"));
    if (server == nullptr) {
        return nullptr;
    }
    auto* console = new RconConsoleWindow(*server, theAppConfig, this);
    console->setAttribute(Qt::WA_DeleteOnClose);
    console->show();
    return console;
}

void CMainFrame::OnExecuteRconFile() {
    if (theAppConfig.servers.empty()) {
        return;
    }
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Execute RCON file"), lastOpenFolder_,
                                     QStringLiteral("RCON files (*.txt *.cfg);;All files (*)"));
    if (path.isEmpty()) {
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        messages_->Show(
            {"Cannot read " + path.toStdString() + ": " + file.errorString().toStdString(),
             {},
             MessageIcon::Error});
        return;
    }
    const QByteArray bytes = file.readAll();
    std::vector<std::string> commands = RconFileCommands(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (commands.empty()) {
        messages_->Show({QFileInfo(path).fileName().toStdString() + " holds no command.",
                         {},
                         MessageIcon::Warning});
        return;
    }
    const bool stop = QMessageBox::question(this, QStringLiteral("Execute RCON file"),
                                            QStringLiteral("Stop at the first command that "
                                                           "fails?")) == QMessageBox::Yes;
    if (RconConsoleWindow* console = OnRconConsole()) {
        console->RunCommands(std::move(commands), stop);
    }
}
