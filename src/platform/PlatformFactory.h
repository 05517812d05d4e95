#pragma once

#include "platform/Platform.h"

#include <memory>

namespace kelvane {

// The operating system's implementation of Platform, as chosen by the build. Needs a
// QApplication.
std::unique_ptr<Platform> createPlatform();

// Readies the process's environment before the QApplication is made: the window system the
// program needs (X11, through XWayland on a Wayland session, unless the user chose one) and
// a private runtime folder where the session gives none.
void prepareEnvironment();
// Called once the QApplication is made: what prepareEnvironment chose for Qt is not passed on
// to the programs the program starts.
void environmentUsed();

} // namespace kelvane
