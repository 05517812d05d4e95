#pragma once

#include "ui/SizeTable.h"

#include <QString>

namespace kelvane {

struct AppState;

// The "Window Size" commands: `mnuSmall_Click`, `mnuNormal_Click`, `mnuLarge_Click` store the
// chosen size and return the cue to play before the window is laid out again: Small shrinks,
// Large enlarges, Normal shrinks from Large and enlarges otherwise (shown is the size whose
// item was checked).
QString applySizeCommand(AppState& state, ClientSize chosen, ClientSize shown);

} // namespace kelvane
