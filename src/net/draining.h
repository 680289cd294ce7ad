#pragma once

namespace tarnwick {

class Platform;
class TransferControl;

/// Lets a running request finish its last events, then cancels it. False when the window
/// was unloaded meanwhile.
[[nodiscard]] bool drainTransfer(TransferControl& inet, Platform& p);

} // namespace tarnwick
