#include "ServerTestLine.h"

#include "LogText.h"
#include "ServerSnapshot.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ServerTestLine::ServerTestLine(Source source, QWidget* parent)
    : QWidget(parent), source_(std::move(source)), button_(new QPushButton(this)),
      result_(new QLabel(this)) {
    button_->setText(QStringLiteral("&Test"));
    button_->setObjectName(QStringLiteral("testButton"));
    button_->setToolTip(QStringLiteral("Ask the server who is on it, with these values"));
    result_->setTextFormat(Qt::PlainText);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    result_->setWordWrap(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(button_);
    layout->addWidget(result_, 1);
    connect(button_, &QPushButton::clicked, this, &ServerTestLine::Run);
}

ServerTestLine::~ServerTestLine() = default;

void ServerTestLine::Run() {
    if (asked_) {
        client_.Cancel(*asked_);
        asked_.reset();
    }
    const std::optional<ServerEntry> server = source_();
    if (!server) {
        result_->clear();
        return;
    }
    result_->setText(
        QStringLiteral("Asking %1:%2...").arg(LogTextToQString(server->address)).arg(server->port));
    asked_ = client_.Send(*server, "status", [this](const RconReply& reply) {
        asked_.reset();
        result_->setText(QString::fromStdString(SnapshotSummary(SnapshotOfStatusReply(reply))));
        emit finished();
    });
}
