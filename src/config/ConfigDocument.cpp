#include "ConfigDocument.h"

#include "AtomicFile.h"
#include "ConfigLine.h"
#include "ConfigReader.h"
#include "ConfigValues.h"

#include <algorithm>

namespace {

// Far more than any configuration: a larger file is something else.
constexpr std::size_t kDocumentLimit = 1 << 20;

ConfigLine CutDocumentLine(std::string_view text) {
    // The reader skips a line over its limit unread: so does the document.
    if (text.size() > ConfigReader::kLineLimit) {
        return {ConfigLine::Kind::Bad, {}, {}, {}};
    }
    return CutConfigLine(text);
}

// "server" or "database" for the header of a block the reader knows.
std::optional<std::string_view> KnownHeader(std::string_view text) {
    const ConfigLine cut = CutDocumentLine(text);
    if (cut.kind != ConfigLine::Kind::Section) {
        return std::nullopt;
    }
    for (const std::string_view name : {"server", "database"}) {
        if (SameConfigName(cut.name, name)) {
            return name;
        }
    }
    return std::nullopt;
}

bool IsBlankLine(std::string_view text) {
    return CutDocumentLine(text).kind == ConfigLine::Kind::Blank;
}

bool IsCommentLine(std::string_view text) {
    return CutDocumentLine(text).kind == ConfigLine::Kind::Comment;
}

std::string Sentence(std::string clause) {
    if (!clause.empty() && clause.front() >= 'a' && clause.front() <= 'z') {
        clause.front() = static_cast<char>(clause.front() - 'a' + 'A');
    }
    return clause + ".";
}

// Why key=value cannot be written so that the reader reads it back as it is.
std::string Unwritable(std::string_view key, std::string_view value) {
    const bool keyOk = !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.';
    });
    if (!keyOk) {
        return "A key is made of letters, digits, \"_\", \"-\" and \".\".";
    }
    if (value.empty()) {
        return "The value of \"" + std::string(key) + "\" cannot be empty.";
    }
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        return "The value of \"" + std::string(key) + "\" cannot hold a line break.";
    }
    if (TrimConfigBlanks(value).size() != value.size()) {
        return "The value of \"" + std::string(key) + "\" cannot start or end with a blank.";
    }
    return {};
}

} // namespace

std::string UnwritableServerValue(std::string_view key, std::string_view value) {
    std::string why = Unwritable(key, value);
    if (why.empty()) {
        why = CheckServerValue(key, value);
        return why.empty() ? why : Sentence(why);
    }
    return why;
}

std::optional<std::string> ServerBlock::Value(std::string_view key) const {
    for (auto it = values.rbegin(); it != values.rend(); ++it) {
        if (SameConfigName(it->first, key)) {
            return it->second;
        }
    }
    return std::nullopt;
}

ConfigDocumentRead ConfigDocument::Read(const std::string& path) {
    ConfigDocumentRead read;
    std::optional<std::string> bytes = ReadWholeFile(path, kDocumentLimit, read.error);
    if (!read.error.empty()) {
        return read;
    }
    read.document.emplace(bytes.value_or(""), path);
    read.document->original_ = std::move(bytes);
    return read;
}

ConfigDocument::ConfigDocument(std::string_view text, std::string path) : path_(std::move(path)) {
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        Line line;
        line.text = text.substr(0, lf);
        if (lf != std::string_view::npos) {
            line.end = "\n";
            if (!line.text.empty() && line.text.back() == '\r') {
                line.text.pop_back();
                line.end = "\r\n";
            }
        }
        lines_.push_back(std::move(line));
        text.remove_prefix(lf == std::string_view::npos ? text.size() : lf + 1);
    }
}

std::string ConfigDocument::Text() const {
    std::string text;
    for (const Line& line : lines_) {
        text += line.text;
        text += line.end;
    }
    return text;
}

std::vector<ConfigDocument::Span> ConfigDocument::SpansOf(std::string_view section) const {
    std::vector<Span> spans;
    std::optional<std::size_t> open;
    const auto close = [&](std::size_t end) {
        if (open && *KnownHeader(lines_[*open].text) == section) {
            spans.push_back({*open, end});
        }
    };
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (KnownHeader(lines_[i].text)) {
            close(i);
            open = i;
        }
    }
    close(lines_.size());
    return spans;
}

std::vector<ServerBlock> ConfigDocument::Servers() const {
    std::vector<ServerBlock> servers;
    for (const Span& span : SpansOf("server")) {
        ServerBlock block;
        block.index = servers.size();
        block.line = span.header + 1;
        for (std::size_t i = span.header + 1; i < span.end; ++i) {
            const ConfigLine cut = CutDocumentLine(lines_[i].text);
            if (cut.kind == ConfigLine::Kind::KeyValue) {
                block.values.emplace_back(cut.key, cut.value);
            }
        }
        servers.push_back(std::move(block));
    }
    return servers;
}

std::optional<std::string> ConfigDocument::DatabaseFile() const {
    std::optional<std::string> file;
    for (const Span& span : SpansOf("database")) {
        if (const auto line = LastKeyLine(span, "file")) {
            file = std::string(CutDocumentLine(lines_[*line].text).value);
        }
    }
    return file;
}

std::optional<ConfigDocument::Span> ConfigDocument::FindServer(const ServerRef& server,
                                                               ConfigEdit& edit) const {
    const std::vector<Span> spans = SpansOf("server");
    const std::vector<ServerBlock> blocks = Servers();
    if (server.index >= blocks.size() || blocks[server.index].ref().name != server.name) {
        edit.error = "The server is no longer where it was in the configuration; read it again.";
        return std::nullopt;
    }
    return spans[server.index];
}

std::size_t ConfigDocument::CommentsAbove(std::size_t header) const {
    while (header > 0 && IsCommentLine(lines_[header - 1].text)) {
        --header;
    }
    return header;
}

std::size_t ConfigDocument::ContentEnd(const Span& span) const {
    // Comments right above the next header are that block's.
    std::size_t end = span.end < lines_.size() ? CommentsAbove(span.end) : span.end;
    end = std::max(end, span.header + 1);
    while (end > span.header + 1 && IsBlankLine(lines_[end - 1].text)) {
        --end;
    }
    return end;
}

bool ConfigDocument::SeparatesBlocksWithBlanks() const {
    bool anyBlockAfterAnother = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!KnownHeader(lines_[i].text)) {
            continue;
        }
        const std::size_t top = CommentsAbove(i);
        if (top > 0) {
            anyBlockAfterAnother = true;
            if (IsBlankLine(lines_[top - 1].text)) {
                return true;
            }
        }
    }
    return !anyBlockAfterAnother; // a new file reads best with them
}

std::string ConfigDocument::LineEnd() const {
    const auto crlf = std::count_if(lines_.begin(), lines_.end(),
                                    [](const Line& line) { return line.end == "\r\n"; });
    const auto lf = std::count_if(lines_.begin(), lines_.end(),
                                  [](const Line& line) { return line.end == "\n"; });
    return crlf > lf ? "\r\n" : "\n";
}

void ConfigDocument::InsertLines(std::size_t at, const std::vector<std::string>& texts) {
    const std::string end = LineEnd();
    if (at > 0 && lines_[at - 1].end.empty()) {
        // A CR ending the file is text; a CR LF after it keeps it so.
        lines_[at - 1].end =
            !lines_[at - 1].text.empty() && lines_[at - 1].text.back() == '\r' ? "\r\n" : end;
    }
    std::vector<Line> inserted;
    inserted.reserve(texts.size());
    for (const std::string& text : texts) {
        inserted.push_back({text, end});
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(),
                  inserted.end());
}

void ConfigDocument::RemoveLines(std::size_t from, std::size_t to) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(from),
                 lines_.begin() + static_cast<std::ptrdiff_t>(to));
}

std::optional<std::size_t> ConfigDocument::LastKeyLine(const Span& span,
                                                       std::string_view key) const {
    std::optional<std::size_t> found;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        const ConfigLine cut = CutDocumentLine(lines_[i].text);
        if (cut.kind == ConfigLine::Kind::KeyValue && SameConfigName(cut.key, key)) {
            found = i;
        }
    }
    return found;
}

void ConfigDocument::SetValueIn(const Span& span, std::string_view key, std::string_view value) {
    if (const auto line = LastKeyLine(span, key)) {
        // The key as written and the blanks around "=" stay.
        std::string& text = lines_[*line].text;
        const std::size_t valueStart =
            static_cast<std::size_t>(CutDocumentLine(text).value.data() - text.data());
        text = text.substr(0, valueStart) + std::string(value);
        return;
    }
    std::size_t at = span.header + 1;
    for (std::size_t i = span.header + 1; i < span.end; ++i) {
        if (CutDocumentLine(lines_[i].text).kind == ConfigLine::Kind::KeyValue) {
            at = i + 1;
        }
    }
    InsertLines(at, {std::string(key) + "=" + std::string(value)});
}

ConfigEdit
ConfigDocument::AddServer(std::size_t index,
                          const std::vector<std::pair<std::string, std::string>>& values) {
    std::vector<std::string> block{"[server]"};
    for (const auto& [key, value] : values) {
        if (std::string why = UnwritableServerValue(key, value); !why.empty()) {
            return {why};
        }
        block.push_back(key);
        block.back() += '=';
        block.back() += value;
    }
    const std::vector<Span> spans = SpansOf("server");
    if (index > spans.size()) {
        return {"There is no such place among the servers."};
    }
    const bool blanks = SeparatesBlocksWithBlanks();
    if (index < spans.size()) {
        if (blanks) {
            block.emplace_back();
        }
        InsertLines(CommentsAbove(spans[index].header), block);
        return {};
    }
    std::size_t at = lines_.size();
    if (!spans.empty()) {
        at = ContentEnd(spans.back());
    }
    while (spans.empty() && at > 0 && IsBlankLine(lines_[at - 1].text)) {
        --at;
    }
    if (blanks && at > 0) {
        block.insert(block.begin(), std::string());
    }
    InsertLines(at, block);
    return {};
}

ConfigEdit ConfigDocument::RemoveServer(const ServerRef& server) {
    ConfigEdit edit;
    const auto span = FindServer(server, edit);
    if (!span) {
        return edit;
    }
    std::size_t from = CommentsAbove(span->header);
    std::size_t to = ContentEnd(*span);
    // The blank lines that set the block apart go with it, so that the
    // blocks around it keep one separation.
    std::size_t after = to;
    while (after < lines_.size() && IsBlankLine(lines_[after].text)) {
        ++after;
    }
    if (after == lines_.size()) {
        to = after;
        while (from > 0 && IsBlankLine(lines_[from - 1].text)) {
            --from;
        }
    } else if (from == 0 || IsBlankLine(lines_[from - 1].text)) {
        to = after;
    }
    RemoveLines(from, to);
    return edit;
}

ConfigEdit ConfigDocument::SetServerValue(const ServerRef& server, std::string_view key,
                                          std::string_view value) {
    if (std::string why = UnwritableServerValue(key, value); !why.empty()) {
        return {why};
    }
    ConfigEdit edit;
    if (const auto span = FindServer(server, edit)) {
        SetValueIn(*span, key, value);
    }
    return edit;
}

ConfigEdit ConfigDocument::RemoveServerValue(const ServerRef& server, std::string_view key) {
    ConfigEdit edit;
    const auto span = FindServer(server, edit);
    if (!span) {
        return edit;
    }
    for (std::size_t i = span->end; i-- > span->header + 1;) {
        const ConfigLine cut = CutDocumentLine(lines_[i].text);
        if (cut.kind == ConfigLine::Kind::KeyValue && SameConfigName(cut.key, key)) {
            RemoveLines(i, i + 1);
        }
    }
    return edit;
}

ConfigEdit ConfigDocument::SetDatabaseFile(std::string_view value) {
    std::string why = Unwritable("file", value);
    if (why.empty()) {
        why = CheckDatabaseValue("file", value);
        why = why.empty() ? why : Sentence(why);
    }
    if (!why.empty()) {
        return {why};
    }
    const std::vector<Span> spans = SpansOf("database");
    // The reader takes the last "file" of any database block.
    for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
        if (LastKeyLine(*span, "file")) {
            SetValueIn(*span, "file", value);
            return {};
        }
    }
    if (!spans.empty()) {
        SetValueIn(spans.back(), "file", value);
        return {};
    }
    std::size_t at = lines_.size();
    while (at > 0 && IsBlankLine(lines_[at - 1].text)) {
        --at;
    }
    std::vector<std::string> block{"[database]", "file=" + std::string(value)};
    if (at > 0 && SeparatesBlocksWithBlanks()) {
        block.insert(block.begin(), std::string());
    }
    InsertLines(at, block);
    return {};
}

ConfigEdit ConfigDocument::RemoveDatabaseFile() {
    const std::vector<Span> spans = SpansOf("database");
    for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
        for (std::size_t i = span->end; i-- > span->header + 1;) {
            const ConfigLine cut = CutDocumentLine(lines_[i].text);
            if (cut.kind == ConfigLine::Kind::KeyValue && SameConfigName(cut.key, "file")) {
                RemoveLines(i, i + 1);
            }
        }
    }
    return {};
}

ConfigEdit ConfigDocument::Save() {
    std::string error;
    const std::optional<std::string> now = ReadWholeFile(path_, kDocumentLimit, error);
    if (!error.empty()) {
        return {error};
    }
    if (now != original_) {
        return {"The configuration file " + path_ +
                " has changed since it was read; read it again and make the change anew."};
    }
    const std::string text = Text();
    if (std::string why = WriteFileAtomically(path_, text); !why.empty()) {
        return {why};
    }
    original_ = text;
    return {};
}
