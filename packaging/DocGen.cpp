// Writes the manual pages and the shell completion at build time, from the
// same texts --help prints: quarvelctl's command table, and the help text the
// built quarvel prints. Usage:
//   quarvel-docgen quarvelctl-man OUT
//   quarvel-docgen quarvel-man QUARVEL_HELP_FILE OUT
//   quarvel-docgen bash QUARVEL_HELP_FILE OUT
#include "CommandTable.h"
#include "QuarvelVersion.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Text set as roff: backslashes and minus signs escaped, and a line that
// would start with a control character made plain.
std::string Roff(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\'')) {
        out.insert(0, "\\&");
    }
    return out;
}

// A summary as a sentence: capital first letter, full stop.
std::string Sentence(std::string_view text) {
    std::string out(text);
    if (!out.empty() && out.front() >= 'a' && out.front() <= 'z') {
        out.front() = static_cast<char>(out.front() - 'a' + 'A');
    }
    if (!out.empty() && out.back() != '.') {
        out += '.';
    }
    return out;
}

std::string Header(const char* name, const char* title) {
    return std::string(".TH ") + name + " 1 \"\" \"Quarvel " + kQuarvelVersion +
           "\" \"User Commands\"\n.SH NAME\n" + title + "\n";
}

// The sections both pages share: the configuration file, files, environment.
constexpr char kConfigurationSection[] = R"(.SH CONFIGURATION FILE
Both programs read
.I quarvel.cfg
from, in this order: the file given with
.BI \-\-config " FILE"\fR;
.I quarvel.cfg
beside the executable;
.I quarvel.cfg
in the user's configuration folder
.RI ( ~/.config/Jor/Quarvel/ ).
A missing file means no servers and no database.
.PP
Lines starting with
.B ;
are comments.
Sections and keys are compared without regard to case; blanks around keys,
.B =
and values are dropped.
Each
.B [server]
block names a game server:
.BR name= ,
.B address=
(a dotted IPv4 address or a host name),
.B port=
(its RCON port) and
.BR rconpass= ;
optionally
.B log=
(the path of that server's log),
.B poll=
(seconds between two status questions, 1 to 3600, default 5) and the game's
commands as templates:
.B kick=clientkick {slot}\fR,
.B tempkick=pb_sv_kick {pbslot} {minutes} \(dq{reason}\(dq\fR,
.B say=say {text}
and
.B userinfo=dumpuser {slot}
(the defaults;
.B {pbslot}
is the slot counted from 1).
Servers are asked in reverse file order, the last block first.
Keys a program does not know are skipped.
.PP
A value longer than its field (39 characters for
.BR name ,
.B address
and
.BR rconpass ,
1000 for
.B file
and
.BR log ,
200 for a command), an address that is neither a dotted IPv4 address nor a
host name, a bad
.B poll
or a line over 4096 characters is refused, never cut: the programs say so,
naming the file and line, and leave that server out (or use no database).
.B quarvelctl config
shows passwords as
.B ********
unless given
.BR \-\-show\-secrets .
The
.B [database]
section's
.B file=
names the player database: an SQLite file, relative to the configuration
file's folder, or a
.B postgresql://
URI.
A PostgreSQL password is never written there: it comes from the client's
usual sources.
.PP
.EX
[server]
name=Public #1
address=203.0.113.7
port=20100
rconpass=secret

[database]
file=players.sqlite
.EE
.SH FILES
.TP
.I /etc/quarvel/quarvel.cfg
The configuration the harvesting service reads.
.TP
.I ~/.config/Jor/Quarvel/quarvel.cfg
The user's configuration.
.TP
.I /usr/lib/systemd/system/quarvel\-harvest@.service
The harvesting service (see
.BR quarvelctl (1)).
.SH ENVIRONMENT
.TP
.B PGPASSWORD
The password of a PostgreSQL player database, as with every PostgreSQL
client; so is
.IR ~/.pgpass .
.TP
.B QT_QPA_PLATFORM
Qt's platform;
.B offscreen
needs no display.
)";

constexpr char kServiceSection[] = R"(.SH SERVICE
The unit
.B quarvel\-harvest@.service
runs
.B quarvelctl follow \-\-harvest \-\-config /etc/quarvel/quarvel.cfg
on the log whose path is the instance name, as an unprivileged user of its
own, and starts it again when it fails.
Its player database is a PostgreSQL database, or an SQLite file under
.IR /var/lib/quarvel ,
the one folder it may write.
Start it with the path escaped by
.BR systemd\-escape (1):
.PP
.EX
systemctl enable \-\-now "quarvel\-harvest@$(systemd\-escape \-\-path /srv/game/server.log).service"
.EE
.PP
The counter lines go to the journal; the log's lines are not kept.
)";

std::string QuarvelctlPage() {
    std::ostringstream out;
    out << Header("QUARVELCTL", "quarvelctl \\- Quarvel's logs, servers and player database "
                                "from the command line");
    out << ".SH SYNOPSIS\n.B quarvelctl\n.I COMMAND\n.RI [ ARGS ]\n.br\n.B quarvelctl\n"
           ".I COMMAND\n.B \\-\\-help\n.br\n.B quarvelctl\n.RB [ \\-\\-help | \\-\\-version ]\n";
    out << ".SH DESCRIPTION\n"
           ".B quarvelctl\nshows what Quarvel's core makes of logs, game servers and the player "
           "database, for scripts and services: every behaviour is the one the window shows.\n"
           "Results go to the standard output, errors to the error output with a non\\-zero "
           "exit status.\n";
    out << ".SH COMMANDS\n";
    for (const CommandEntry& command : CommandTable()) {
        out << ".SS \"" << Roff(Synopsis(command)) << "\"\n";
        out << Roff(Sentence(Summary(command))) << "\n.PP\n" << Roff(command.description) << "\n";
        for (const ArgumentEntry& argument : command.arguments) {
            out << ".TP\n.I " << Roff(argument.name) << "\n"
                << Roff(Sentence(argument.help)) << "\n";
        }
        for (const OptionEntry& option : command.options) {
            out << ".TP\n";
            if (option.valueName) {
                out << ".BI \\-\\-" << Roff(option.name) << " \" " << Roff(option.valueName)
                    << "\"\n";
            } else {
                out << ".B \\-\\-" << Roff(option.name) << "\n";
            }
            out << Roff(Sentence(option.help)) << "\n";
        }
        out << ".TP\n.BR \\-h \", \" \\-\\-help\n" << Roff(Sentence(kHelpOptionHelp)) << "\n";
        out << ".PP\nExit status:\n";
        for (const ExitEntry& exit : command.exits) {
            out << ".IP " << exit.code << " 4\n" << Roff(exit.meaning) << "\n";
        }
    }
    out << ".SH OPTIONS\n.TP\n.BR \\-h \", \" \\-\\-help\n"
        << "Print the commands and exit; after a command, describe it.\n"
        << ".TP\n.B \\-\\-version\n"
        << Roff(Sentence(kVersionOptionHelp)) << "\n";
    out << ".SH EXIT STATUS\n";
    for (const ExitEntry& exit : CommonExits()) {
        out << ".TP\n.B " << exit.code << "\n" << Roff(Sentence(exit.meaning)) << "\n";
    }
    out << kConfigurationSection << kServiceSection;
    out << ".SH SEE ALSO\n.BR quarvel (1),\n.BR systemd\\-escape (1)\n";
    return out.str();
}

// One entry of a help text in Qt's layout: "  name  text", continued on
// lines indented further.
struct HelpEntry {
    std::string name;
    std::string text;
};

struct HelpSection {
    std::string title;
    std::vector<HelpEntry> entries;
};

struct ParsedHelp {
    std::string usage;
    std::string description;
    std::vector<HelpSection> sections;
};

ParsedHelp ParseHelp(const std::string& help) {
    ParsedHelp parsed;
    std::istringstream in(help);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) {
            continue;
        }
        if (line.rfind("Usage: ", 0) == 0) {
            parsed.usage = line.substr(7);
        } else if (line[0] != ' ' && line.back() == ':') {
            parsed.sections.push_back({line.substr(0, line.size() - 1), {}});
        } else if (line[0] != ' ') {
            parsed.description += (parsed.description.empty() ? "" : " ") + line;
        } else if (!parsed.sections.empty()) {
            auto& entries = parsed.sections.back().entries;
            const auto start = line.find_first_not_of(' ');
            const auto gap = line.find("  ", start);
            if (start <= 2 && gap != std::string::npos) {
                entries.push_back({line.substr(start, gap - start),
                                   line.substr(line.find_first_not_of(' ', gap))});
            } else if (!entries.empty()) {
                entries.back().text += " " + line.substr(start);
            }
        }
    }
    return parsed;
}

std::string QuarvelPage(const std::string& help) {
    const ParsedHelp parsed = ParseHelp(help);
    std::ostringstream out;
    out << Header("QUARVEL", "quarvel \\- view game server logs and administer their players");
    out << ".SH SYNOPSIS\n" << Roff(parsed.usage) << "\n";
    out << ".SH DESCRIPTION\n"
        << Roff(parsed.description) << "\n.PP\n"
        << "Each log opens in a window of its own, its event lines cut into coloured "
           "stretches. A window follows its log while the game server writes it. From a "
           "player's name the Player Info window bans or unbans the player on every "
           "configured server, and the Tools menu keeps the player database current.\n"
           "Logs are mapped read\\-only and never written.\n";
    out << ".SH OPTIONS\n";
    for (const HelpSection& section : parsed.sections) {
        if (section.title != "Options") {
            out << ".SS \"" << Roff(section.title) << "\"\n";
        }
        for (const HelpEntry& entry : section.entries) {
            out << ".TP\n.B " << Roff(entry.name) << "\n" << Roff(entry.text) << "\n";
        }
    }
    out << ".SH EXIT STATUS\n.TP\n.B 0\nThe program ran and was closed.\n"
           ".TP\n.B 1\nWith \\-\\-screenshot, a log did not open or the picture was not "
           "written.\n";
    out << kConfigurationSection;
    out << ".SH SEE ALSO\n.BR quarvelctl (1)\n";
    return out.str();
}

std::string Words(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& word : words) {
        out += (out.empty() ? "" : " ") + word;
    }
    return out;
}

const char* CompletionName(Completion completion) {
    switch (completion) {
    case Completion::LogFile:
        return "log";
    case Completion::AnyFile:
        return "file";
    case Completion::Nothing:
        break;
    }
    return "none";
}

std::string BashCompletion(const std::string& quarvelHelp) {
    std::ostringstream out;
    out << "# bash completion for quarvelctl and quarvel, written by the build from the\n"
           "# texts their --help prints.\n\n"
           "# Completes \"$1\" as a log file (log), any file (file) or nothing (none).\n"
           "_quarvel_complete_value() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]}\n"
           "    case $1 in\n"
           "    log)\n"
           "        compopt -o filenames 2>/dev/null\n"
           "        COMPREPLY=($(compgen -f -X '!*.log' -- \"$cur\") $(compgen -d -- \"$cur\"))\n"
           "        ;;\n"
           "    file)\n"
           "        compopt -o filenames 2>/dev/null\n"
           "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "        ;;\n"
           "    *) COMPREPLY=() ;;\n"
           "    esac\n"
           "}\n\n";
    std::vector<std::string> names;
    for (const CommandEntry& command : CommandTable()) {
        names.emplace_back(command.name);
    }
    out << "_quarvelctl() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
           "    if ((COMP_CWORD == 1)); then\n"
           "        COMPREPLY=($(compgen -W \""
        << Words(names)
        << " --help --version\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    # options: every option; values: OPTION=KIND for those taking a value;\n"
           "    # positional: the kind of each positional argument, the last repeating.\n"
           "    local options=\"\" values=\"\" positional=\"\"\n"
           "    case ${COMP_WORDS[1]} in\n";
    for (const CommandEntry& command : CommandTable()) {
        std::vector<std::string> options{"--help"};
        std::vector<std::string> values;
        std::vector<std::string> positional;
        for (const OptionEntry& option : command.options) {
            options.push_back(std::string("--") + option.name);
            if (option.valueName) {
                values.push_back(std::string("--") + option.name + "=" +
                                 CompletionName(option.completion));
            }
        }
        for (const ArgumentEntry& argument : command.arguments) {
            positional.emplace_back(CompletionName(argument.completion));
        }
        out << "    " << command.name << ") options=\"" << Words(options) << "\" values=\""
            << Words(values) << "\" positional=\"" << Words(positional) << "\" ;;\n";
    }
    out << "    *) return ;;\n"
           "    esac\n"
           "    local value\n"
           "    for value in $values; do\n"
           "        if [[ $prev == \"${value%%=*}\" ]]; then\n"
           "            _quarvel_complete_value \"${value#*=}\"\n"
           "            return\n"
           "        fi\n"
           "    done\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    # Which positional argument this is: words that are neither options nor\n"
           "    # their values, counted.\n"
           "    local i count=0 word\n"
           "    for ((i = 2; i < COMP_CWORD; i++)); do\n"
           "        word=${COMP_WORDS[i]}\n"
           "        if [[ $word == -* ]]; then\n"
           "            for value in $values; do\n"
           "                [[ $word == \"${value%%=*}\" ]] && ((i++))\n"
           "            done\n"
           "        else\n"
           "            ((count++))\n"
           "        fi\n"
           "    done\n"
           "    local kinds=($positional)\n"
           "    if ((${#kinds[@]} == 0)); then\n"
           "        COMPREPLY=()\n"
           "    elif ((count < ${#kinds[@]})); then\n"
           "        _quarvel_complete_value \"${kinds[count]}\"\n"
           "    else\n"
           "        _quarvel_complete_value \"${kinds[${#kinds[@]} - 1]}\"\n"
           "    fi\n"
           "}\n"
           "complete -F _quarvelctl quarvelctl\n\n";

    // quarvel: its options as its --help lists them; an option whose entry
    // names a <value> takes a file, except a size.
    std::vector<std::string> options;
    std::vector<std::string> fileOptions;
    for (const HelpSection& section : ParseHelp(quarvelHelp).sections) {
        for (const HelpEntry& entry : section.entries) {
            std::istringstream names(entry.name);
            std::string name;
            while (names >> name) {
                if (!name.empty() && name.back() == ',') {
                    name.pop_back();
                }
                if (name.rfind("--", 0) == 0) {
                    options.push_back(name);
                    if (entry.name.find("<file>") != std::string::npos) {
                        fileOptions.push_back(name);
                    }
                }
            }
        }
    }
    out << "_quarvel() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
           "    case $prev in\n";
    if (!fileOptions.empty()) {
        std::string alternatives;
        for (const std::string& option : fileOptions) {
            alternatives += (alternatives.empty() ? "" : "|") + option;
        }
        out << "    " << alternatives << ") _quarvel_complete_value file; return ;;\n";
    }
    out << "    --size) COMPREPLY=(); return ;;\n"
           "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W \""
        << Words(options)
        << "\" -- \"$cur\"))\n"
           "    else\n"
           "        _quarvel_complete_value log\n"
           "    fi\n"
           "}\n"
           "complete -F _quarvel quarvel\n";
    return out.str();
}

std::string ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WriteFile(const char* path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out.flush());
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    bool written = false;
    if (mode == "quarvelctl-man" && argc == 3) {
        written = WriteFile(argv[2], QuarvelctlPage());
    } else if (mode == "quarvel-man" && argc == 4) {
        written = WriteFile(argv[3], QuarvelPage(ReadFile(argv[2])));
    } else if (mode == "bash" && argc == 4) {
        written = WriteFile(argv[3], BashCompletion(ReadFile(argv[2])));
    } else {
        std::fprintf(stderr, "usage: quarvel-docgen (quarvelctl-man OUT | quarvel-man HELP OUT | "
                             "bash HELP OUT)\n");
        return 2;
    }
    if (!written) {
        std::fprintf(stderr, "quarvel-docgen: cannot write the output\n");
        return 1;
    }
    return 0;
}
