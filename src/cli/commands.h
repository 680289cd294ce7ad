#pragma once

#include "cli/command_line.h"

namespace tarnwick {

/// Runs a parsed subcommand against a fresh window state and the console platform.
ExitStatus runCommand(const ParsedCommand& command);

/// The whole program: parses the arguments after the program's name, prints help or a
/// usage error, or runs the command. Needs a QCoreApplication.
int runCli(const QStringList& arguments);

} // namespace tarnwick
