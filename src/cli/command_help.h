#pragma once

#include <QString>

namespace tarnwick {

struct CommandKind;

/// The program's help: its commands, exit statuses, environment, files and examples.
QString programHelp();
/// programHelp with every command's options, the text the manual page is made from.
QString fullHelp();
/// One command's help with each option, the control it stands for and its default.
QString commandHelp(const CommandKind& kind);

} // namespace tarnwick
