#pragma once

#include "platform/Platform.h"

#include <memory>

namespace kelvane {

// The operating system's implementation of Platform, as chosen by the build. Needs a
// QApplication.
std::unique_ptr<Platform> createPlatform();

} // namespace kelvane
