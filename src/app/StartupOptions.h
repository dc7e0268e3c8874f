#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of the GUI:
//
//   quarvel [--config FILE] [LOG...]
//
// Options are added here and acted on in the start-up sequence (main.cpp).
struct StartupOptions {
    QString configFile; // the --config value; empty when not given
    QStringList logs;   // the logs to open, in command-line order

    bool showHelp = false;
    bool showVersion = false;
    QString helpText;
    QString error; // why the command line could not be read; empty when it could
};

// Reads `arguments` (program name first, as QCoreApplication::arguments()).
StartupOptions ParseStartupOptions(const QStringList& arguments);
