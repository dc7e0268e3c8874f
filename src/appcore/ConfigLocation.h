#pragma once

#include <QString>
#include <QStringList>

// Where quarvel.cfg is looked for, in this order: the --config value when one
// was given; quarvel.cfg beside the executable; quarvel.cfg in the user's
// configuration folder. Returns the first that exists, or the path beside the
// executable when none does (loading it then fails quietly).
QString FindConfigFile(const QString& commandLineValue);
