#include "ui/TrayIcon.h"

#include "platform/Platform.h"

namespace kelvane {

void SetupTrayIcon(Platform& platform, const QIcon& icon,
                   std::function<void(Platform::TrayEvent)> onEvent) {
    platform.addTrayIcon(icon, QStringLiteral(" Click Right Mouse Button "), std::move(onEvent));
}

} // namespace kelvane
