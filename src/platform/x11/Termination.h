#pragma once

#include <functional>

namespace kelvane {

// Turns SIGTERM, SIGINT and SIGHUP, and the session manager's end-of-session request, into
// one call of handler on the GUI thread. Installed once per process.
void installTerminationHandler(std::function<void()> handler);

} // namespace kelvane
