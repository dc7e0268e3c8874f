#include "CDatabaseUpdateDlg.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <initializer_list>

namespace {
// The title bar without a system menu, and so without a close box.
constexpr Qt::WindowFlags kFrame = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

QLabel* AddText(QWidget* parent, const QString& text, const QString& name = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}
} // namespace

CDatabaseUpdateDlg::CDatabaseUpdateDlg(QWidget* mainWindow)
    : QDialog(mainWindow, kFrame), mainWindow_(mainWindow) {
    if (mainWindow_) {
        mainWindow_->setEnabled(false);
    }
    // A window disabled along with its owner would take no clicks; this one
    // must stay usable while the main window is not.
    setEnabled(true);
    setModal(false);
    setWindowTitle(QStringLiteral("Database Update"));
    const QFontMetrics metrics(font());

    stopButton_ = new QPushButton(QStringLiteral("Stop"), this);
    stopButton_->setObjectName(QStringLiteral("stopButton"));
    stopButton_->setDefault(true);
    connect(stopButton_, &QPushButton::clicked, this, &CDatabaseUpdateDlg::OnStopOrClose);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setTextVisible(false);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setMinimumWidth(metrics.averageCharWidth() * 46);

    auto* records = new QGroupBox(QStringLiteral("Records"), this);
    auto* newHeading = AddText(records, QStringLiteral("New"));
    auto* totalHeading = AddText(records, QStringLiteral("Total"));
    auto* guidsText = AddText(records, QStringLiteral("GUIDs:"));
    auto* playersText = AddText(records, QStringLiteral("Players:"));
    // Set by SetCounters before the window shows; the run fills them.
    guidsNewText_ = AddText(records, QString(), QStringLiteral("guidsNew"));
    guidsTotalText_ = AddText(records, QString(), QStringLiteral("guidsTotal"));
    playersNewText_ = AddText(records, QString(), QStringLiteral("playersNew"));
    playersTotalText_ = AddText(records, QString(), QStringLiteral("playersTotal"));
    // Wide enough for any count, so that the window keeps its size as the
    // counts grow.
    const int countWidth = metrics.horizontalAdvance(QStringLiteral("2147483647"));
    for (QLabel* count : {guidsNewText_, guidsTotalText_, playersNewText_, playersTotalText_}) {
        count->setMinimumWidth(countWidth);
        // Under the right ends of their headings, as numbers line up.
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    // The headings over the right ends of their counts.
    auto* counts = new QGridLayout(records);
    counts->setColumnStretch(0, 1);
    counts->addWidget(newHeading, 0, 1, Qt::AlignRight);
    counts->addWidget(totalHeading, 0, 2, Qt::AlignRight);
    counts->addWidget(guidsText, 1, 0);
    counts->addWidget(guidsNewText_, 1, 1);
    counts->addWidget(guidsTotalText_, 1, 2);
    counts->addWidget(playersText, 2, 0);
    counts->addWidget(playersNewText_, 2, 1);
    counts->addWidget(playersTotalText_, 2, 2);

    auto* button = new QHBoxLayout;
    button->addStretch(1);
    button->addWidget(stopButton_);
    button->addStretch(1);

    // The bar and the group with room around them, the button below.
    auto* layout = new QVBoxLayout(this);
    const int side = metrics.averageCharWidth() * 12;
    layout->setContentsMargins(side, metrics.height() * 2, side, metrics.height() * 2);
    layout->setSpacing(metrics.height() * 3 / 2);
    layout->addWidget(progress_);
    layout->addWidget(records);
    layout->addLayout(button);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Placed at once, as the window always was: its controls have their
    // places before it first shows.
    adjustSize();
    layout->activate();
}

void CDatabaseUpdateDlg::Create() {
    show();
    raise();
}

void CDatabaseUpdateDlg::SetCounters(const HarvestCounters& counters) {
    const auto text = [](std::int32_t value) { return QString::number(long{value}); };
    guidsNewText_->setText(text(counters.guidsNew));
    guidsTotalText_->setText(text(counters.guidsTotal));
    playersNewText_->setText(text(counters.playersNew));
    playersTotalText_->setText(text(counters.playersTotal));
}

void CDatabaseUpdateDlg::SetProgressRange(int steps) {
    progress_->setRange(0, steps);
}

void CDatabaseUpdateDlg::SetProgressPosition(int stepsDone) {
    progress_->setValue(std::min(stepsDone, progress_->maximum()));
}

void CDatabaseUpdateDlg::SetProgressComplete() {
    progress_->setValue(progress_->maximum());
}

void CDatabaseUpdateDlg::MarkFinished() {
    stopped_ = true;
    stopButton_->setText(QStringLiteral("Close"));
}

void CDatabaseUpdateDlg::OnStopOrClose() {
    if (!stopped_) {
        MarkFinished();
        return;
    }
    if (mainWindow_) {
        mainWindow_->setEnabled(true);
    }
    hide();
    deleteLater();
}

void CDatabaseUpdateDlg::reject() {
    // Escape would end the dialog behind the run's back and leave the main
    // window disabled; only the button ends it.
}

void CDatabaseUpdateDlg::closeEvent(QCloseEvent* event) {
    // There is no close box; a close asked for from outside (the window
    // manager, the session) acts as the button once the run is over.
    event->ignore();
    if (stopped_ && isVisible()) {
        OnStopOrClose();
    }
}
