#pragma once

#include <QIcon>
#include <functional>

namespace kelvane {

class Platform;

// `SetupTrayIcon`: adds the notification-area icon with its tip; onNotify receives the
// platform's tray codes (left release, double-click, right release).
void SetupTrayIcon(Platform& platform, const QIcon& icon, std::function<void(int)> onNotify);

} // namespace kelvane
