#pragma once

#include "CSearchDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// What a user does in the Search dialog.
struct SearchAnswer {
    QString text;
    bool caseSensitive = false;
    bool regExp = false;
    bool backwards = false;
    bool search = true;  // "Search" by the Enter key, or else "Cancel"
    bool pasted = false; // the text put in at once, as a paste does, not typed
};

// What the dialog showed when it opened.
struct ShownSearch {
    QString text;
    bool caseSensitive = false;
    bool regExp = false;
    bool backwards = false;
};

// Answers a view's Search dialog each time it opens while the driver lives,
// as a user would: typing the text over what the box holds, toggling the
// boxes that differ with the space bar, and leaving by Enter or "Cancel". It
// looks on every pass of the dialog's event loop; a dialog it could not
// close is rejected, so a test never hangs.
class SearchDialogDriver {
public:
    SearchDialogDriver(CSearchDlg& dialog, SearchAnswer answer)
        : dialog_(dialog), answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(0);
    }

    int opened = 0;
    ShownSearch shown;

private:
    static void SetBox(QCheckBox* box, bool checked) {
        if (box->isChecked() != checked) {
            QTest::keyClick(box, Qt::Key_Space);
        }
    }

    void Look() {
        if (!dialog_.isVisible() || QApplication::activeModalWidget() != &dialog_) {
            return;
        }
        ++opened;
        shown = {dialog_.searchEdit()->text(), dialog_.caseSensitiveBox()->isChecked(),
                 dialog_.regExpBox()->isChecked(), dialog_.backwardsBox()->isChecked()};
        QLineEdit* edit = dialog_.searchEdit();
        edit->selectAll();
        if (answer_.text.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_Delete);
        } else if (answer_.pasted) {
            edit->insert(answer_.text);
        } else {
            QTest::keyClicks(edit, answer_.text);
        }
        SetBox(dialog_.caseSensitiveBox(), answer_.caseSensitive);
        SetBox(dialog_.regExpBox(), answer_.regExp);
        SetBox(dialog_.backwardsBox(), answer_.backwards);
        if (answer_.search) {
            QTest::keyClick(edit, Qt::Key_Return);
        } else {
            QTest::mouseClick(dialog_.findChild<QPushButton*>(QStringLiteral("cancelButton")),
                              Qt::LeftButton);
        }
        if (dialog_.isVisible()) {
            dialog_.reject();
        }
    }

    CSearchDlg& dialog_;
    SearchAnswer answer_;
    QTimer timer_;
};
