#pragma once

#include "platform/Platform.h"

#include <QIcon>
#include <functional>

namespace kelvane {

// `SetupTrayIcon`: adds the notification-area icon with its tip; onEvent hears the clicks.
void SetupTrayIcon(Platform& platform, const QIcon& icon,
                   std::function<void(Platform::TrayEvent)> onEvent);

} // namespace kelvane
