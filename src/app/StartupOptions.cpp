#include "StartupOptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

StartupOptions ParseStartupOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quarvel: view game server logs and administer their players."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption config(QStringLiteral("config"),
                                    QStringLiteral("Read the configuration from <file>."),
                                    QStringLiteral("file"));
    parser.addOption(config);
    parser.addPositionalArgument(QStringLiteral("log"), QStringLiteral("Log files to open."),
                                 QStringLiteral("[log...]"));

    StartupOptions options;
    // Always the program's own name, whatever path started it.
    options.helpText = parser.helpText().replace(QRegularExpression(QStringLiteral("^Usage: \\S+")),
                                                 QStringLiteral("Usage: quarvel"));
    if (!parser.parse(arguments)) {
        options.error = parser.errorText();
        return options;
    }
    options.showHelp = parser.isSet(help) || parser.isSet(QStringLiteral("help-all"));
    options.showVersion = parser.isSet(version);
    options.configFile = parser.value(config);
    options.logs = parser.positionalArguments();
    return options;
}
