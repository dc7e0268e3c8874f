#pragma once

#include "AppConfig.h"
#include "RconClient.h"

#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

// A "Test" button and what the test found beside it: the server, as a
// dialog holds it at the moment of the click, is asked `status`, and the
// line shows its map and player count, or what went wrong ("No reply",
// "Invalid RCON password", "Bad reply: ..."). The answer comes over the
// event loop: the dialog stays live meanwhile, and a second click asks
// anew, forgetting the first question.
class ServerTestLine : public QWidget {
    Q_OBJECT

public:
    // The server to ask; nothing when its values cannot be taken (the
    // source has said why).
    using Source = std::function<std::optional<ServerEntry>()>;

    ServerTestLine(Source source, QWidget* parent);
    ~ServerTestLine() override;

    QPushButton* button() const { return button_; }
    QLabel* result() const { return result_; }
    bool asking() const { return asked_.has_value(); }

    // What the button does.
    void Run();

signals:
    // An answer, or what went wrong, is shown.
    void finished();

private:
    Source source_;
    RconClient client_;
    std::optional<RconClient::RequestId> asked_;
    QPushButton* button_;
    QLabel* result_;
};
