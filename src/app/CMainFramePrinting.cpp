// Print (Ctrl+P) and Print Preview: the log or the selection of the active
// view, long lines wrapped or cut as the user chooses; the choice is kept for
// the next time.
#include "CChildFrame.h"
#include "CMainFrame.h"
#include "CQuarvelDoc.h"
#include "CQuarvelView.h"
#include "CommandIds.h"
#include "UserSettings.h"

#include <QAction>
#include <QCheckBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QSettings>
#include <QToolBar>
#include <QVBoxLayout>

using namespace CommandId;

namespace {

constexpr char kWrapKey[] = "PrintWrapLines";

bool StoredWrapLines() {
    QSettings settings = UserSettings();
    settings.beginGroup(QStringLiteral("Settings"));
    return settings.value(QLatin1String(kWrapKey), true).toBool();
}

void StoreWrapLines(bool wrap) {
    if (wrap == StoredWrapLines()) {
        return;
    }
    QSettings settings = UserSettings();
    settings.beginGroup(QStringLiteral("Settings"));
    settings.setValue(QLatin1String(kWrapKey), wrap);
}

} // namespace

void CMainFrame::OnFilePrint() {
    CQuarvelView* view = activeView();
    if (view == nullptr || !view->IsCommandEnabled(kFilePrint)) {
        return;
    }
    QPrinter printer;
    printer.setDocName(view->document().displayName());
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("printDialog"));
    // "Selection" in the dialog's print range while a selection is shown.
    dialog.setOption(QAbstractPrintDialog::PrintSelection, view->selectionActive());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    auto* lines = new QWidget;
    lines->setWindowTitle(QStringLiteral("Lines"));
    auto* wrap = new QCheckBox(QStringLiteral("&Wrap long lines"), lines);
    wrap->setObjectName(QStringLiteral("wrapLines"));
    wrap->setChecked(StoredWrapLines());
    auto* layout = new QVBoxLayout(lines);
    layout->addWidget(wrap);
    layout->addStretch();
    dialog.setOptionTabs({lines}); // the dialog owns the tab from here
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    StoreWrapLines(wrap->isChecked());
    PrintChoice choice;
    choice.selectionOnly = printer.printRange() == QPrinter::Selection;
    choice.wrapLines = wrap->isChecked();
    const bool pageRange = printer.printRange() == QPrinter::PageRange;
    if (!view->Print(printer, choice, pageRange ? printer.fromPage() : 0,
                     pageRange ? printer.toPage() : 0) &&
        printer.printerState() != QPrinter::Aborted) {
        messages_->Show(
            {"The document could not be printed.", kApplicationTitle, MessageIcon::Warning});
    }
}

void CMainFrame::OnFilePrintPreview() {
    CQuarvelView* view = activeView();
    if (view == nullptr || !view->IsCommandEnabled(kFilePrint)) {
        return;
    }
    QPrinter printer;
    printer.setDocName(view->document().displayName());
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("printPreview"));
    PrintChoice choice;
    choice.wrapLines = StoredWrapLines();
    choice.selectionOnly = view->selectionActive();

    // The choices sit on the preview's own toolbar; each change lays the
    // pages out again.
    auto* widget = preview.findChild<QPrintPreviewWidget*>();
    if (auto* bar = preview.findChild<QToolBar*>()) {
        bar->addSeparator();
        QAction* wrap = bar->addAction(QStringLiteral("Wrap long lines"));
        wrap->setObjectName(QStringLiteral("wrapLines"));
        wrap->setCheckable(true);
        wrap->setChecked(choice.wrapLines);
        connect(wrap, &QAction::toggled, &preview, [&choice, widget](bool on) {
            choice.wrapLines = on;
            StoreWrapLines(on);
            if (widget != nullptr) {
                widget->updatePreview();
            }
        });
        QAction* selection = bar->addAction(QStringLiteral("Selection only"));
        selection->setObjectName(QStringLiteral("selectionOnly"));
        selection->setCheckable(true);
        selection->setChecked(choice.selectionOnly);
        selection->setEnabled(view->selectionActive());
        connect(selection, &QAction::toggled, &preview, [&choice, widget](bool on) {
            choice.selectionOnly = on;
            if (widget != nullptr) {
                widget->updatePreview();
            }
        });
    }
    const QPointer<CQuarvelView> shown(view);
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&choice, shown](QPrinter* target) {
                if (shown != nullptr) {
                    // The preview's own Print button prints through here
                    // too, with the range its print dialog chose.
                    const bool range = target->printRange() == QPrinter::PageRange;
                    shown->Print(*target, choice, range ? target->fromPage() : 0,
                                 range ? target->toPage() : 0);
                }
            });
    preview.exec();
}
