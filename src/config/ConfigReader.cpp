#include "ConfigReader.h"

#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

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
    while (ReadLine(file) != kEndOfFile) {
    }
    return std::ferror(file) == 0;
}

int ConfigReader::ReadLine(std::FILE* file) {
    // Like a C line read into an 80-byte buffer: up to 79 characters, up to
    // and including the next LF.
    std::string piece;
    while (static_cast<int>(piece.size()) < kLinePiece) {
        const int c = GetTextChar(file);
        if (c == EOF) {
            break;
        }
        piece += static_cast<char>(c);
        if (c == '\n') {
            break;
        }
    }
    if (piece.empty()) {
        return kEndOfFile;
    }
    std::string_view line(piece);
    if (line.back() == '\n') {
        line.remove_suffix(1);
    }
    return HandleLine(line);
}

int ConfigReader::HandleLine(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';') {
        return kHandled;
    }
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        return OnSection(std::string(line.substr(1, line.size() - 2)));
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return kBadLine;
    }
    const std::string_view key = TrimBlanks(line.substr(0, equals));
    const std::string_view value = TrimBlanks(line.substr(equals + 1));
    if (key.empty() || value.empty()) {
        return kBadLine;
    }
    return OnKeyValue(std::string(key), std::string(value));
}
