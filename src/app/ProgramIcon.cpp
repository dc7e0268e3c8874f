#include "ProgramIcon.h"

#include <QFile>

// The pictures are compiled into the program (res/quarvel.qrc); a static
// library must ask for its resources to be registered before their first use.
static void RegisterIconResources() {
    Q_INIT_RESOURCE(quarvel);
}

QIcon ProgramIcon() {
    if (!QFile::exists(QStringLiteral(":/icons/quarvel-16.png"))) {
        RegisterIconResources();
    }
    QIcon icon;
    for (const int size : {16, 32, 48, 128}) {
        icon.addFile(QStringLiteral(":/icons/quarvel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
