#pragma once

#include "LogModel.h"
#include "TempFile.h"

#include <string>
#include <vector>

// Logs for the harvest tests: event lines behind the 8-byte prefix every log
// line starts with, written to a temporary file and loaded into a model of
// their own, as a document holds its log.
inline std::string ConnectLine(int slot, const std::string& address, const std::string& guid) {
    return "  12:34 ClientConnect: " + std::to_string(slot) + " - " + address + ":28960 [" + guid +
           "]";
}

inline std::string UserinfoLine(int slot, const std::string& name) {
    return "  12:34 ClientUserinfoChanged: " + std::to_string(slot) + " n\\" + name +
           "\\t\\2\\identity\\NPC_Hawk/hawk_urban";
}

// `count` lines that hold no event, to give a log its length.
inline std::vector<std::string> WithFiller(std::vector<std::string> lines, std::size_t count) {
    lines.insert(lines.end(), count, "  12:35 Item: 3 pickup_health");
    return lines;
}

class HarvestLog {
public:
    explicit HarvestLog(const std::vector<std::string>& lines) : file_(Join(lines)) {
        model.Load(file_.path());
    }

    const std::string& path() const { return file_.path(); }

    LogModel model;

private:
    static std::string Join(const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines) {
            bytes += line + "\n";
        }
        return bytes;
    }

    TempFile file_;
};
