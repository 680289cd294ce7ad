#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace tarnwick {

class Form1;

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

} // namespace tarnwick
