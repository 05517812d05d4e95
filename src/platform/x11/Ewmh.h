#pragma once

#include <QString>

class QWidget;

namespace kelvane::ewmh {

// Adds or removes one _NET_WM_STATE atom (e.g. "_NET_WM_STATE_ABOVE") of a top-level window:
// by a client message to the root window while the window is mapped, by writing the property
// itself before it is mapped. False when there is no X connection.
bool setWmState(QWidget* window, const char* stateAtom, bool on);

// Asks the window manager to enter (or leave) its "showing the desktop" mode.
bool setShowingDesktop(bool on);

} // namespace kelvane::ewmh
