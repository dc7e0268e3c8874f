#pragma once

#include "LogSearch.h"

#include <QDialog>
#include <QString>
#include <cstdint>

class QCheckBox;
class QLineEdit;
class QShowEvent;

// "Search": asks for the text to look for and the three options. One dialog
// belongs to each view and lives as long as it, so it opens with the text and
// options of that view's previous search.
//
// The fields are what the view reads and stores; the controls show them each
// time the dialog opens and give them back only when it closes with
// "Search". A check box shows 1 as checked and anything else (a value
// someone wrote into the settings by hand, say) as cleared; after "Search"
// every option is 0 or 1 again.
class CSearchDlg : public QDialog {
    Q_OBJECT

public:
    explicit CSearchDlg(QWidget* parent = nullptr);

    std::int32_t backwards = 0;
    std::int32_t caseSensitive = 0;
    std::int32_t regExp = 0;
    QString searchText;

    // A field holds 1 for an option that is on; every other value, one
    // written into the settings by hand say, is off.
    static bool IsOn(std::int32_t field) { return field == 1; }
    // The options as the search takes them.
    SearchOptions options() const { return {IsOn(caseSensitive), IsOn(regExp), IsOn(backwards)}; }

    // The controls, for tests that fill the dialog as a user would.
    QLineEdit* searchEdit() const { return searchEdit_; }
    QCheckBox* caseSensitiveBox() const { return caseSensitiveBox_; }
    QCheckBox* backwardsBox() const { return backwardsBox_; }
    QCheckBox* regExpBox() const { return regExpBox_; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Moves the fields into the controls, or with `saveAndValidate` the
    // controls into the fields: the backwards box, the case box, the
    // expression box, then the text.
    void DoDataExchange(bool saveAndValidate);

    QLineEdit* searchEdit_ = nullptr;
    QCheckBox* caseSensitiveBox_ = nullptr;
    QCheckBox* backwardsBox_ = nullptr;
    QCheckBox* regExpBox_ = nullptr;
};
