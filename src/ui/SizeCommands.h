#pragma once

namespace kelvane {

class frmMain;

// The "Window Size" commands and "Always On Top". Each size command checks its own item
// only, plays its cue to the end and then lays the window out.
void mnuSmall_Click(frmMain& main);
void mnuNormal_Click(frmMain& main);
void mnuLarge_Click(frmMain& main);
void mnuAlwaysOnTop_Click(frmMain& main);

} // namespace kelvane
