// The process's environment, readied before Qt starts.
#include "platform/PlatformFactory.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kelvane {
namespace {

bool envIsSet(const char* name) {
    return !qgetenv(name).isEmpty();
}

// The session gives no runtime folder (a login without a session manager, a root shell):
// the folder Qt would fall back on (/tmp/runtime-<user name>), made private to the user, so
// Qt has nothing to warn about. One that exists but is not the user's own, or is open to others, is
// left for Qt to refuse.
void provideRuntimeFolder() {
    if (envIsSet("XDG_RUNTIME_DIR"))
        return;
    const passwd* user = ::getpwuid(::getuid());
    const QByteArray folder = "/tmp/runtime-" + (user && user->pw_name && *user->pw_name
                                                     ? QByteArray(user->pw_name)
                                                     : QByteArray::number(::getuid()));
    struct stat info {};
    if (::mkdir(folder.constData(), 0700) != 0 &&
        (::lstat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
         info.st_uid != ::getuid() || (info.st_mode & 0077) != 0))
        return;
    qputenv("XDG_RUNTIME_DIR", folder);
}

bool platformChosen = false; // QT_QPA_PLATFORM set here, not by the user

} // namespace

void prepareEnvironment() {
    // Always on top, the tray and following the browser need X11: on a Wayland session the
    // program runs through XWayland (where there is one: without DISPLAY, Qt says so).
    const bool wayland = envIsSet("WAYLAND_DISPLAY") ||
                         qgetenv("XDG_SESSION_TYPE").compare("wayland", Qt::CaseInsensitive) == 0;
    if (wayland && envIsSet("DISPLAY") && !envIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        platformChosen = true;
    }
    provideRuntimeFolder();
}

void environmentUsed() {
    // Programs started from here (the default applications) choose their own.
    if (std::exchange(platformChosen, false))
        qunsetenv("QT_QPA_PLATFORM");
}

} // namespace kelvane
