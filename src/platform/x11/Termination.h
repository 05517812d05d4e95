#pragma once

#include <functional>

namespace kelvane {

// Turns SIGTERM, SIGINT and SIGHUP, and the session manager's end-of-session request, into
// one call of handler on the GUI thread. Installed once per process.
void installTerminationHandler(std::function<void()> handler);

// Runs handler once from exit() when the process ends without returning from main (Qt ends
// the process this way when the X server goes away). Replaces any earlier handler; an empty
// one cancels it.
void installAbruptExitHandler(std::function<void()> handler);

} // namespace kelvane
