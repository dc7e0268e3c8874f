// The installed desktop entry is what makes the desktop offer Quarvel for
// .log files; a typo in it fails silently on the user's machine.
#include <QFile>
#include <QMap>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

QMap<QString, QString> ReadDesktopEntry() {
    QFile file(QStringLiteral(QUARVEL_SOURCE_DIR "/res/quarvel.desktop"));
    QMap<QString, QString> keys;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return keys;
    }
    QTextStream in(&file);
    QString group;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith('[')) {
            group = line;
        } else if (group == "[Desktop Entry]" && line.contains('=')) {
            keys.insert(line.section('=', 0, 0), line.section('=', 1));
        }
    }
    return keys;
}

TEST(DesktopEntry, OpensLogFilesWithQuarvel) {
    const QMap<QString, QString> entry = ReadDesktopEntry();
    ASSERT_FALSE(entry.isEmpty());
    EXPECT_EQ(entry.value("Type"), "Application");
    EXPECT_EQ(entry.value("Name"), "Quarvel");
    EXPECT_EQ(entry.value("Exec"), "quarvel %F") << "every chosen file is passed on";
    EXPECT_EQ(entry.value("Icon"), "quarvel");
    EXPECT_TRUE(entry.value("MimeType").split(';').contains("text/x-log"));
    EXPECT_TRUE(entry.value("MimeType").endsWith(';'));
    EXPECT_TRUE(entry.value("Categories").endsWith(';'));
}

} // namespace
