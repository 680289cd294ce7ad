#pragma once

#include <QString>

#include <optional>

namespace tarnwick {

/// What `tarnwick --help` prints.
QString windowHelp();

/// The text --help or --version asks for, when one of them is among the arguments: printed
/// without opening a display, so that the manual can be made on a machine that has none.
std::optional<QString> informationRequest(int argc, char* argv[]);

} // namespace tarnwick
