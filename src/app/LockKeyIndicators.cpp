#include "LockKeyIndicators.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

namespace {

constexpr std::array<const char*, 3> kIndicators = {"CAP", "NUM", "SCRL"};

} // namespace

LockKeyIndicators::LockKeyIndicators(QStatusBar& bar, LockKeyReader reader)
    : QObject(&bar), reader_(std::move(reader)) {
    for (std::size_t i = 0; i < kIndicators.size(); ++i) {
        auto* pane = new QLabel(QLatin1String(kIndicators[i]), &bar);
        pane->setObjectName(QLatin1String(kIndicators[i]));
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        // A pane keeps its width while blank.
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        bar.addPermanentWidget(pane);
        panes_[i] = pane;
    }
    Refresh();
    qApp->installEventFilter(this);
}

LockKeyIndicators::~LockKeyIndicators() {
    if (qApp != nullptr) {
        qApp->removeEventFilter(this);
    }
}

void LockKeyIndicators::Refresh() {
    const LockKeys keys = reader_ ? reader_() : LockKeys{};
    const std::array<std::optional<bool>, 3> states{keys.capsLock, keys.numLock, keys.scrollLock};
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        QLabel* pane = panes_[i];
        pane->setVisible(states[i].has_value());
        pane->setText(states[i].value_or(false) ? QLatin1String(kIndicators[i]) : QString());
    }
}

bool LockKeyIndicators::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
            Refresh();
            break;
        default:
            break;
        }
        break;
    case QEvent::ApplicationActivate:
        Refresh();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
