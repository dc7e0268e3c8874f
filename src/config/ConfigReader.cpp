#include "ConfigReader.h"

#include "ConfigLine.h"

#include <filesystem>
#include <memory>
#include <system_error>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// One character as a text-mode read delivers it: CR LF arrives as LF.
int GetTextChar(std::FILE* file) {
    int c = std::fgetc(file);
    if (c == '\r') {
        const int next = std::fgetc(file);
        if (next == '\n') {
            return '\n';
        }
        if (next != EOF) {
            std::ungetc(next, file);
        }
    }
    return c;
}

} // namespace

bool ConfigReader::Load(const std::string& path) {
    // Only a regular file is a configuration: a folder opens and reads as
    // empty, and a pipe would block the start until someone writes to it.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return false;
    }
    return LoadFrom(file.get());
}

bool ConfigReader::LoadFrom(std::FILE* file) {
    lineNumber_ = 0;
    while (ReadLine(file) != kEndOfFile) {
    }
    return std::ferror(file) == 0;
}

int ConfigReader::ReadLine(std::FILE* file) {
    // The whole physical line up to its LF; past the limit the characters
    // are only counted off, never kept.
    std::string line;
    bool any = false;
    bool overlong = false;
    for (int c = GetTextChar(file); c != EOF; c = GetTextChar(file)) {
        any = true;
        if (c == '\n') {
            break;
        }
        if (line.size() < kLineLimit) {
            line += static_cast<char>(c);
        } else {
            overlong = true;
        }
    }
    if (!any) {
        return kEndOfFile;
    }
    ++lineNumber_;
    return overlong ? OnOverlongLine() : HandleLine(line);
}

int ConfigReader::HandleLine(std::string_view line) {
    const ConfigLine cut = CutConfigLine(line);
    switch (cut.kind) {
    case ConfigLine::Kind::Blank:
    case ConfigLine::Kind::Comment:
        return kHandled;
    case ConfigLine::Kind::Section:
        return OnSection(std::string(cut.name));
    case ConfigLine::Kind::KeyValue:
        return OnKeyValue(std::string(cut.key), std::string(cut.value));
    case ConfigLine::Kind::Bad:
        break;
    }
    return kBadLine;
}
