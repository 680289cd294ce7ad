#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include "cli/command_specs.h"

namespace tarnwick {

/// How tarnwick-cli ends.
enum class ExitStatus {
    Completed = 0, ///< the command ran to its end
    Refused = 1, ///< the command refused its input; the message says why
    Usage = 2, ///< the command line itself is wrong
    Stopped = 3, ///< Ctrl-C (or SIGTERM) stopped the run; -o still got what was gathered
    Failed = 4, ///< the command ran but its output could not be made; the message says what
};

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

} // namespace tarnwick
