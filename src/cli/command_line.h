#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace tarnwick {

class Form1;

/// How tarnwick-cli ends.
enum class ExitStatus {
    Completed = 0, ///< the command ran to its end
    Refused = 1, ///< the command refused its input; the message says why
    Usage = 2, ///< the command line itself is wrong
    Stopped = 3, ///< Ctrl-C (or SIGTERM) stopped the run; -o still got what was gathered
    Failed = 4, ///< the command ran but its output could not be made; the message says what
};

/// One option of a subcommand and the control of the window it stands for.
struct OptionKind {
    const char* name; ///< "--referer", "-o"
    const char* valueName; ///< "TEXT", or null for a flag
    const char* control; ///< the control or command it maps to, as the README's table names it
    const char* help;
    /// The control's value at start-up, for the help text; null when there is nothing to show.
    std::function<QString(const Form1&)> defaultOf;
};

struct CommandKind {
    const char* name;
    const char* argument; ///< the one positional argument, "FILE.urls"
    const char* argumentHelp;
    const char* summary;
    std::vector<OptionKind> options;
};

/// The subcommands, in the order the help lists them.
const std::vector<CommandKind>& commandSpecs();

/// A command line that parsed: the subcommand, its argument and the options given.
struct ParsedCommand {
    const CommandKind* kind = nullptr;
    QString argument;
    /// --home, or empty.
    QString home;
    /// "--help" for the whole program (kind null) or for the subcommand.
    bool help = false;
    /// "--help-all": the program's help with every command's options (kind null).
    bool helpAll = false;
    /// "--version" (kind null).
    bool version = false;

    bool has(const char* option) const { return values.contains(QLatin1String(option)); }
    QString value(const char* option) const { return values.value(QLatin1String(option)); }
    QHash<QString, QString> values;
};

struct ParseResult {
    ParsedCommand command;
    /// Why the command line is not usable; empty when it is.
    QString error;
    bool ok() const { return error.isEmpty(); }
};

/// Parses the arguments after the program's name.
ParseResult parseCommandLine(const QStringList& arguments);

QString programHelp();
/// programHelp with every command's options, the text the manual page is made from.
QString fullHelp();
QString commandHelp(const CommandKind& kind);

} // namespace tarnwick
