#pragma once

namespace tarnwick {

/// Builds the window over a fresh Form1, runs start-up and the event loop; returns the exit code.
int runWindow(int argc, char* argv[]);

} // namespace tarnwick
