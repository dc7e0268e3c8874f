#pragma once

#include "CaretColourTable.h"

#include <QStyledItemDelegate>

// Paints a player's name with its colour codes applied and hidden, in the
// game's colours on black as the log view shows names, from the model's
// coloured-name role (`role`); a selected cell keeps its colours on the
// selection's background.
class ColouredNameDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    ColouredNameDelegate(int role, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    int role_;
    CaretColourTable colours_;
};
