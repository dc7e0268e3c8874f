#include "CQuarvelView.h"

#include "CQuarvelDoc.h"
#include "CommandIds.h"

#include <QPainter>

CQuarvelView::CQuarvelView(CQuarvelDoc& document, QWidget* parent)
    : QAbstractScrollArea(parent), document_(document) {
    // The log is drawn on black.
    QPalette black = viewport()->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::Base, Qt::black);
    viewport()->setPalette(black);
    viewport()->setAutoFillBackground(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

CQuarvelView::~CQuarvelView() = default;

void CQuarvelView::OnUpdate() {
    lineCount_ = document_.model().lineCount();
}

bool CQuarvelView::OnCommand(int id) {
    switch (id) {
    case CommandId::kFind:
    case CommandId::kFindNext:
        return true;
    default:
        return false;
    }
}

bool CQuarvelView::IsCommandEnabled(int id) const {
    switch (id) {
    case CommandId::kFind:
    case CommandId::kFindNext:
    case CommandId::kFilePrint:
        return true;
    case CommandId::kEditCopy:        // no selection yet
    case CommandId::kDatabaseUpdate:  // no update run yet
    case CommandId::kExecuteRconFile: // nothing stands behind it
    default:
        return false;
    }
}

void CQuarvelView::Print(QPainter& painter, const QRect& page) {
    Q_UNUSED(painter);
    Q_UNUSED(page);
}
