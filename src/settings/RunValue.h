#pragma once

namespace kelvane {

struct AppState;
class Platform;

// Starting with the desktop session. Registering the program to start at login is not built
// yet: both calls do nothing for now.
void WriteRunValue(const AppState& state, Platform& platform);
void DeleteRunValue(Platform& platform);

} // namespace kelvane
