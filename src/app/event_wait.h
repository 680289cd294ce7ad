#pragma once

namespace tarnwick {

/// Blocks until an event arrives or `maxMs` pass, then runs the pending events once. The
/// thread sleeps in the event dispatcher meanwhile, so a loop that waits on the network
/// costs no CPU.
void waitForEventsBounded(int maxMs);

} // namespace tarnwick
