#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <ostream>

// What a Player Info window shows, read from its controls.
struct ShownPlayer {
    QString name;
    QString ip;
    QString guid;
    QStringList aliases; // as the list shows them
    bool operator==(const ShownPlayer&) const = default;
};

inline void PrintTo(const ShownPlayer& p, std::ostream* os) {
    *os << "{" << p.name.toStdString() << " | " << p.ip.toStdString() << " | "
        << p.guid.toStdString() << " | " << p.aliases.join(", ").toStdString() << "}";
}

inline QString EditText(const QWidget& window, const char* name) {
    const auto* edit = window.findChild<QLineEdit*>(QString::fromLatin1(name));
    return edit != nullptr ? edit->text() : QStringLiteral("<missing>");
}

inline ShownPlayer ReadPlayerInfo(const QWidget& window) {
    ShownPlayer shown{
        EditText(window, "name"), EditText(window, "ip"), EditText(window, "guid"), {}};
    if (const auto* list = window.findChild<QListWidget*>(QStringLiteral("aliases"))) {
        for (int i = 0; i < list->count(); ++i) {
            shown.aliases << list->item(i)->text();
        }
    }
    return shown;
}

inline QPushButton* FindButton(const QWidget& window, const char* name) {
    return window.findChild<QPushButton*>(QString::fromLatin1(name));
}
