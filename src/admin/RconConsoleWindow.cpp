#include "RconConsoleWindow.h"

#include "CaretColourTable.h"
#include "DatabaseText.h"
#include "LogText.h"
#include "NameColourRuns.h"
#include "Windows1252.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr Rgb kConsoleWhite = 0xFFFFFF;

QColor ConsoleColour(Rgb rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

} // namespace

std::vector<QString> ConfiguredSecrets(const AppConfig& config) {
    std::vector<QString> secrets;
    for (const ServerEntry& server : config.servers) {
        secrets.push_back(LogTextToQString(server.rconpass));
    }
    return secrets;
}

RconConsoleWindow::RconConsoleWindow(const ServerEntry& server, const AppConfig& config,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window), server_(server), history_(ConfiguredSecrets(config)),
      output_(new QTextEdit(this)), line_(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("RCON console - ") + LogTextToQString(server_.name));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    output_->setReadOnly(true);
    output_->setFont(fixed);
    QPalette black = output_->palette();
    black.setColor(QPalette::Base, Qt::black);
    black.setColor(QPalette::Text, Qt::white);
    output_->setPalette(black);
    line_->setFont(fixed);
    line_->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(output_, 1);
    layout->addWidget(line_);
    connect(line_, &QLineEdit::returnPressed, this, &RconConsoleWindow::SendLine);
    history_.Load();
    resize(640, 400);
}

RconConsoleWindow::~RconConsoleWindow() = default;

void RconConsoleWindow::SetConfiguredSecrets(const AppConfig& config) {
    std::vector<QString> secrets = ConfiguredSecrets(config);
    secrets.push_back(LogTextToQString(server_.rconpass));
    history_.SetSecrets(std::move(secrets));
}

void RconConsoleWindow::AppendColoured(std::string_view bytes) {
    QTextCursor cursor(output_->document());
    cursor.movePosition(QTextCursor::End);
    static const CaretColourTable colours;
    // Every line of an answer starts white, as the game's console draws it.
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view line = bytes.substr(0, end);
        for (const NameColourRun& run : NameColourRuns(line, colours, kConsoleWhite)) {
            QTextCharFormat format;
            format.setForeground(ConsoleColour(run.colour));
            cursor.insertText(LogBytesToDatabaseText(run.text), format);
        }
        if (end == std::string_view::npos) {
            break;
        }
        cursor.insertText(QStringLiteral("\n"), QTextCharFormat());
        bytes.remove_prefix(end + 1);
    }
    output_->setTextCursor(cursor);
    output_->ensureCursorVisible();
}

void RconConsoleWindow::SendLine() {
    const QString command = line_->text();
    if (command.trimmed().isEmpty()) {
        return;
    }
    line_->clear();
    history_.Add(command);
    history_.Save();
    Send(Utf8ToWindows1252(command.toStdString()), nullptr);
}

void RconConsoleWindow::Send(const std::string& bytes, std::function<void(bool)> then) {
    AppendColoured("] " + bytes + "\n");
    client_.Send(server_, bytes, [this, then = std::move(then)](const RconReply& reply) {
        if (reply.answered()) {
            AppendColoured(reply.text.empty() || reply.text.back() == '\n' ? reply.text
                                                                           : reply.text + "\n");
        } else {
            AppendColoured(Utf8ToWindows1252(ReplyFailureMessage(reply, server_.name).text) + "\n");
        }
        emit answered();
        if (then) {
            then(reply.answered());
        }
    });
}

void RconConsoleWindow::RunCommands(std::vector<std::string> commands, bool stopAtFailure) {
    queue_.insert(queue_.end(), std::make_move_iterator(commands.begin()),
                  std::make_move_iterator(commands.end()));
    stopAtFailure_ = stopAtFailure;
    if (!waiting_) {
        RunNext();
    }
}

void RconConsoleWindow::RunNext() {
    if (queue_.empty()) {
        waiting_ = false;
        emit runFinished();
        return;
    }
    const std::string command = std::move(queue_.front());
    queue_.pop_front();
    waiting_ = true;
    Send(command, [this](bool answered) {
        if (!answered && stopAtFailure_) {
            const auto left = queue_.size();
            queue_.clear();
            if (left > 0) {
                AppendColoured(
                    "Stopped at the first failure: " + std::to_string(left) +
                    (left == 1 ? " command was not sent.\n" : " commands were not sent.\n"));
            }
        }
        RunNext();
    });
}

bool RconConsoleWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == line_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up) {
            if (const QString older = history_.Older(); !older.isEmpty()) {
                line_->setText(older);
            }
            return true;
        }
        if (key == Qt::Key_Down) {
            line_->setText(history_.Newer());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
