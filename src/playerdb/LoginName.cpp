#include "LoginName.h"

#include <QString>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

std::string LoginName() {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString value = qEnvironmentVariable(variable).trimmed();
        if (!value.isEmpty()) {
            return value.toStdString();
        }
    }
#ifdef Q_OS_UNIX
    // getpwuid's record is static; it is read at once and not kept.
    if (const passwd* account = ::getpwuid(::geteuid());
        account != nullptr && account->pw_name != nullptr && *account->pw_name != '\0') {
        return QString::fromLocal8Bit(account->pw_name).toStdString();
    }
#endif
    return "unknown";
}
