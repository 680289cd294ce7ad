#pragma once

#include "cli/command_line.h"

namespace tarnwick {

class ConsolePlatform;
class Form1;
class Session;

/// tarnwick-cli pages: opens the spider data (the file named, or standard input for "-") and
/// the template given, then makes the pages as Create Pages from Spider Data does, with the
/// page options already set on `f`. Exit status as for a spider run's pages.
ExitStatus runPages(Form1& f, ConsolePlatform& p, const ParsedCommand& command);

/// tarnwick-cli pages: the spider's page options, then runPages.
ExitStatus runPagesCommand(Session& s, const ParsedCommand& command);

} // namespace tarnwick
