#pragma once

#include <QString>

// Why a log cannot be opened, in the words the open failure message uses:
// "No such file", "Permission denied", "Is a folder", or the system's own
// description of another error. Empty when the file opens after all.
QString WhyCannotOpen(const QString& path);

// The words for an `errno` value of a failed open.
QString OpenErrorText(int error);

// "Cannot open <path>: <why>." with the path as the system writes it, or
// "Cannot open <path>." when there is no reason to give.
QString CannotOpenMessage(const QString& path);
