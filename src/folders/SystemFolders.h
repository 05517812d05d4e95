#pragma once

#include "platform/Platform.h"

#include <QString>

namespace kelvane {

// `FindSystemFolder`: the Desktop (0) or documents (5) folder of the user, empty when unknown.
QString FindSystemFolder(Platform& platform, Platform::SpecialFolder id);
// `GetWindowsFolder`: the folder the Desktop is derived from: the user's home folder.
QString GetWindowsFolder(Platform& platform);
// The Desktop folder worked out at start-up: windowsFolder + "/Desktop" when windowsFolder is
// set, else the user's Desktop. Where windowsFolder + "/Desktop" does not exist but the user's
// Desktop folder does (a desktop with localised folder names), the latter wins.
QString DesktopFolderFor(Platform& platform, const QString& windowsFolder);

} // namespace kelvane
