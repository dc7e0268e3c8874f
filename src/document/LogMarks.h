#pragma once

#include "LineSet.h"

#include <QByteArray>
#include <QString>

// The marks of one log, kept in the user's settings across runs. They are
// kept under the log's path with a hash of its first 4 KB (or of all of it,
// when it is shorter), so that another log written under the same path (a
// rotation, a new game) does not take them over: they come back only for a
// file that starts with the same bytes.
class LogMarks {
public:
    static constexpr qint64 kHeadBytes = 4096;

    // The marks kept for the file at `path` as it is now; none when the file
    // starts otherwise than the one they were set in.
    void Load(const QString& path);
    const LineSet& lines() const { return lines_; }
    // Sets or clears the mark of `line` and keeps the marks; true when the
    // line is marked now.
    bool Toggle(int line);

private:
    void Save() const;

    QString path_;
    LineSet lines_;
};
