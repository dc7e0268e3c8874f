#pragma once

#include <QApplication>

// The GUI's application object. Every event goes through notify, so a
// failure that escapes a slot or an event handler is caught here and shown
// in a message box over the active window; the program goes on with every
// open log.
class QuarvelApplication final : public QApplication {
public:
    QuarvelApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override;

private:
    int showing_ = 0; // a failure while its box is up is not shown again
};
