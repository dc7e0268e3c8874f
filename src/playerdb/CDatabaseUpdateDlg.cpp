#include "CDatabaseUpdateDlg.h"

#include "DialogUnits.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {
// The title bar without a system menu, and so without a close box.
constexpr Qt::WindowFlags kFrame = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
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

    const DialogUnits units(font());
    setFixedSize(units.Size(251, 154));

    stopButton_ = new QPushButton(QStringLiteral("Stop"), this);
    stopButton_->setObjectName(QStringLiteral("stopButton"));
    stopButton_->setGeometry(units.Rect(100, 118, 50, 14));
    stopButton_->setDefault(true);
    connect(stopButton_, &QPushButton::clicked, this, &CDatabaseUpdateDlg::OnStopOrClose);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setGeometry(units.Rect(45, 18, 161, 9));
    progress_->setTextVisible(false);
    progress_->setRange(0, 100);
    progress_->setValue(0);

    auto* records = new QGroupBox(QStringLiteral("Records"), this);
    records->setGeometry(units.Rect(45, 40, 161, 64));
    records->lower(); // behind the texts it frames

    AddText(QStringLiteral("New"), units.Rect(122, 54, 16, 8));
    AddText(QStringLiteral("Total"), units.Rect(169, 54, 17, 8));
    AddText(QStringLiteral("GUIDs:"), units.Rect(65, 67, 24, 8));
    AddText(QStringLiteral("Players:"), units.Rect(64, 81, 26, 8));
    // Set by SetCounters before the window shows; the run fills them.
    guidsNewText_ = AddText(QString(), units.Rect(105, 67, 33, 8), QStringLiteral("guidsNew"));
    guidsTotalText_ = AddText(QString(), units.Rect(153, 67, 33, 8), QStringLiteral("guidsTotal"));
    playersNewText_ = AddText(QString(), units.Rect(105, 81, 33, 8), QStringLiteral("playersNew"));
    playersTotalText_ =
        AddText(QString(), units.Rect(153, 81, 33, 8), QStringLiteral("playersTotal"));
}

QLabel* CDatabaseUpdateDlg::AddText(const QString& text, const QRect& place, const QString& name) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setGeometry(place);
    return label;
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
