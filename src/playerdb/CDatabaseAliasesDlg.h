#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// "Aliases from database": every colour-free name the player database holds
// for a GUID, in a sorted list, and OK. Modal over the Player Info window.
class CDatabaseAliasesDlg : public QDialog {
    Q_OBJECT

public:
    CDatabaseAliasesDlg(const QStringList& names, QWidget* parent);

private:
    QListWidget* list_ = nullptr;
};
