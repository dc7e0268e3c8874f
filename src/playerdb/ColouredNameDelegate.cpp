#include "ColouredNameDelegate.h"

#include "DatabaseText.h"
#include "NameColourRuns.h"
#include "Windows1252.h"

#include <QPainter>

namespace {

constexpr Rgb kWhite = 0xFFFFFF;

QColor ColourOf(Rgb rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

} // namespace

ColouredNameDelegate::ColouredNameDelegate(int role, QObject* parent)
    : QStyledItemDelegate(parent), role_(role) {}

void ColouredNameDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const QVariant name = index.data(role_);
    if (!name.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->save();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    painter->fillRect(option.rect, selected ? option.palette.highlight() : QBrush(Qt::black));
    painter->setFont(option.font);
    QRect room = option.rect.adjusted(3, 0, -3, 0);
    // Codes are a caret and one byte of the log's text.
    const std::string bytes = Utf8ToWindows1252(name.toString().toStdString());
    for (const NameColourRun& run : NameColourRuns(bytes, colours_, kWhite)) {
        if (room.width() <= 0) {
            break;
        }
        const QString text = LogBytesToDatabaseText(run.text);
        painter->setPen(ColourOf(run.colour));
        painter->drawText(room, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
        room.setLeft(room.left() + option.fontMetrics.horizontalAdvance(text));
    }
    painter->restore();
}
