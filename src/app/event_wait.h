#pragma once

namespace tarnwick {

/// Blocks until an event arrives or `maxMs` pass, and runs what arrived; anything posted
/// meanwhile runs at the next call at the latest. The thread sleeps in the event dispatcher
/// meanwhile, so a loop that waits on the network costs no CPU.
void waitForEventsBounded(int maxMs);

} // namespace tarnwick
