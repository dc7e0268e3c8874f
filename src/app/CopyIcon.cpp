#include "CopyIcon.h"

#include <QPainter>
#include <QPixmap>

namespace {

// One page at `page`: white with a dark outline, a folded top right corner
// and a few lines of text.
void DrawPage(QPainter& painter, const QRectF& page, qreal unit) {
    const qreal fold = page.width() / 3;
    const QPolygonF outline{page.topLeft(), page.topRight() - QPointF(fold, 0),
                            page.topRight() + QPointF(0, fold), page.bottomRight(),
                            page.bottomLeft()};
    painter.setPen(QPen(QColor(0x30, 0x30, 0x40), unit));
    painter.setBrush(Qt::white);
    painter.drawPolygon(outline);
    painter.drawPolyline(QPolygonF{page.topRight() - QPointF(fold, 0),
                                   page.topRight() + QPointF(-fold, fold),
                                   page.topRight() + QPointF(0, fold)});
    painter.setPen(QPen(QColor(0x40, 0x60, 0xA0), unit));
    for (qreal y = page.top() + fold + 2 * unit; y < page.bottom() - 1.5 * unit; y += 2 * unit) {
        painter.drawLine(QPointF(page.left() + 2 * unit, y), QPointF(page.right() - 2 * unit, y));
    }
}

QPixmap DrawCopy(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, size > 16);
    // Drawn on a grid of 16 units, sharp at 16 pixels.
    const qreal unit = size / 16.0;
    const QRectF back(1.5 * unit, 0.5 * unit, 9 * unit, 11 * unit);
    const QRectF front(5.5 * unit, 4.5 * unit, 9 * unit, 11 * unit);
    DrawPage(painter, back, unit);
    DrawPage(painter, front, unit);
    return picture;
}

} // namespace

QIcon DrawnCopyIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48}) {
        icon.addPixmap(DrawCopy(size));
    }
    return icon;
}

QIcon CopyIcon() {
    return QIcon::fromTheme(QStringLiteral("edit-copy"), DrawnCopyIcon());
}
