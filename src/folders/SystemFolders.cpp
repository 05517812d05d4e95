#include "folders/SystemFolders.h"

#include <QFileInfo>

namespace kelvane {

QString FindSystemFolder(Platform& platform, Platform::SpecialFolder id) {
    return platform.specialFolder(id).trimmed();
}

QString GetWindowsFolder(Platform& platform) {
    return platform.homeFolder();
}

QString DesktopFolderFor(Platform& platform, const QString& windowsFolder) {
    const QString system = FindSystemFolder(platform, Platform::SpecialFolder::Desktop);
    if (windowsFolder.isEmpty())
        return system;
    const QString derived = windowsFolder + QStringLiteral("/Desktop");
    if (!QFileInfo(derived).isDir() && !system.isEmpty() && QFileInfo(system).isDir())
        return system;
    return derived;
}

} // namespace kelvane
