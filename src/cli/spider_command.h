#pragma once

#include "cli/session.h"

namespace tarnwick {

/// Sets the spider's controls from the options (pages take the same ones); an error text
/// when two of them cannot hold together.
QString applySpiderOptions(Form1& f, const ParsedCommand& command);

/// tarnwick-cli spider: opens the URL list (and template), runs Set Tarnwick loose! and saves
/// what the options name.
ExitStatus runSpider(Session& s, const ParsedCommand& command);

/// spider --resume: the newest interrupted run, or the journal named, with the settings and
/// output files it holds, in a session of its own.
ExitStatus runResume(const ParsedCommand& command);

} // namespace tarnwick
