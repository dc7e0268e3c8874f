#pragma once

#include "AppConfig.h"
#include "ConsoleHistory.h"
#include "RconClient.h"

#include <QWidget>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QLineEdit;
class QTextEdit;

// "RCON console": a window of its own for one server. A command typed on the
// line goes to the server when Enter is pressed, and the server's whole
// answer is shown under it with its colour codes applied, on black as the
// log is drawn; what went wrong (no reply, a refused password) is shown
// there too, never in a box. Up and Down walk the commands typed before,
// kept across runs (ConsoleHistory: never a password). Answers arrive over
// the event loop; the line stays free meanwhile.
class RconConsoleWindow : public QWidget {
    Q_OBJECT

public:
    // `config` gives the passwords the history must not keep; the server is
    // copied.
    RconConsoleWindow(const ServerEntry& server, const AppConfig& config, QWidget* parent);
    ~RconConsoleWindow() override;

    const ServerEntry& server() const { return server_; }
    QLineEdit* commandLine() const { return line_; }
    QTextEdit* output() const { return output_; }
    ConsoleHistory& history() { return history_; }
    // Requests whose answers are still due.
    int pending() const { return client_.pending(); }

    // Sends the line's command (Enter).
    void SendLine();
    // Sends the commands one after the other, each when the last has been
    // answered (the client keeps to the server's rate), each shown with its
    // answer as if typed; with `stopAtFailure`, a command that gets no
    // answer (no reply, a refused password, not sendable) ends the run.
    // Commands from a file are not kept in the history.
    void RunCommands(std::vector<std::string> commands, bool stopAtFailure);
    bool running() const { return !queue_.empty() || waiting_; }

    // The passwords the history must not keep, after the configuration was
    // read again: every configured server's and this window's own (its
    // server stays as it was when the window opened).
    void SetConfiguredSecrets(const AppConfig& config);

    // Appends log bytes, colour codes applied, to the output.
    void AppendColoured(std::string_view bytes);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // An answer (or a failure) was shown.
    void answered();
    // A run of commands ended (all sent, or stopped at a failure).
    void runFinished();

private:
    // Shows the command and sends it; `then` with whether it was answered.
    void Send(const std::string& bytes, std::function<void(bool)> then);
    void RunNext();

    ServerEntry server_;
    std::deque<std::string> queue_;
    bool stopAtFailure_ = false;
    bool waiting_ = false;
    ConsoleHistory history_;
    RconClient client_;
    QTextEdit* output_;
    QLineEdit* line_;
};

// The passwords of every configured server, as the history must not keep.
std::vector<QString> ConfiguredSecrets(const AppConfig& config);
