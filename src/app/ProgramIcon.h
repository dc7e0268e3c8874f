#pragma once

#include <QIcon>

// The program's icon in every size it is drawn in (window, About box, taskbar).
QIcon ProgramIcon();
