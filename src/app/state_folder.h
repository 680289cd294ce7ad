#pragma once

#include <QString>

namespace tarnwick {

/// The folder where Tarnwick keeps what must outlive the program between starts (only the
/// journal of an unfinished spider run): $XDG_STATE_HOME/tarnwick, else
/// ~/.local/state/tarnwick. It is not created here.
QString stateFolder();

} // namespace tarnwick
