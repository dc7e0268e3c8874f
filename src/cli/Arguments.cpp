#include "Arguments.h"

#include "CommandTable.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QStringList>
#include <charconv>

namespace {

// Words are bytes, and a path or a name need not be UTF-8. The parser sees
// only what it must read as options; every other word, and the value of a
// "--name=value" word, goes in as a token standing for its bytes and comes
// back byte for byte.
constexpr QChar kTokenMark(0xE000); // a private-use character no argv holds

class Tokens {
public:
    QString Token(const std::string& bytes) {
        bytes_.push_back(bytes);
        return kTokenMark + QString::number(bytes_.size() - 1);
    }

    QString ToParser(const std::string& word) {
        if (word.rfind('-', 0) != 0) {
            return Token(word);
        }
        const auto equals = word.find('=');
        if (word.rfind("--", 0) == 0 && equals != std::string::npos) {
            return QString::fromUtf8(word.data(), static_cast<qsizetype>(equals + 1)) +
                   Token(word.substr(equals + 1));
        }
        const QString text = QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
        // Bytes that are no UTF-8 cannot name an option: the value of one.
        return text.toStdString() == word ? text : Token(word);
    }

    std::string FromParser(const QString& text) const {
        if (text.startsWith(kTokenMark)) {
            bool ok = false;
            const qsizetype index = text.mid(1).toLongLong(&ok);
            if (ok && index >= 0 && static_cast<std::size_t>(index) < bytes_.size()) {
                return bytes_[static_cast<std::size_t>(index)];
            }
        }
        return text.toStdString();
    }

private:
    std::vector<std::string> bytes_;
};

std::string OptionWord(const QString& name) {
    return (name.size() == 1 ? "-" : "--") + name.toStdString();
}

// Qt's messages in quarvelctl's words.
std::string Describe(const QCommandLineParser& parser) {
    if (!parser.unknownOptionNames().isEmpty()) {
        return "unknown option " + OptionWord(parser.unknownOptionNames().front());
    }
    const QString text = parser.errorText();
    const QRegularExpressionMatch missing =
        QRegularExpression(QStringLiteral("^Missing value after '(.*)'\\.$")).match(text);
    if (missing.hasMatch()) {
        return "option " + missing.captured(1).toStdString() + " needs a value";
    }
    const QRegularExpressionMatch unexpected =
        QRegularExpression(QStringLiteral("^Unexpected value after '(.*)'\\.$")).match(text);
    if (unexpected.hasMatch()) {
        return "option " + unexpected.captured(1).toStdString() + " takes no value";
    }
    return text.toStdString();
}

} // namespace

std::optional<Arguments> Arguments::Parse(const std::vector<std::string>& words,
                                          const char* command, std::string& error) {
    const CommandEntry* entry = FindCommandEntry(command);
    if (entry == nullptr) {
        error = std::string("no command ") + command;
        return std::nullopt;
    }
    return Parse(words, *entry, error);
}

std::optional<Arguments> Arguments::Parse(const std::vector<std::string>& words,
                                          const CommandEntry& command, std::string& error) {
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QString::fromUtf8(kHelpOptionHelp));
    parser.addOption(help);
    for (const OptionEntry& option : command.options) {
        parser.addOption(
            QCommandLineOption(QString::fromUtf8(option.name), QString::fromUtf8(option.help),
                               option.valueName ? QString::fromUtf8(option.valueName) : QString()));
    }
    Tokens tokens;
    QStringList arguments{QStringLiteral("quarvelctl")};
    for (const std::string& word : words) {
        arguments.append(tokens.ToParser(word));
    }
    if (!parser.parse(arguments)) {
        error = Describe(parser);
        return std::nullopt;
    }

    Arguments result;
    result.help_ = parser.isSet(help);
    for (const QString& word : parser.positionalArguments()) {
        result.positional_.push_back(tokens.FromParser(word));
    }
    for (const OptionEntry& option : command.options) {
        const QString name = QString::fromUtf8(option.name);
        if (!parser.isSet(name)) {
            continue;
        }
        if (option.valueName) {
            result.values_[option.name] = tokens.FromParser(parser.value(name));
            for (const QString& value : parser.values(name)) {
                result.allValues_[option.name].push_back(tokens.FromParser(value));
            }
        } else {
            result.flags_[option.name] = true;
        }
    }
    return result;
}

std::optional<std::string> Arguments::Value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::vector<std::string> Arguments::Values(const std::string& name) const {
    const auto found = allValues_.find(name);
    return found == allValues_.end() ? std::vector<std::string>() : found->second;
}

bool Arguments::Flag(const std::string& name) const {
    return flags_.count(name) != 0;
}

std::optional<long long> Arguments::Integer(const std::string& name, long long fallback,
                                            std::string& error) const {
    const auto text = Value(name);
    if (!text) {
        return fallback;
    }
    long long value = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, value);
    if (ec != std::errc() || ptr != end) {
        error = "--" + name + " needs a whole number, not \"" + *text + "\"";
        return std::nullopt;
    }
    return value;
}
