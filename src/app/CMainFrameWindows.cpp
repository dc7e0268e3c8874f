// The main frame's windows: the size of its MDI area, the Window menu's list
// of open windows, and the main window's placement from one run to the next.
#include "CChildFrame.h"
#include "CMainFrame.h"
#include "CQuarvelDoc.h"
#include "UserSettings.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QLayout>
#include <QMdiArea>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

namespace {

constexpr char kGeometryKey[] = "MainWindowGeometry";
constexpr char kStateKey[] = "MainWindowState";
constexpr char kStatusBarKey[] = "StatusBarShown";
// Window menu entries with a number key; later ones are listed without.
constexpr int kNumberedWindows = 9;

} // namespace

QSize CMainFrame::MdiClientSize() {
    if (mdiArea_->isVisible()) {
        return mdiArea_->viewport()->size();
    }
    // Before the main window is first shown (logs named on the command
    // line) its layout has not run yet: run it for the area's size.
    if (QLayout* own = layout()) {
        own->activate();
    }
    return mdiArea_->contentsRect().size();
}

void CMainFrame::UpdateWindowList() {
    if (windowMenu_ == nullptr) {
        return;
    }
    for (QAction* action : windowListActions_) {
        windowMenu_->removeAction(action);
        action->deleteLater();
    }
    windowListActions_.clear();
    const QList<CChildFrame*> frames = childFrames();
    if (frames.isEmpty()) {
        return;
    }
    windowListActions_.append(windowMenu_->addSeparator());
    const CChildFrame* active = activeFrame();
    for (qsizetype i = 0; i < frames.size(); ++i) {
        CChildFrame* frame = frames[i];
        QString title = frame->windowTitle();
        title.replace(QLatin1Char('&'), QLatin1String("&&"));
        const QString text =
            i < kNumberedWindows ? QStringLiteral("&%1 %2").arg(i + 1).arg(title) : title;
        QAction* entry = windowMenu_->addAction(text);
        entry->setCheckable(true);
        entry->setChecked(frame == active);
        entry->setStatusTip(QDir::toNativeSeparators(frame->document()->path()));
        const QPointer<CChildFrame> target(frame);
        connect(entry, &QAction::triggered, this, [this, target] {
            if (target != nullptr) {
                mdiArea_->setActiveSubWindow(target);
            }
        });
        windowListActions_.append(entry);
    }
}

void CMainFrame::RestoreWindowPlacement() {
    QSettings settings = UserSettings();
    settings.beginGroup(QStringLiteral("Settings"));
    const QByteArray geometry = settings.value(QLatin1String(kGeometryKey)).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        // The first run: the classic size, on a screen that holds it.
        QSize first(800, 600);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            first = first.boundedTo(screen->availableGeometry().size());
        }
        resize(first);
    }
    restoreState(settings.value(QLatin1String(kStateKey)).toByteArray());
    statusBar()->setVisible(settings.value(QLatin1String(kStatusBarKey), true).toBool());
    UpdateCommandStates();
}

void CMainFrame::SaveWindowPlacement() const {
    QSettings settings = UserSettings();
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QLatin1String(kGeometryKey), saveGeometry());
    settings.setValue(QLatin1String(kStateKey), saveState());
    settings.setValue(QLatin1String(kStatusBarKey), !statusBar()->isHidden());
}
