// The process's environment, readied before Qt starts.
#include "platform/PlatformFactory.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <sys/stat.h>
#include <unistd.h>

namespace kelvane {
namespace {

bool envIsSet(const char* name) {
    return !qgetenv(name).isEmpty();
}

// The session gives no runtime folder (a login without a session manager, a root shell):
// the folder Qt would fall back on, made private to the user, so Qt has nothing to warn
// about. One that exists but is not the user's own, or is open to others, is left for Qt to
// refuse.
void provideRuntimeFolder() {
    if (envIsSet("XDG_RUNTIME_DIR"))
        return;
    const QByteArray folder = "/tmp/runtime-" + QByteArray::number(::getuid());
    struct stat info {};
    if (::mkdir(folder.constData(), 0700) != 0 &&
        (::lstat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
         info.st_uid != ::getuid() || (info.st_mode & 0077) != 0))
        return;
    qputenv("XDG_RUNTIME_DIR", folder);
}

} // namespace

void prepareEnvironment() {
    // Always on top, the tray and following the browser need X11: on a Wayland session the
    // program runs through XWayland.
    const bool wayland = envIsSet("WAYLAND_DISPLAY") ||
                         qgetenv("XDG_SESSION_TYPE").compare("wayland", Qt::CaseInsensitive) == 0;
    if (wayland && !envIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    provideRuntimeFolder();
}

} // namespace kelvane
