#include "MessageBoxSink.h"

#include "ShellTestSupport.h"

#include <QAbstractButton>
#include <gtest/gtest.h>

namespace {

struct BoxCase {
    const char* name;
    Message message;
    QString caption;
    QMessageBox::Icon icon;
};

void PrintTo(const BoxCase& c, std::ostream* os) {
    *os << c.name;
}

class MessageBoxSinkTest : public ::testing::TestWithParam<BoxCase> {
protected:
};

TEST_P(MessageBoxSinkTest, ShowsTheMessageWithItsCaptionIconAndOk) {
    const BoxCase& c = GetParam();
    QWidget owner;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        format = box->textFormat();
        icon = box->icon();
        for (QAbstractButton* button : box->buttons()) {
            buttons.append(button->text().remove('&'));
        }
        box->button(QMessageBox::Ok)->click();
    });

    MessageBoxSink sink(&owner);
    sink.Show(c.message);

    ASSERT_EQ(watcher.seenClasses.size(), 1u);
    EXPECT_EQ(title, c.caption);
    EXPECT_EQ(text, QString::fromStdString(c.message.text));
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(buttons, QStringList{"OK"});
}

INSTANTIATE_TEST_SUITE_P(
    Messages, MessageBoxSinkTest,
    ::testing::Values(
        BoxCase{"Error",
                {"Cannot open x.log.", "Quarvel", MessageIcon::Error},
                "Quarvel",
                QMessageBox::Critical},
        BoxCase{"Warning",
                {"Ban failed.", "Main server", MessageIcon::Warning},
                "Main server",
                QMessageBox::Warning},
        BoxCase{"NoIcon", {"Done.", "Quarvel", MessageIcon::None}, "Quarvel", QMessageBox::NoIcon},
        BoxCase{"NoCaption", {"Done.", "", MessageIcon::None}, "Quarvel", QMessageBox::NoIcon},
        BoxCase{"MarkupStaysText",
                {"<b>^1Bob</b> & co", "Quarvel", MessageIcon::None},
                "Quarvel",
                QMessageBox::NoIcon},
        BoxCase{"Utf8",
                {"Spieler \xC3\xA4", "Quarvel", MessageIcon::None},
                "Quarvel",
                QMessageBox::NoIcon}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageBoxSizeTest, ALongCaptionOverAShortTextShowsWhole) {
    QWidget owner;
    int width = 0;
    int captionWidth = 0;
    int wanted = 0;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        width = box->width();
        captionWidth = box->fontMetrics().horizontalAdvance(box->windowTitle());
        wanted = MessageBoxSink::CaptionWidth(*box);
        box->button(QMessageBox::Ok)->click();
    });
    MessageBoxSink sink(&owner);
    sink.Show({"No reply", "A server named with all of 39 characters", MessageIcon::Error});

    ASSERT_EQ(watcher.seenClasses.size(), 1u);
    EXPECT_GT(wanted, captionWidth);
    EXPECT_GE(width, wanted);
}

} // namespace
