#include "MessagePaneCover.h"

#include "MessagePane.h"

#include <QStatusBar>
#include <QVariant>

namespace {

constexpr char kCoverProperty[] = "coversMessagePane";

} // namespace

bool CoverMessagePane(const QWidget& view, QWidget& cover) {
    QLabel* pane = FindMessagePane(view);
    auto* bar = pane != nullptr ? qobject_cast<QStatusBar*>(pane->parentWidget()) : nullptr;
    if (bar == nullptr) {
        return false;
    }
    cover.setProperty(kCoverProperty, true);
    // The pane goes first, so that the cover is laid out at once with all
    // of its room (a walk that holds the event loop paints it at once).
    pane->hide();
    // First among the status bar's widgets, stretching as the pane does.
    bar->insertWidget(0, &cover, 1);
    cover.show();
    return true;
}

void UncoverMessagePane(QWidget& cover) {
    auto* bar = qobject_cast<QStatusBar*>(cover.parentWidget());
    if (bar == nullptr || !cover.property(kCoverProperty).toBool()) {
        return;
    }
    cover.setProperty(kCoverProperty, false);
    bar->removeWidget(&cover);
    for (const QWidget* other : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other->property(kCoverProperty).toBool()) {
            return;
        }
    }
    // Found in the status bar itself: the main window may be going, its
    // other children gone already.
    if (auto* pane =
            bar->findChild<QLabel*>(QLatin1String(kMessagePaneName), Qt::FindDirectChildrenOnly)) {
        pane->show();
    }
}
