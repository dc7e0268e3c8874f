#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Which server block an edit is for: its place among the file's "[server]"
// blocks, counted from 0 in file order (the ban order is the reverse), and
// its name as ServerBlock gave it. An edit whose block is no longer there
// with that name is refused, so a stale choice never edits another server.
struct ServerRef {
    std::size_t index = 0;
    std::string name;
};

// One "[server]" block as the file holds it.
struct ServerBlock {
    std::size_t index = 0; // among the server blocks, file order
    std::size_t line = 0;  // of its header, counted from 1
    // Every key=value line of the block in file order, keys as written.
    std::vector<std::pair<std::string, std::string>> values;

    // The value the reader takes: the last of the key, whatever its case.
    std::optional<std::string> Value(std::string_view key) const;
    ServerRef ref() const { return {index, Value("name").value_or("")}; }
};

// What an edit or a save came to: empty when done, else why not (one
// sentence for a message box).
struct ConfigEdit {
    std::string error;

    bool ok() const { return error.empty(); }
};

struct ConfigDocumentRead;

// Why key=value cannot be written into a "[server]" block so that the reader
// takes it back as written (a key of other characters than letters, digits,
// "_", "-" and "."; an empty value, a line break or blanks at its ends; a
// rule of ConfigValues.h), as one sentence naming the key; empty when it can.
std::string UnwritableServerValue(std::string_view key, std::string_view value);

// quarvel.cfg as text, for adding, editing and removing servers and keys and
// writing the file back. Every line it is not asked to change stays as it is,
// byte for byte: comments, blank lines, their order, line ends, and lines
// and keys it does not know. Blocks are found as the reader finds them: a
// "[server]" or "[database]" header starts one, and an unknown header does
// not end it. Values are checked by the reader's rules (ConfigValues.h), so
// that what is written is read back as it was written.
class ConfigDocument {
public:
    // Reads the file at `path`. A missing file reads as an empty document
    // (saving makes it); one that is not a regular file, is unreadable or
    // larger than any configuration is an error.
    static ConfigDocumentRead Read(const std::string& path);
    // A document of the given text, to be saved at `path`.
    explicit ConfigDocument(std::string_view text, std::string path = {});

    const std::string& path() const { return path_; }
    std::string Text() const;

    std::vector<ServerBlock> Servers() const;
    // The database value the reader takes; nothing when none.
    std::optional<std::string> DatabaseFile() const;

    // A new block at `index` among the servers (the count: after the last),
    // with the values in order; none of them written when one is refused.
    ConfigEdit AddServer(std::size_t index,
                         const std::vector<std::pair<std::string, std::string>>& values);
    // The block with the comment lines right above its header.
    ConfigEdit RemoveServer(const ServerRef& server);
    // Sets the key's last line in the block to the value, or adds a line
    // after the block's last key when it has none.
    ConfigEdit SetServerValue(const ServerRef& server, std::string_view key,
                              std::string_view value);
    // Removes every line of the key in the block (its default applies again).
    ConfigEdit RemoveServerValue(const ServerRef& server, std::string_view key);
    // Sets the database's "file", adding a "[database]" block when needed.
    ConfigEdit SetDatabaseFile(std::string_view value);
    ConfigEdit RemoveDatabaseFile();

    // Writes the text back to `path` atomically, mode 0600 (it holds
    // passwords). Refused when the file has changed since it was read, so
    // that an edit made meanwhile by hand is not lost.
    ConfigEdit Save();

private:
    struct Line {
        std::string text; // without its line end
        std::string end;  // "\n", "\r\n", or "" for a last line without one
    };
    struct Span {
        std::size_t header = 0; // line index of the "[...]" header
        std::size_t end = 0;    // the next block's header, or the line count
    };

    std::vector<Span> SpansOf(std::string_view section) const;
    std::optional<Span> FindServer(const ServerRef& server, ConfigEdit& edit) const;
    std::size_t CommentsAbove(std::size_t header) const;
    std::size_t ContentEnd(const Span& span) const;
    bool SeparatesBlocksWithBlanks() const;
    std::string LineEnd() const;
    void InsertLines(std::size_t at, const std::vector<std::string>& texts);
    void RemoveLines(std::size_t from, std::size_t to);
    std::optional<std::size_t> LastKeyLine(const Span& span, std::string_view key) const;
    void SetValueIn(const Span& span, std::string_view key, std::string_view value);

    std::vector<Line> lines_;
    std::string path_;
    std::optional<std::string> original_; // the file's bytes when read; nothing when it was missing
};

struct ConfigDocumentRead {
    std::optional<ConfigDocument> document; // nothing when it could not be read
    std::string error;
};
