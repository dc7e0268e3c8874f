// Every dialog of the program laid out by its font: each control inside the
// window and none over another, every text with the room it asks for, at the
// font the dialog opens with and at one twice as large; and Tab going through
// the controls in the order the dialog means them to be visited.
#include "AppConfig.h"
#include "CAboutDlg.h"
#include "CBanMinutesDlg.h"
#include "CBanReasonDlg.h"
#include "CBansDlg.h"
#include "CDatabaseAliasesDlg.h"
#include "CDatabaseUpdateDlg.h"
#include "CFindPlayerDlg.h"
#include "CGoToDlg.h"
#include "CPlayerInfoDlg.h"
#include "CSearchDlg.h"
#include "CServerEditDlg.h"
#include "CServersDlg.h"
#include "CTempBanDlg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<QDialog>(const AppConfig&)> make;
    // The controls Tab visits, from the first: object names, or for a
    // control without one its class and text.
    QStringList tabOrder;
    // A dialog that holds a list or a table can be made larger; the others
    // keep the size their contents ask for.
    bool resizable;
};

void PrintTo(const DialogCase& c, std::ostream* os) {
    *os << c.name;
}

QString ControlName(const QWidget& control) {
    if (!control.objectName().isEmpty()) {
        return control.objectName();
    }
    QString name = QString::fromLatin1(control.metaObject()->className());
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        name += QLatin1Char(':') + button->text();
    }
    return name;
}

// The controls a user sees: the dialog's widgets, looking into the group
// boxes and button boxes that hold others but not into a control's own parts
// (a list's scroll bars, a table's header).
void CollectControls(const QWidget& parent, const QDialog& dialog,
                     std::vector<const QWidget*>& controls) {
    for (const QObject* child : parent.children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget == nullptr || widget->isWindow() || !widget->isVisibleTo(&dialog)) {
            continue;
        }
        const bool box = qobject_cast<const QDialogButtonBox*>(widget) != nullptr;
        if (!box) {
            controls.push_back(widget);
        }
        if (box || qobject_cast<const QGroupBox*>(widget) != nullptr) {
            CollectControls(*widget, dialog, controls);
        }
    }
}

QRect PlaceIn(const QWidget& control, const QDialog& dialog) {
    return {control.mapTo(&dialog, QPoint(0, 0)), control.size()};
}

// Settles the layout after whatever changed it, as the event loop would.
void Settle(QDialog& dialog) {
    QApplication::processEvents();
    if (dialog.layout() != nullptr) {
        dialog.layout()->activate();
    }
    QApplication::processEvents();
}

void ExpectLaidOut(const QDialog& dialog) {
    std::vector<const QWidget*> controls;
    CollectControls(dialog, dialog, controls);
    ASSERT_FALSE(controls.empty());
    const QRect window = dialog.rect();
    for (const QWidget* control : controls) {
        const QString name = ControlName(*control);
        const QRect place = PlaceIn(*control, dialog);
        EXPECT_TRUE(window.contains(place)) << name.toStdString() << " lies outside the dialog";
        const QSize least = control->minimumSizeHint();
        EXPECT_GE(control->width(), least.width()) << name.toStdString();
        EXPECT_GE(control->height(), least.height()) << name.toStdString();
        if (qobject_cast<const QAbstractButton*>(control) != nullptr) {
            EXPECT_GE(control->width(), control->sizeHint().width())
                << name.toStdString() << "'s text does not fit";
        }
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const QRect a = PlaceIn(*controls[i], dialog);
            const QRect b = PlaceIn(*controls[j], dialog);
            // A group box frames the controls that lie wholly inside it.
            const bool framed =
                (qobject_cast<const QGroupBox*>(controls[i]) != nullptr && a.contains(b)) ||
                (qobject_cast<const QGroupBox*>(controls[j]) != nullptr && b.contains(a));
            EXPECT_TRUE(framed || !a.intersects(b))
                << ControlName(*controls[i]).toStdString() << " and "
                << ControlName(*controls[j]).toStdString() << " overlap";
        }
    }
}

// The controls Tab stops at, in the order it visits them. Whether a control
// is enabled changes as the dialog is used, its place in the order does not.
QStringList TabOrder(const QDialog& dialog) {
    QStringList order;
    for (const QWidget* widget = dialog.nextInFocusChain(); widget != &dialog;
         widget = widget->nextInFocusChain()) {
        if (widget->window() == &dialog && (widget->focusPolicy() & Qt::TabFocus) != 0 &&
            widget->focusProxy() == nullptr && widget->isVisibleTo(&dialog)) {
            order << ControlName(*widget);
        }
    }
    return order;
}

class DialogLayout : public ::testing::TestWithParam<DialogCase> {
protected:
    void SetUp() override {
        dialog = GetParam().make(config);
        dialog->show();
        Settle(*dialog);
    }

    AppConfig config;
    std::unique_ptr<QDialog> dialog;
};

TEST_P(DialogLayout, HoldsItsControlsApartAtItsOwnFont) {
    ExpectLaidOut(*dialog);
    if (!GetParam().resizable) {
        EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "a fixed size";
    } else {
        EXPECT_NE(dialog->minimumSize(), dialog->maximumSize()) << "resizable";
    }
}

TEST_P(DialogLayout, GrowsWithAFontTwiceAsLarge) {
    const QSize before = dialog->size();
    QFont larger = dialog->font();
    if (larger.pointSizeF() > 0) {
        larger.setPointSizeF(larger.pointSizeF() * 2);
    } else {
        larger.setPixelSize(larger.pixelSize() * 2);
    }
    dialog->setFont(larger);
    Settle(*dialog);

    EXPECT_GE(dialog->width(), dialog->minimumSizeHint().width());
    EXPECT_GE(dialog->height(), dialog->minimumSizeHint().height());
    if (!GetParam().resizable) {
        // Taller at least: every line of text is.
        EXPECT_GE(dialog->width(), before.width());
        EXPECT_GT(dialog->height(), before.height());
    }
    ExpectLaidOut(*dialog);
}

TEST_P(DialogLayout, TabVisitsTheControlsInOrder) {
    EXPECT_EQ(TabOrder(*dialog).join(QStringLiteral(", ")).toStdString(),
              GetParam().tabOrder.join(QStringLiteral(", ")).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, DialogLayout,
    ::testing::Values(
        DialogCase{"BanReason",
                   [](const AppConfig&) {
                       auto dialog = std::make_unique<CBanReasonDlg>();
                       // A server of a long name: the prompt shows it whole.
                       dialog->findChild<QLabel*>(QStringLiteral("prompt"))
                           ->setText(QStringLiteral("Enter ban reason for The public server of "
                                                    "the clan, with a name longer than most, "
                                                    "and a motto after it for good measure"));
                       return dialog;
                   },
                   QStringList{"reason", "okButton", "cancelButton"}, false},
        DialogCase{"BanReasonForEveryServer",
                   [](const AppConfig&) {
                       auto dialog = std::make_unique<CBanReasonDlg>();
                       dialog->ShowQuestion({"Enter ban reason for Alpha",
                                             "Enter ban reason for all 3 servers", false});
                       return dialog;
                   },
                   QStringList{"reason", "eachServer", "okButton", "cancelButton"}, false},
        DialogCase{"PlayerInfo",
                   [](const AppConfig& config) {
                       return std::make_unique<CPlayerInfoDlg>(config, nullptr);
                   },
                   QStringList{"name", "ip", "guid", "aliases", "aliasesButton", "showLinesButton",
                               "closeButton", "banButton", "unbanButton", "tempBanButton",
                               "banHistory", "findPlayerButton"},
                   true},
        DialogCase{"DatabaseUpdate",
                   [](const AppConfig&) {
                       auto dialog = std::make_unique<CDatabaseUpdateDlg>(nullptr);
                       dialog->SetCounters({12, 3456, 7, 2147483647});
                       return dialog;
                   },
                   QStringList{"stopButton"}, false},
        DialogCase{"DatabaseAliases",
                   [](const AppConfig&) {
                       return std::make_unique<CDatabaseAliasesDlg>(
                           QStringList{"Alice", "^1Bob", "A name of the longest kind ever"},
                           nullptr);
                   },
                   QStringList{"aliases", "okButton"}, true},
        DialogCase{"Search", [](const AppConfig&) { return std::make_unique<CSearchDlg>(); },
                   QStringList{"searchText", "searchButton", "cancelButton", "caseSensitive",
                               "backwards", "regExp"},
                   false},
        DialogCase{"GoTo",
                   [](const AppConfig&) {
                       auto dialog = std::make_unique<CGoToDlg>();
                       dialog->SetLineCount(123456);
                       return dialog;
                   },
                   QStringList{"target", "okButton", "cancelButton"}, false},
        DialogCase{"About", [](const AppConfig&) { return std::make_unique<CAboutDlg>(); },
                   QStringList{"QPushButton:OK"}, false},
        DialogCase{"FindPlayer",
                   [](const AppConfig& config) {
                       return std::make_unique<CFindPlayerDlg>(config, nullptr);
                   },
                   QStringList{"searchMode", "searchText", "findButton", "players", "names",
                               "addresses", "banHistory", "banButton", "unbanButton",
                               "tempBanButton", "copyGuidButton", "showLinesButton", "closeButton"},
                   true},
        DialogCase{"TempBan",
                   [](const AppConfig&) {
                       return std::make_unique<CTempBanDlg>(QStringLiteral("BadGuy"), nullptr);
                   },
                   QStringList{"duration", "customMinutes", "reason", "okButton", "cancelButton"},
                   false},
        DialogCase{"Servers",
                   [](const AppConfig&) {
                       return std::make_unique<CServersDlg>(
                           ConfigDocument("[server]\nname=The public server of the clan\n"
                                          "address=game.example.org\nport=28960\n"
                                          "rconpass=secret\n",
                                          "/home/admin/.config/quarvel/quarvel.cfg"),
                           nullptr);
                   },
                   QStringList{"servers", "addButton", "editButton", "removeButton", "testButton",
                               "okButton", "cancelButton"},
                   true},
        DialogCase{"ServerEdit",
                   [](const AppConfig&) {
                       ServerValues values;
                       values[ServerKey::Name] = "The public server of the clan";
                       values[ServerKey::Log] = "/srv/games/the-public-server/main/games_mp.log";
                       return std::make_unique<CServerEditDlg>(QStringLiteral("Edit server"),
                                                               values, nullptr);
                   },
                   QStringList{"name", "address", "port", "rconpass", "showPassword", "log",
                               "browseButton", "poll", "kick", "tempkick", "say", "userinfo",
                               "testButton", "okButton", "cancelButton"},
                   false},
        DialogCase{"Bans",
                   [](const AppConfig& config) {
                       return std::make_unique<CBansDlg>(config, nullptr);
                   },
                   QStringList{"guidFilter", "nameFilter", "adminFilter", "activeOnly", "bans",
                               "stateHistory", "banHistory", "liftButton", "extendButton",
                               "syncButton", "closeButton"},
                   true},
        DialogCase{"BanMinutes",
                   [](const AppConfig&) {
                       return std::make_unique<CBanMinutesDlg>(
                           QStringLiteral("Extend ban"),
                           QStringLiteral("How much longer is ^1Bob banned? It ends "
                                          "2004-02-01T22:05:09+01:00 now."),
                           nullptr);
                   },
                   QStringList{"duration", "customMinutes", "okButton", "cancelButton"}, false}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });

} // namespace
